// SPDX-License-Identifier: Apache-2.0
#include "guides/guideclauses.h"

#include "connections/rdo.h"
#include "connections/serverdialect.h"
#include "statements/sqlliteral.h"

namespace corvanty {

namespace {
std::string TablesRowQuery(int32_t id) {
  return "SELECT * FROM Db_Search_Guide_Tables WHERE DSG_ID = " + std::to_string(id);
}
}  // namespace

std::optional<StoredClauses> LoadGuideClauses(rdo::rdoConnection& connection, int32_t id) {
  rdo::rdoResultset row = connection.OpenResultset(TablesRowQuery(id));
  if (row.IsEOF()) return std::nullopt;
  return StoredClauses{row.Text("FROM_clause"), row.Text("WHERE_clause")};
}

std::vector<std::string> ListUserTables(rdo::rdoConnection& connection) {
  rdo::rdoResultset rows =
      connection.OpenResultset(ForDialect(connection.GetDialect()).UserTablesQuery());
  std::vector<std::string> tables;
  for (; !rows.IsEOF(); rows.MoveNext()) tables.push_back(rows.Text("Name"));
  return tables;
}

std::string TablesRowInsertStatement(int32_t id, const std::string& from_text,
                                     const std::string& where_text) {
  return std::string("INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause)") +
         " VALUES (" + std::to_string(id) + ",'" + QuoteApostrophes("FROM " + from_text) + "','" +
         QuoteApostrophes("WHERE " + where_text) + "')";
}

std::string TablesRowUpdateStatement(int32_t id, const std::string& from_text,
                                     const std::string& where_text) {
  return std::string("UPDATE Db_Search_Guide_Tables") + " SET FROM_clause = '" +
         QuoteApostrophes("FROM " + from_text) + "'," + " WHERE_clause = '" +
         QuoteApostrophes("WHERE " + where_text) + "'" + " WHERE DSG_ID = " + std::to_string(id);
}

std::string TableColumnSettingsDeleteStatement(int32_t id, const std::string& table) {
  return "DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = " + std::to_string(id) +
         " AND Column_qualifier = '" + QuoteApostrophes(table) + "'";
}

bool SaveGuideClauses(rdo::rdoConnection& connection, int32_t id, bool editing,
                      const std::string& from_text, const std::string& where_text) {
  rdo::Transaction transaction = connection.BeginTrans();
  rdo::rdoResultset row = connection.OpenResultset(TablesRowQuery(id));
  if (!editing && !row.IsEOF()) throw LeftoverGuideRows(OrphanTablesRowMessage(id));
  // A guide kept without its tables row is edited into having one.
  if (row.IsEOF()) {
    connection.Execute(TablesRowInsertStatement(id, from_text, where_text));
  } else if (row.Text("FROM_clause") != "FROM " + from_text ||
             row.Text("WHERE_clause") != "WHERE " + where_text) {
    // Rewriting the same clauses would still mark the guide's search index stale.
    connection.Execute(TablesRowUpdateStatement(id, from_text, where_text));
  } else {
    return false;
  }
  transaction.Commit();
  return true;
}

std::string OrphanTablesRowMessage(int32_t id) {
  const std::string n = std::to_string(id);
  return "Database Search Guide " + n +
         " cannot be saved: Db_Search_Guide_Tables already has a "
         "row with DSG_ID " +
         n +
         ", left by an earlier guide with that number that no longer "
         "exists (rebuilding Db_Search_Guides deletes the guides and numbers them from 1 again, "
         "but keeps the rows of the other guide tables). Delete the rows with DSG_ID " +
         n +
         " from Db_Search_Guide_Tables and Db_Search_Guide_Cols, or rebuild those two tables in "
         "Tools > Rebuild Control Table, then define this guide's tables in Administer > Db "
         "Search Tables.";
}

void DeleteTableColumnSettings(rdo::rdoConnection& connection, int32_t id,
                               const std::string& table) {
  connection.Execute(TableColumnSettingsDeleteStatement(id, table));
}

}  // namespace corvanty
