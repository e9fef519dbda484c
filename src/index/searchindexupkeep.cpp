// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexupkeep.h"

#include "index/searchindexsql.h"
#include "statements/sqlliteral.h"
#include "statements/sqltokens.h"

namespace corvanty {
namespace {

// Whether the pending list is due to be merged. Its row ids run from 1
// since it was last emptied, so the last one counts it without reading it.
std::string DueToMerge(const std::string& pending, long long merge_at) {
  return "(SELECT max(rowid) FROM " + pending + ") >= " + std::to_string(merge_at);
}

// The row ids of the table's rows a row written as NEW would replace. In an
// update, only a key it changes may meet another row's: the others are
// not looked up.
std::string Replaced(const std::string& table,
                     const std::vector<std::vector<std::string>>& unique_keys, bool update) {
  const std::string from = "SELECT rowid FROM " + DoubleQuoted(table) + " WHERE ";
  std::string rows = from + "rowid = NEW.rowid" + (update ? " AND NEW.rowid <> OLD.rowid" : "");
  for (const std::vector<std::string>& key : unique_keys) {
    std::string columns, values, before;
    for (const std::string& column : key) {
      columns += (columns.empty() ? "" : ", ") + DoubleQuoted(column);
      values += (values.empty() ? "" : ", ") + ("NEW." + DoubleQuoted(column));
      before += (before.empty() ? "" : ", ") + ("OLD." + DoubleQuoted(column));
    }
    rows += " UNION ALL " + from + "(" + columns + ") = (" + values + ")" +
            (update ? " AND (" + values + ") IS NOT (" + before + ")" : "");
  }
  return rows;
}

// An update's WHEN that lets through only a row in which one of columns
// (the row id's names among them) changed: a write that sets a value it
// already had notes nothing, and no merge makes its entry again. Same
// value, same type (1 and 1.0 are equal, not the same text), byte for byte
// whatever the column's collation. No columns: every update.
std::string Changed(const std::vector<std::string>& columns) {
  if (columns.empty()) return "";
  std::string same;
  for (const std::string& column : columns) {
    const std::string now = "NEW." + DoubleQuoted(column), was = "OLD." + DoubleQuoted(column);
    same += std::string(same.empty() ? "" : " AND ") + now + " IS " + was +
            " COLLATE BINARY AND typeof(" + now + ") = typeof(" + was + ")";
  }
  return "WHEN NOT (" + same + ") ";
}

std::string UpdateOf(const std::vector<std::string>& columns, const std::string& on) {
  std::string listed;
  for (const std::string& column : columns)
    listed += (listed.empty() ? " OF " : ", ") + DoubleQuoted(column);
  return " UPDATE" + listed + on;
}

class UpkeepText {
 public:
  UpkeepText(int32_t guide, const IndexedRows& indexed, const KeptTable& kept, long long merge_at)
      : index_(SearchIndexTable(guide)),
        pending_(PendingTable(guide)),
        full_(DueToMerge(PendingTable(guide), merge_at)),
        indexed_(indexed),
        kept_(kept) {}

  // Whether the pending list is due to be merged.
  const std::string& Full() const { return full_; }

  // The candidate row ids of the guide's rows in which a row of the table
  // whose row id is among row_ids takes part.
  std::string CandidatesOf(const std::string& row_ids) const {
    std::string select = "SELECT " + indexed_.candidate_qualifier + ".rowid AS Db_k";
    std::string where;
    for (size_t i = 0; i < kept_.qualifiers.size(); ++i) {
      const std::string r = "Db_r" + std::to_string(i + 1);
      select += ", " + kept_.qualifiers[i] + ".rowid AS " + r;
      where += (i ? " OR " : "") + r + " IN (" + row_ids + ")";
    }
    // A line break before the parenthesis: a WHERE clause may end in a --
    // comment.
    return "SELECT Db_k FROM (" + select + " " + kept_.rows_written + "\n) WHERE " + where;
  }

  // The row ids of the table's rows a row written as NEW would replace.
  std::string Replaced(bool update) const {
    return corvanty::Replaced(kept_.name, kept_.unique_keys, update);
  }

  // Adds the candidates to the pending list. A row id may be there more
  // than once: keeping each once would cost a write far more (a sort, and a
  // copy of what is read from the list before writing to it), and a unique
  // key would let the writer's conflict clause, which applies here too,
  // fail the write.
  // row_ids: a SELECT. A row of the candidate table, named once, is its own
  // candidate when it takes part in the guide's rows at all: noted as it is,
  // it spares the write reading the guide's rows.
  std::string Note(const std::string& row_ids) const {
    if (kept_.qualifiers.size() == 1 &&
        IsKeyword(kept_.qualifiers[0], indexed_.candidate_qualifier))
      return "INSERT INTO " + pending_ + " (Row_id) " + row_ids + "; ";
    return "INSERT INTO " + pending_ + " (Row_id) SELECT Db_k FROM (" + CandidatesOf(row_ids) +
           ") WHERE Db_k IS NOT NULL; ";
  }

  // Makes the entries of the pending row ids again from the rows as they
  // are now, and empties the list.
  std::string Merge() const {
    const std::string ids = "SELECT Row_id FROM " + pending_;
    std::string select = "SELECT " + indexed_.candidate_qualifier + ".rowid AS Db_k";
    std::string aggregates = "Db_k";
    for (size_t i = 0; i < indexed_.values.size(); ++i) {
      const std::string v = "Db_v" + std::to_string(i + 1);
      select += ", " + indexed_.values[i] + " AS " + v;
      aggregates += ", group_concat(" + v + ", char(10))";
    }
    return "DELETE FROM " + index_ + " WHERE rowid IN (" + ids + "); INSERT INTO " + index_ + " (" +
           IndexColumns(indexed_.values.size()) + ") SELECT " + aggregates + " FROM (" + select +
           " " + indexed_.rows + "\n) WHERE Db_k IN (" + ids + ") GROUP BY Db_k; DELETE FROM " +
           pending_ + "; ";
  }

 private:
  std::string index_, pending_, full_;
  const IndexedRows& indexed_;
  const KeptTable& kept_;
};

}  // namespace

std::vector<std::string> KeepTable(int32_t guide, size_t table, const IndexedRows& indexed,
                                   const KeptTable& kept, long long merge_at) {
  const UpkeepText text(guide, indexed, kept, merge_at);
  const std::string name = SearchIndexTriggerPrefix(guide) + "t" + std::to_string(table) + "_";
  const std::string on = " ON " + DoubleQuoted(kept.name) + " ";
  auto update_of = [&](const std::vector<std::string>& columns) { return UpdateOf(columns, on); };
  const std::string update_on = update_of(kept.columns_read);
  // The merge in triggers of its own: their WHEN spares every other write
  // the statements that would read the list to find nothing to do.
  const std::string merge = "WHEN " + text.Full() + " BEGIN " + text.Merge() + "END";
  return {
      "CREATE TRIGGER " + name + "insert_before BEFORE INSERT" + on + "BEGIN " +
          text.Note(text.Replaced(false)) + "END",
      "CREATE TRIGGER " + name + "update_before BEFORE" + update_on + "BEGIN " +
          text.Note("SELECT OLD.rowid UNION ALL " + text.Replaced(true)) + "END",
      "CREATE TRIGGER " + name + "delete_before BEFORE DELETE" + on + "BEGIN " +
          text.Note("SELECT OLD.rowid") + "END",
      "CREATE TRIGGER " + name + "insert AFTER INSERT" + on + "BEGIN " +
          text.Note("SELECT NEW.rowid") + "END",
      "CREATE TRIGGER " + name + "update AFTER" + update_of(kept.columns_joined) + "BEGIN " +
          text.Note("SELECT NEW.rowid") + "END",
      // Whichever fires first of a note and a merge after the same write,
      // the index stays exact: a row id noted after a merge stays pending.
      "CREATE TRIGGER " + name + "insert_merge AFTER INSERT" + on + merge,
      "CREATE TRIGGER " + name + "update_merge AFTER" + update_on + merge,
      "CREATE TRIGGER " + name + "delete AFTER DELETE" + on + merge,
  };
}

}  // namespace corvanty

namespace corvanty {

std::vector<std::string> KeepSide(const KeptSide& kept, const std::vector<std::string>& values,
                                  long long merge_at) {
  const std::string pending = SidePendingTable(kept.part);
  const std::string name = kept.part.name + "_";
  const std::string on = " ON " + DoubleQuoted(kept.part.table) + " ";
  const std::string update_on = UpdateOf(kept.columns_read, on);
  auto note = [&](const std::string& row_ids) {
    return "BEGIN INSERT INTO " + pending + " (Row_id) " + row_ids + "; END";
  };
  // After an insert or update: the row id with the value as the write left
  // it, from NEW, or read from the row where the value names a column
  // without its qualifier.
  const std::string& value = values[kept.part.positions.front()];
  const std::string as_written =
      kept.value_read_from_new ? PartValue(value, kept.part.qualifier, "NEW")
                               : "(SELECT " + PartValue(value, kept.part.qualifier) + "\n FROM " +
                                     DoubleQuoted(kept.part.table) + " AS " + kPartQualifier +
                                     " WHERE " + kPartQualifier + ".rowid = NEW.rowid)";
  const std::string noted_value = "BEGIN INSERT INTO " + pending +
                                  " (Row_id, Value) VALUES (NEW.rowid, " + as_written + "\n); END";
  const std::string merge = "WHEN " + DueToMerge(pending, merge_at) + " BEGIN " +
                            MergeSidePart(kept.part, values) + "END";
  const std::string replaced = Replaced(kept.part.table, kept.unique_keys, false);
  return {
      // A row an insert or a moving update replaces goes without a delete
      // trigger: its entry is taken out by row id.
      "CREATE TRIGGER " + name + "insert_before BEFORE INSERT" + on + note(replaced),
      "CREATE TRIGGER " + name + "update_before BEFORE" + UpdateOf(kept.columns_moving, on) +
          note("SELECT OLD.rowid UNION ALL " + Replaced(kept.part.table, kept.unique_keys, true)),
      "CREATE TRIGGER " + name + "insert AFTER INSERT" + on + noted_value,
      "CREATE TRIGGER " + name + "update AFTER" + update_on + Changed(kept.columns_read) +
          noted_value,
      "CREATE TRIGGER " + name + "delete AFTER DELETE" + on + note("VALUES (OLD.rowid)"),
      "CREATE TRIGGER " + name + "insert_merge AFTER INSERT" + on + merge,
      "CREATE TRIGGER " + name + "update_merge AFTER" + update_on + merge,
      "CREATE TRIGGER " + name + "delete_merge AFTER DELETE" + on + merge,
  };
}

}  // namespace corvanty
