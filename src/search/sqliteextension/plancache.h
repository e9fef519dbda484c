// SPDX-License-Identifier: Apache-2.0
#pragma once
// The last search planned on a connection, kept for the next call with the
// same arguments while nothing it was planned from can have changed, with
// its statements once prepared: an application that searches again and
// again pays for reading the guide and its index state, and for preparing
// the statements, once, not on every call.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "connections/sqlitecalls.h"
#include "connections/sqlitestatement.h"
#include "statements/searchstatements.h"

namespace corvanty {

class PlanCache {
 public:
  explicit PlanCache(sqlite3* db) : db_(db) {}
  PlanCache(const PlanCache&) = delete;
  PlanCache& operator=(const PlanCache&) = delete;

  // The statements for the guide list and criteria: the kept ones, or those
  // plan returns (kept when they may be). Exceptions of plan pass through.
  // plan_id: which plan they are, for Prepared and Return; 0 for one not
  // kept.
  std::vector<GuideStatement> Statements(const std::string& guides, const std::string& criteria,
                                         const std::function<std::vector<GuideStatement>()>& plan,
                                         uint64_t& plan_id);

  // The which-th statement of plan plan_id prepared, for the caller to run
  // and then give back: the kept one when it is there, else newly prepared
  // (throws sqlite::Error when it cannot be). Several cursors may run the
  // same plan at once: each gets one of its own.
  sqlite::Statement Prepared(uint64_t plan_id, size_t which, const std::string& sql);
  // Takes back a statement Prepared gave: kept, reset, while its plan is,
  // else finalized.
  void Return(uint64_t plan_id, size_t which, sqlite::Statement statement);

 private:
  // What the connection has seen change, read in the caller's snapshot.
  using Stamp = std::tuple<sqlite3_int64, sqlite3_int64, sqlite3_int64>;
  std::optional<Stamp> ReadStamp();
  // The first value of pragma which of kVersions, or the number of its rows.
  std::optional<sqlite3_int64> Version(int which, bool count_rows);

  sqlite3* db_;
  std::optional<sqlite::Statement> versions_[3];  // prepared once, kept
  std::optional<Stamp> stamp_;                    // of the kept plan; none: nothing kept
  void Forget();

  std::string guides_, criteria_;
  std::vector<GuideStatement> statements_;
  uint64_t plan_id_ = 0;  // of the kept plan; 0: none
  uint64_t last_id_ = 0;
  // The kept plan's, by statement; none: lent or not prepared yet.
  std::vector<std::optional<sqlite::Statement>> prepared_;
};

}  // namespace corvanty
