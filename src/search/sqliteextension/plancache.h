// SPDX-License-Identifier: Apache-2.0
#pragma once
// The last search planned on a connection, kept for the next call with the
// same arguments while nothing it was planned from can have changed: an
// application that searches again and again pays for reading the guide and
// its index state once, not on every call.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "search/sqliteextension/sqliteapi.h"
#include "statements/searchstatements.h"

namespace corvanty {

class PlanCache {
 public:
  explicit PlanCache(sqlite3* db) : db_(db) {}
  PlanCache(const PlanCache&) = delete;
  PlanCache& operator=(const PlanCache&) = delete;
  ~PlanCache();

  // The statements for the guide list and criteria: the kept ones, or those
  // plan returns (kept when they may be). Exceptions of plan pass through.
  std::vector<GuideStatement> Statements(const std::string& guides, const std::string& criteria,
                                         const std::function<std::vector<GuideStatement>()>& plan);

 private:
  // What the connection has seen change, read in the caller's snapshot.
  using Stamp = std::tuple<sqlite3_int64, sqlite3_int64, sqlite3_int64>;
  std::optional<Stamp> ReadStamp();
  // The first value of pragma which of kVersions, or the number of its rows.
  std::optional<sqlite3_int64> Version(int which, bool count_rows);

  sqlite3* db_;
  sqlite3_stmt* versions_[3] = {};  // prepared once, kept
  std::optional<Stamp> stamp_;      // of the kept plan; none: nothing kept
  std::string guides_, criteria_;
  std::vector<GuideStatement> statements_;
};

}  // namespace corvanty
