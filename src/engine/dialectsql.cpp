#include "engine/dialectsql.h"

namespace corvanty {

namespace {
std::string ObjectsNamedQuery(rdo::Dialect dialect, const std::string& name_list) {
  if (dialect == rdo::Dialect::SqlServer)
    return "SELECT Name FROM SysObjects WHERE Name IN (" + name_list + ")";
  // SQLite's own object names compare without regard to case, as the
  // server's default collation does. Index names are left out: on the
  // server they are not objects that could stand in for a table.
  return "SELECT name AS Name FROM sqlite_master WHERE type IN ('table', 'view') AND "
         "name COLLATE NOCASE IN (" +
         name_list + ")";
}
}  // namespace

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
  return "SELECT name AS Name FROM sqlite_master WHERE type = 'table' AND "
         "name NOT LIKE 'sqlite!_%' ESCAPE '!' AND "
         "name IN (SELECT name FROM pragma_table_list WHERE schema = 'main' AND type = 'table')";
}

const char* const kSearchEngineExistsQuery =
    "SELECT Name FROM SysObjects WHERE Name = 'Velmorastine_Search'";

}  // namespace corvanty
