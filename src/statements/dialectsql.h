// SPDX-License-Identifier: Apache-2.0
#pragma once
// The statements whose text differs between SQL Server, SQLite and
// PostgreSQL. Every other statement is the same text on all three.
#include <string>

#include "connections/rdo.h"

namespace corvanty {

// True for SQL Server and PostgreSQL, whose search service the tool installs
// (the procedure, the PL/pgSQL function); SQLite is searched by the built-in
// engine and needs none.
bool HasSearchProcedure(rdo::Dialect dialect);

// Names (column "Name") of the three main guide tables that exist, as
// objects of any kind (on PostgreSQL tables and views of the current schema).
std::string MainTablesExistQuery(rdo::Dialect dialect);

// Names (column "Name") of those of the five guide tables that exist.
std::string AllGuideTablesExistQuery(rdo::Dialect dialect);

// Names (column "Name") of the database's user tables, in the server's order:
// on SQLite in the order they were made, without SQLite's own tables, the
// hidden tables that hold a virtual table's data and the search indexes';
// on PostgreSQL the base tables of the current schema in the order they were
// made.
std::string UserTablesQuery(rdo::Dialect dialect);

// The search procedure's existence query (SQL Server only: PostgreSQL's search
// service is found by its version, SQLite has none).
extern const char* const kSearchEngineExistsQuery;

// Every column of the catalogue objects named in quoted_table_list (names
// each between apostrophes, separated by commas), as rows of TableName and
// ColName. On SQLite only tables and views are asked, never SQLite's own; on
// PostgreSQL only those of the current schema. Both compare the names
// without regard to case.
std::string ColumnCatalogueQuery(rdo::Dialect dialect, const std::string& quoted_table_list);

// The literal the columns editor writes for a stored separator made of a
// plus sign, an apostrophe, body, an apostrophe and a plus sign. quoted_body
// is body with its apostrophes already doubled for the literal.
std::string WrappedSeparatorLiteral(rdo::Dialect dialect, const std::string& quoted_body);

}  // namespace corvanty
