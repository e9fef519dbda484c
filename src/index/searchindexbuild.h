// SPDX-License-Identifier: Apache-2.0
#pragma once
// Builds and drops a guide's search index on SQLite (see searchindexsql.h
// for what it is made of). Each is one transaction that first takes the
// database's write lock, so a second process doing the same waits for it
// (or fails, saying so), and an interruption leaves the index as it was.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "index/searchindexupkeep.h"

namespace corvanty {

// A guide that cannot be indexed, or a database that keeps no indexes;
// what() names the guide and says why.
class SearchIndexRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Why the connection's database keeps no search indexes, on SQL Server; ""
// on SQLite and PostgreSQL, which keep them (see trigramindex.h for
// PostgreSQL's).
std::string NoSearchIndexesReason(const rdo::SqlSession& connection);

struct SearchIndexBuilt {
  std::string candidate_qualifier;       // the table whose row ids the index gives
  long long rows = 0;                    // rows of the guide's FROM and WHERE
  std::vector<std::string> kept_tables;  // whose changes keep it up to date
  // Whose changes mark it stale, each with why it cannot follow them.
  std::vector<std::pair<std::string, std::string>> unkept_tables;
};

// Builds the guide's index, replacing any it has; a write merges a pending
// list once it holds merge_at row ids, by default kMergeAt for the guide's
// own and kSideMergeAt for its side parts' (see searchindexupkeep.h).
// Throws SearchIndexRefused or rdo::DatabaseError; either way the database
// is left as it was.
SearchIndexBuilt BuildSearchIndex(rdo::rdoConnection& connection, int32_t guide,
                                  std::optional<long long> merge_at = std::nullopt);

// Removes the guide's index and its triggers; false when it had none.
bool DropSearchIndex(rdo::rdoConnection& connection, int32_t guide);

// The same inside a transaction the caller holds and has written in already
// (so that it holds the write lock), such as a guide's deletion.
bool DropSearchIndexWithin(rdo::rdoConnection& connection, int32_t guide);

}  // namespace corvanty
