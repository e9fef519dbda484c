// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexupkeep.h"

#include "index/searchindexsql.h"
#include "statements/sqlliteral.h"

namespace corvanty {
namespace {

class UpkeepText {
 public:
  UpkeepText(int32_t guide, const IndexedRows& indexed, const KeptTable& kept)
      : guide_(std::to_string(guide)),
        index_(SearchIndexTable(guide)),
        indexed_(indexed),
        kept_(kept) {}

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
  std::string Replaced() const {
    const std::string from = "SELECT rowid FROM " + DoubleQuoted(kept_.name) + " WHERE ";
    std::string rows = from + "rowid = NEW.rowid";
    for (const std::vector<std::string>& key : kept_.unique_keys) {
      std::string columns, values;
      for (const std::string& column : key) {
        columns += (columns.empty() ? "" : ", ") + DoubleQuoted(column);
        values += (values.empty() ? "" : ", ") + ("NEW." + DoubleQuoted(column));
      }
      rows += " UNION ALL " + from + "(" + columns + ") = (" + values + ")";
    }
    return rows;
  }

  std::string Note(const std::string& row_ids) const {
    return "INSERT INTO Db_Search_Index_Pending (DSG_ID, Row_id) SELECT " + guide_ +
           ", Db_k FROM (" + CandidatesOf(row_ids) + "); ";
  }

  // Makes the entries of the noted row ids and of candidates again, from
  // the rows as they are now.
  std::string Refresh(const std::string& candidates) const {
    std::string ids = "SELECT Row_id FROM Db_Search_Index_Pending WHERE DSG_ID = " + guide_;
    if (!candidates.empty()) ids += " UNION " + candidates;
    std::string select = "SELECT " + indexed_.candidate_qualifier + ".rowid AS Db_k";
    std::string aggregates = "Db_k";
    for (size_t i = 0; i < indexed_.values.size(); ++i) {
      const std::string v = "Db_v" + std::to_string(i + 1);
      select += ", " + indexed_.values[i] + " AS " + v;
      aggregates += ", group_concat(" + v + ", char(10))";
    }
    return "DELETE FROM " + index_ + " WHERE rowid IN (" + ids + "); INSERT INTO " + index_ + " (" +
           IndexColumns(indexed_.values.size()) + ") SELECT " + aggregates + " FROM (" + select +
           " " + indexed_.rows + "\n) WHERE Db_k IN (" + ids +
           ") GROUP BY Db_k; DELETE FROM Db_Search_Index_Pending WHERE DSG_ID = " + guide_ + "; ";
  }

 private:
  std::string guide_, index_;
  const IndexedRows& indexed_;
  const KeptTable& kept_;
};

}  // namespace

std::vector<std::string> KeepTable(int32_t guide, size_t table, const IndexedRows& indexed,
                                   const KeptTable& kept) {
  const UpkeepText text(guide, indexed, kept);
  const std::string name = SearchIndexTriggerPrefix(guide) + "t" + std::to_string(table) + "_";
  const std::string on = " ON " + DoubleQuoted(kept.name) + " BEGIN ";
  std::string columns;
  for (const std::string& column : kept.columns_read)
    columns += (columns.empty() ? " OF " : ", ") + DoubleQuoted(column);
  const std::string update_on = " UPDATE" + columns + on;
  const std::string as_is = text.CandidatesOf("NEW.rowid");
  return {
      "CREATE TRIGGER " + name + "insert_before BEFORE INSERT" + on + text.Note(text.Replaced()) +
          "END",
      "CREATE TRIGGER " + name + "update_before BEFORE" + update_on +
          text.Note("SELECT OLD.rowid UNION ALL " + text.Replaced()) + "END",
      "CREATE TRIGGER " + name + "delete_before BEFORE DELETE" + on + text.Note("OLD.rowid") +
          "END",
      "CREATE TRIGGER " + name + "insert AFTER INSERT" + on + text.Refresh(as_is) + "END",
      "CREATE TRIGGER " + name + "update AFTER" + update_on + text.Refresh(as_is) + "END",
      "CREATE TRIGGER " + name + "delete AFTER DELETE" + on + text.Refresh("") + "END",
  };
}

}  // namespace corvanty
