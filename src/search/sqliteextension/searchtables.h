// SPDX-License-Identifier: Apache-2.0
#pragma once
// The search service as table-valued functions of the calling connection:
// velmorastine_search(dsgstring, criteria) returns resultlist, idcolumn and
// dsg_id of each row found, as the built-in engine finds them;
// velmorastine_search_sql(dsgstring, criteria) returns each guide's
// statement (sql, dsg_id).
#include "connections/sqlitecalls.h"

namespace corvanty {

// Registers both functions on db; an SQLite result code.
int RegisterSearchTables(sqlite3* db);

}  // namespace corvanty
