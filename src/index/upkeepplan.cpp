// SPDX-License-Identifier: Apache-2.0
#include "index/upkeepplan.h"

#include <algorithm>
#include <set>

#include "index/fromtables.h"
#include "index/guidedependencies.h"
#include "index/outerjoinrows.h"
#include "index/searchindexsql.h"
#include "statements/sqlliteral.h"
#include "statements/sqltokens.h"

namespace corvanty {
namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::vector<std::string> FirstColumn(rdo::rdoConnection& connection, const std::string& sql) {
  std::vector<std::string> values;
  for (rdo::rdoResultset rows = connection.OpenResultset(sql); !rows.IsEOF(); rows.MoveNext())
    values.push_back(rows.Text("Value"));
  return values;
}

std::string Literal(const std::string& text) { return "'" + QuoteApostrophes(text) + "'"; }

// The table's occurrences in the FROM clause.
std::vector<TableInFrom> OccurrencesOf(const std::string& table, const std::string& from) {
  std::vector<TableInFrom> found;
  for (const TableInFrom& named : TablesInFrom(from))
    if (Lower(named.table) == Lower(table) || Lower(named.table) == "main." + Lower(table))
      found.push_back(named);
  return found;
}

// Whether the guide's rows read the table anywhere but at its occurrences in
// the FROM clause (a subquery, a view): the query with each of them replaced
// by a row of NULLs still reads it, or no longer compiles.
bool ReadElsewhere(rdo::rdoConnection& connection, const std::string& table,
                   const std::vector<TableInFrom>& occurrences, const std::string& from,
                   const IndexedRows& indexed) {
  std::string nulls = "(SELECT NULL AS rowid";
  for (const std::string& column :
       FirstColumn(connection, "SELECT name AS Value FROM pragma_table_xinfo(" + Literal(table) +
                                   ") WHERE hidden <> 1"))
    nulls += ", NULL AS " + DoubleQuoted(column);
  nulls += ")";
  std::string replaced = from;
  for (auto occurrence = occurrences.rbegin(); occurrence != occurrences.rend(); ++occurrence)
    replaced.replace(occurrence->at, occurrence->table.size(),
                     nulls + (occurrence->aliased ? "" : " " + occurrence->qualifier));
  std::string query = "SELECT " + indexed.candidate_qualifier + ".rowid";
  for (const std::string& value : indexed.values) query += ", " + value;
  try {
    const TablesRead read =
        TablesReadBy(connection, query + " " + replaced + indexed.rows.substr(from.size()));
    return std::count(read.tables.begin(), read.tables.end(), table) > 0;
  } catch (const rdo::DatabaseError&) {
    return true;
  }
}

// Whether SQLite compiles the query (run WHERE 0: it reads no row).
bool Compiles(rdo::rdoConnection& connection, const std::string& query) {
  try {
    connection.OpenResultset(query + " WHERE 0");
    return true;
  } catch (const rdo::DatabaseError&) {
    return false;
  }
}

bool HasRowIds(rdo::rdoConnection& connection, const std::string& table) {
  return Compiles(connection, "SELECT rowid FROM " + DoubleQuoted(table));
}

// The columns of each unique index; nullopt when one holds an expression.
std::optional<std::vector<std::vector<std::string>>> UniqueKeys(rdo::rdoConnection& connection,
                                                                const std::string& table) {
  std::vector<std::vector<std::string>> keys;
  for (const std::string& index :
       FirstColumn(connection, "SELECT name AS Value FROM pragma_index_list(" + Literal(table) +
                                   ") WHERE \"unique\" = 1")) {
    rdo::rdoResultset columns = connection.OpenResultset("SELECT name FROM pragma_index_info(" +
                                                         Literal(index) + ") ORDER BY seqno");
    std::vector<std::string>& key = keys.emplace_back();
    for (; !columns.IsEOF(); columns.MoveNext()) {
      if (!columns.Value("name")) return std::nullopt;
      key.push_back(columns.Text("name"));
    }
  }
  return keys;
}

bool HasGeneratedColumns(rdo::rdoConnection& connection, const std::string& table) {
  return !FirstColumn(connection, "SELECT name AS Value FROM pragma_table_xinfo(" + Literal(table) +
                                      ") WHERE hidden IN (2, 3)")
              .empty();
}

bool JoinsNatural(const std::string& from) {
  for (const SqlPiece& piece : WordsAndQuotes(from))
    if (!piece.quoted && IsKeyword(piece.text, "NATURAL")) return true;
  return false;
}

// The table's columns among named and the keys, with its primary key and
// the names of its row id (see KeptTable); none, standing for all, when it
// has generated columns (one named may follow any other) or the FROM clause
// has a NATURAL join (which reads the columns it does not name).
std::vector<std::string> ColumnsAmong(rdo::rdoConnection& connection, const std::string& table,
                                      const std::string& from,
                                      const std::vector<std::string>& named,
                                      const std::vector<std::vector<std::string>>& unique_keys) {
  if (JoinsNatural(from) || HasGeneratedColumns(connection, table)) return {};
  std::set<std::string> read(named.begin(), named.end());
  for (const std::vector<std::string>& key : unique_keys)
    for (const std::string& column : key) read.insert(Lower(column));
  // Its primary key: the INTEGER PRIMARY KEY is the row id.
  for (const std::string& column :
       FirstColumn(connection, "SELECT name AS Value FROM pragma_table_xinfo(" + Literal(table) +
                                   ") WHERE pk > 0"))
    read.insert(Lower(column));
  std::vector<std::string> columns;
  for (const std::string& column :
       FirstColumn(connection, "SELECT name AS Value FROM pragma_table_xinfo(" + Literal(table) +
                                   ") WHERE hidden <> 1"))
    if (read.count(Lower(column))) columns.push_back(column);
  // An update may name the row id by any of these.
  for (const char* rowid : {"rowid", "oid", "_rowid_"}) columns.push_back(rowid);
  return columns;
}

TableUpkeep PlanTable(rdo::rdoConnection& connection, const std::string& table,
                      const std::string& from, const IndexedRows& indexed) {
  const std::vector<TableInFrom> occurrences = OccurrencesOf(table, from);
  if (occurrences.empty() || ReadElsewhere(connection, table, occurrences, from, indexed))
    return {table, std::nullopt, "read other than as a table of its FROM clause"};
  for (const TableInFrom& occurrence : occurrences)
    if (occurrence.nested)
      return {table, std::nullopt, "read inside parentheses of its FROM clause"};
  if (!HasRowIds(connection, table)) return {table, std::nullopt, "a table without row ids"};
  const auto keys = UniqueKeys(connection, table);
  if (!keys) return {table, std::nullopt, "a unique index on an expression"};
  KeptTable kept{
      table,
      {},
      *keys,
      indexed.rows,
      ColumnsAmong(connection, table, from, NamesLookedUp(indexed.rows, indexed.values), *keys),
      ColumnsAmong(connection, table, from, NamesLookedUp(indexed.rows, {}), {})};
  for (const TableInFrom& occurrence : occurrences) {
    kept.qualifiers.push_back(occurrence.qualifier);
    if (occurrence.optional)
      kept.rows_written = RowsAroundOptionalWrite(from, indexed.rows.substr(from.size()));
  }
  return {table, std::move(kept), ""};
}

// Whether the table's row ids are its INTEGER PRIMARY KEY, which VACUUM
// keeps: SQLite then reads the key as the row id.
bool RowIdsAreItsKey(rdo::rdoConnection& connection, const std::string& table) {
  const std::vector<std::string> key =
      FirstColumn(connection, "SELECT name AS Value FROM pragma_table_info(" + Literal(table) +
                                  ") WHERE pk > 0");
  if (key.size() != 1) return false;
  rdo::rdoResultset program = connection.OpenResultset("EXPLAIN SELECT " + DoubleQuoted(key[0]) +
                                                       " FROM " + DoubleQuoted(table));
  for (; !program.IsEOF(); program.MoveNext())
    if (program.Text("opcode") == "Rowid" || program.Text("opcode") == "IdxRowid") return true;
  return false;
}

bool NamesAView(rdo::rdoConnection& connection, const IndexedRows& indexed) {
  std::string text = indexed.rows;
  for (const std::string& value : indexed.values) text += " " + value;
  std::set<std::string> words;
  for (const SqlPiece& piece : WordsAndQuotes(text)) {
    std::string word(piece.text);
    if (piece.quoted && word.size() >= 2) word = word.substr(1, word.size() - 2);
    words.insert(Lower(word));
  }
  for (const std::string& view :
       FirstColumn(connection, "SELECT name AS Value FROM sqlite_master WHERE type = 'view'"))
    if (words.count(Lower(view))) return true;
  return false;
}

// The table of a qualifier that may have a side part; empty when none.
std::string SideTable(const std::string& from, const std::string& qualifier,
                      const UpkeepPlan& plan) {
  std::vector<TableInFrom> named;
  for (const TableInFrom& table : TablesInFrom(from))
    if (Lower(table.qualifier) == Lower(qualifier)) named.push_back(table);
  if (named.size() != 1 || named[0].optional || named[0].nested) return "";
  for (const TableUpkeep& table : plan.tables)
    if (Lower(table.name) == Lower(named[0].name) && table.kept &&
        table.kept->qualifiers.size() == 1 &&
        table.name.find_first_of("\t\n") == std::string::npos &&
        qualifier.find_first_of("\t\n") == std::string::npos)
      return table.name;
  return "";
}

// Whether the values read the row of the table named qualifier alone: they
// compile with nothing else in the FROM clause and read no other table.
bool ReadTheRowAlone(rdo::rdoConnection& connection, const std::string& table,
                     const std::string& qualifier, const std::vector<std::string>& values) {
  std::string query = "SELECT " + qualifier + ".rowid";
  for (const std::string& value : values) query += ", " + value;
  try {
    const TablesRead read =
        TablesReadBy(connection, query + " FROM " + DoubleQuoted(table) + " AS " + qualifier);
    return read.unwatchable.empty() && read.tables.size() == 1 &&
           Lower(read.tables[0]) == Lower(table);
  } catch (const rdo::DatabaseError&) {
    return false;
  }
}

// Whether the part's value names each column it reads with the part's
// qualifier: it compiles beside a second copy of its table, where a column
// named alone would be ambiguous.
bool QualifiesEachColumn(rdo::rdoConnection& connection, const std::string& table,
                         const std::string& part_value) {
  const std::string quoted = DoubleQuoted(table);
  return Compiles(connection, "SELECT " + part_value + "\n FROM " + quoted + " AS " +
                                  kPartQualifier + ", " + quoted + " AS Db_other");
}

}  // namespace

UpkeepPlan PlanUpkeep(rdo::rdoConnection& connection, const std::string& from,
                      const IndexedRows& indexed, const std::vector<std::string>& tables) {
  UpkeepPlan plan;
  for (const std::string& table : tables)
    plan.tables.push_back(PlanTable(connection, table, from, indexed));
  std::string candidate;
  for (const TableInFrom& named : TablesInFrom(from))
    if (Lower(named.qualifier) == Lower(indexed.candidate_qualifier)) candidate = named.name;
  plan.outlives_other_schema_changes = !candidate.empty() &&
                                       RowIdsAreItsKey(connection, candidate) &&
                                       !NamesAView(connection, indexed);
  return plan;
}

std::vector<KeptSide> PlanSides(rdo::rdoConnection& connection, const std::string& from,
                                const IndexedRows& indexed,
                                const std::vector<std::string>& qualifiers,
                                const UpkeepPlan& plan) {
  std::vector<KeptSide> sides;
  for (size_t i = 0; i < qualifiers.size(); ++i) {
    const std::string& qualifier = qualifiers[i];
    const std::string& value = indexed.values[i];
    const std::string table = SideTable(from, qualifier, plan);
    if (table.empty()) continue;
    const std::string part_value = PartValue(value, qualifier);
    const std::string name = PartName(table, part_value);
    // The same value searched twice: one part.
    auto same = std::find_if(sides.begin(), sides.end(),
                             [&](const KeptSide& side) { return side.part.name == name; });
    if (same != sides.end()) {
      same->part.positions.push_back(i);
      continue;
    }
    if (!RowIdsAreItsKey(connection, table) ||
        !ReadTheRowAlone(connection, table, kPartQualifier, {part_value}))
      continue;
    const auto keys = UniqueKeys(connection, table);
    if (!keys) continue;
    sides.push_back({{table, qualifier, {i}, name},
                     *keys,
                     ColumnsAmong(connection, table, from, NamesLookedUp("", {value}), *keys),
                     ColumnsAmong(connection, table, from, {}, *keys),
                     QualifiesEachColumn(connection, table, part_value)});
  }
  return sides;
}

}  // namespace corvanty
