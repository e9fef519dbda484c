// SPDX-License-Identifier: Apache-2.0
#pragma once
// Runs a search: generates each listed guide's statement and streams its
// rows over ODBC, guide after guide, never holding them all in memory.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "index/searchpath.h"
#include "search/statementrows.h"
#include "statements/searchstatements.h"

namespace corvanty {

struct SearchResult {
  std::string ResultList;  // the result text
  std::string IDColumn;    // the key column's value ("0" when the guide has none)
  int32_t DSG_ID = 0;
};

class SearchRun {
 public:
  // Takes over the connection; statements must be free of errors, one path
  // each. On PostgreSQL the search runs in a transaction of its own, which
  // holds the cursors its statements' rows come from (see statementrows.h).
  SearchRun(rdo::rdoConnection connection, std::vector<GuideStatement> statements,
            std::vector<SearchPath> paths);
  // The next result, or nullopt when every statement is read. Throws
  // rdo::DatabaseError.
  std::optional<SearchResult> Next();
  // Which way each guide's statement runs, in statement order.
  const std::vector<SearchPath>& Paths() const { return paths_; }

 private:
  rdo::rdoConnection connection_;
  std::optional<rdo::Transaction> transaction_;
  std::vector<GuideStatement> statements_;
  std::vector<SearchPath> paths_;
  size_t next_statement_ = 0;
  std::unique_ptr<StatementRows> reader_;
};

struct PlannedSearch {
  std::vector<GuideStatement> statements;  // free of errors
  std::vector<SearchPath> paths;           // one per statement
};

// Generates the statements of the listed guides for the connection's
// dialect and chooses each one's path. Throws rdo::DatabaseError, carrying
// the generator's message for an invalid guide list or guide.
PlannedSearch PlanSearch(rdo::SqlSession& connection, const std::vector<int32_t>& guide_ids,
                         const SearchCriteria& criteria);
// The same for guide definitions already read on the connection.
PlannedSearch PlanSearchOf(rdo::SqlSession& connection,
                           const std::vector<GuideDefinition>& definitions,
                           const SearchCriteria& criteria);

// Generates the statements of the listed guides for the connection's
// dialect and starts the search on it, or on a connection opened with
// connect. An invalid guide list or guide is reported
// as rdo::DatabaseError carrying the generator's message. On SQLite and
// PostgreSQL a guide whose search index serves the criteria is searched
// through it (see searchpath.h).
std::unique_ptr<SearchRun> StartSearch(rdo::rdoConnection connection,
                                       const std::vector<int32_t>& guide_ids,
                                       const std::string& criteria);
std::unique_ptr<SearchRun> StartSearch(const std::string& connect,
                                       const std::vector<int32_t>& guide_ids,
                                       const std::string& criteria);

// Throws rdo::DatabaseError with one record holding message.
[[noreturn]] void ThrowSearchError(const std::string& message);

}  // namespace corvanty
