// SPDX-License-Identifier: Apache-2.0
#pragma once
// What the rows of a guide depend on, so that its search index can tell
// when they may have changed: the tables they are read from, and whether
// they depend on the moment they are read rather than on those tables.
#include <string>
#include <string_view>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

struct TablesRead {
  std::vector<std::string> tables;  // of the main database, sorted, each once
  std::string unwatchable;          // what else it reads, that no trigger can watch
};

// The tables a SQLite query reads, from SQLite's own program for it
// (EXPLAIN): views and subqueries resolved to their tables, an index read
// in place of its table counted as that table. Throws rdo::DatabaseError
// when the query does not compile.
TablesRead TablesReadBy(rdo::rdoConnection& connection, const std::string& query);

// The first function or value in the SQL text (outside its literals) whose
// value depends on the moment the text runs: random numbers, the current
// date and time ('now', CURRENT_TIMESTAMP, date() without arguments), the
// counts of the last change. Empty when there is none.
std::string MomentDependence(std::string_view sql);

}  // namespace corvanty
