#pragma once
// The statements whose text differs between SQL Server and SQLite. Every
// other statement is the same text on both.
#include <string>

#include "connections/rdo.h"

namespace corvanty {

// Names (column "Name") of the three main guide tables that exist, as
// objects of any kind.
std::string MainTablesExistQuery(rdo::Dialect dialect);

// Names (column "Name") of those of the five guide tables that exist.
std::string AllGuideTablesExistQuery(rdo::Dialect dialect);

// Names (column "Name") of the database's user tables, in the server's order:
// on SQLite in the order they were made, without SQLite's own tables and the
// hidden tables that hold a virtual table's data.
std::string UserTablesQuery(rdo::Dialect dialect);

// The search procedure's existence query (SQL Server only: on SQLite the
// built-in engine is the search engine and there is nothing to look for).
extern const char* const kSearchEngineExistsQuery;

}  // namespace corvanty
