// SPDX-License-Identifier: Apache-2.0
#include "statements/dialectsql.h"

namespace corvanty {

namespace {

// PostgreSQL folds unquoted names to lower case, so the guide tables made
// from the scripts are db_search_guides and so on; names are compared in
// lower case on both sides. Its own schemas are never asked. The catalogue's
// columns are of its own domains, for which no built-in function or operator
// is an exact match: each names pg_catalog, or one another role made for
// those exact types in a schema of the user's path would be chosen.
std::string PostgresNameIn(const std::string& column, const std::string& name_list) {
  return "pg_catalog.lower(CAST(" + column +
         " AS pg_catalog.text)) IN (SELECT pg_catalog.lower(pg_catalog.unnest(ARRAY[" + name_list +
         "])))";
}
const char* const kPostgresCurrentSchema =
    "table_schema OPERATOR(pg_catalog.=) pg_catalog.current_schema() AND CAST(table_schema AS "
    "pg_catalog.text) NOT IN ('pg_catalog', 'information_schema')";
// The order the tables were made in, as SQLite lists them.
const char* const kPostgresCreationOrder =
    "pg_catalog.format('%I.%I', CAST(table_schema AS pg_catalog.text), CAST(table_name AS "
    "pg_catalog.text))::regclass::oid";

std::string ObjectsNamedQuery(rdo::Dialect dialect, const std::string& name_list) {
  if (dialect == rdo::Dialect::SqlServer)
    return "SELECT Name FROM SysObjects WHERE Name IN (" + name_list + ")";
  if (dialect == rdo::Dialect::PostgreSql)
    return std::string("SELECT table_name AS Name FROM information_schema.tables WHERE ") +
           kPostgresCurrentSchema + " AND " + PostgresNameIn("table_name", name_list);
  // SQLite's own object names compare without regard to case, as the
  // server's default collation does. Index names are left out: on the
  // server they are not objects that could stand in for a table.
  return "SELECT name AS Name FROM sqlite_master WHERE type IN ('table', 'view') AND "
         "name COLLATE NOCASE IN (" +
         name_list + ")";
}
}  // namespace

bool HasSearchProcedure(rdo::Dialect dialect) { return dialect != rdo::Dialect::Sqlite; }

std::string MainTablesExistQuery(rdo::Dialect dialect) {
  return ObjectsNamedQuery(dialect,
                           "'Db_Search_Guides','Db_Search_Guide_Tables','Db_Search_Guide_Cols'");
}

std::string AllGuideTablesExistQuery(rdo::Dialect dialect) {
  return ObjectsNamedQuery(dialect,
                           "'Db_Search_Guides','Db_Search_Guide_Tables','Db_Search_Guide_Cols',"
                           "'Db_Search_Guide_SQL','Db_Search_Guide_Unique'");
}

std::string UserTablesQuery(rdo::Dialect dialect) {
  if (dialect == rdo::Dialect::SqlServer) return "SELECT Name FROM SysObjects WHERE Type = 'U'";
  if (dialect == rdo::Dialect::PostgreSql)
    return std::string("SELECT table_name AS Name FROM information_schema.tables WHERE ") +
           kPostgresCurrentSchema +
           " AND CAST(table_type AS pg_catalog.text) = 'BASE TABLE' ORDER BY " +
           kPostgresCreationOrder;
  return "SELECT name AS Name FROM sqlite_master WHERE type = 'table' AND "
         "name NOT LIKE 'sqlite!_%' ESCAPE '!' AND name NOT LIKE 'Db!_Search!_Index!_%' ESCAPE '!' "
         "AND name IN (SELECT name FROM pragma_table_list WHERE schema = 'main' AND type = "
         "'table')";
}

const char* const kSearchEngineExistsQuery =
    "SELECT Name FROM SysObjects WHERE Name = 'Velmorastine_Search'";

std::string ColumnCatalogueQuery(rdo::Dialect dialect, const std::string& quoted_table_list) {
  if (dialect == rdo::Dialect::SqlServer)
    return "SELECT Tbl.Name TableName, Col.Name ColName"
           " FROM SysObjects Tbl, SysColumns Col"
           " WHERE Tbl.ID = Col.ID"
           " AND Tbl.Name IN (" +
           quoted_table_list + ")";
  if (dialect == rdo::Dialect::PostgreSql)
    return std::string(
               "SELECT table_name AS TableName, column_name AS ColName"
               " FROM information_schema.columns WHERE ") +
           kPostgresCurrentSchema + " AND " + PostgresNameIn("table_name", quoted_table_list) +
           " ORDER BY " + kPostgresCreationOrder + ", ordinal_position";
  // Names compare without regard to case, as on the server; the order is
  // the tables' order of creation, each table's columns in their own order.
  return "SELECT Tbl.name AS TableName, Col.name AS ColName"
         " FROM sqlite_master Tbl, pragma_table_info(Tbl.name) Col"
         " WHERE Tbl.type IN ('table', 'view') AND Tbl.name NOT LIKE 'sqlite!_%' ESCAPE '!'"
         " AND Tbl.name COLLATE NOCASE IN (" +
         quoted_table_list + ") ORDER BY Tbl.rowid, Col.cid";
}

std::string WrappedSeparatorLiteral(rdo::Dialect dialect, const std::string& quoted_body) {
  if (dialect == rdo::Dialect::SqlServer)
    return "'+' + CHAR(39) + '" + quoted_body + "' + CHAR(39) + '+'";
  const std::string apostrophe = dialect == rdo::Dialect::PostgreSql ? "chr(39)" : "char(39)";
  return "'+' || " + apostrophe + " || '" + quoted_body + "' || " + apostrophe + " || '+'";
}

}  // namespace corvanty
