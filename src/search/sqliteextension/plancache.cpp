// SPDX-License-Identifier: Apache-2.0
#include "search/sqliteextension/plancache.h"

namespace corvanty {
namespace {

// Commits of other connections (data_version), schema changes of any
// (schema_version) and the databases the connection reads: guide tables
// may be shadowed by temporary ones or live in an attached database whose
// changes the first two do not show, so a plan is kept only with main alone.
// Plain pragmas, prepared once: their table-valued forms prepare them anew.
constexpr const char* kVersions[] = {"PRAGMA data_version", "PRAGMA schema_version",
                                     "PRAGMA database_list"};

}  // namespace

PlanCache::~PlanCache() {
  Forget();
  for (sqlite3_stmt* statement : versions_) sqlite3_finalize(statement);
}

void PlanCache::Forget() {
  stamp_.reset();
  plan_id_ = 0;
  for (sqlite3_stmt* statement : prepared_) sqlite3_finalize(statement);
  prepared_.clear();
}

std::optional<sqlite3_int64> PlanCache::Version(int which, bool count_rows) {
  sqlite3_stmt*& statement = versions_[which];
  if (!statement && sqlite3_prepare_v3(db_, kVersions[which], -1, SQLITE_PREPARE_PERSISTENT,
                                       &statement, nullptr) != SQLITE_OK)
    return std::nullopt;
  std::optional<sqlite3_int64> value;
  sqlite3_int64 rows = 0;
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
    if (rows++ == 0) value = sqlite3_column_int64(statement, 0);
  sqlite3_reset(statement);
  if (rc != SQLITE_DONE) return std::nullopt;
  return count_rows ? rows : value;
}

std::optional<PlanCache::Stamp> PlanCache::ReadStamp() {
  // Inside the application's transaction its own writes may yet be rolled
  // back, which no version would show: plans are neither kept nor reused.
  if (!sqlite3_get_autocommit(db_) || Version(2, true) != 1) return std::nullopt;
  const std::optional<sqlite3_int64> data = Version(0, false), schema = Version(1, false);
  if (!data || !schema) return std::nullopt;
  // The connection's own row changes, which data_version leaves out.
  return Stamp{sqlite3_total_changes64(db_), *data, *schema};
}

std::vector<GuideStatement> PlanCache::Statements(
    const std::string& guides, const std::string& criteria,
    const std::function<std::vector<GuideStatement>()>& plan, uint64_t& plan_id) {
  const std::optional<Stamp> stamp = ReadStamp();
  if (stamp && stamp == stamp_ && guides == guides_ && criteria == criteria_) {
    plan_id = plan_id_;
    return statements_;
  }
  Forget();
  plan_id = 0;
  std::vector<GuideStatement> statements = plan();
  // A change made meanwhile is newer than the stamp: the next call plans again.
  if (stamp) {
    guides_ = guides;
    criteria_ = criteria;
    statements_ = statements;
    stamp_ = stamp;
    plan_id = plan_id_ = ++last_id_;
    prepared_.assign(statements.size(), nullptr);
  }
  return statements;
}

sqlite3_stmt* PlanCache::Prepared(uint64_t plan_id, size_t which, const std::string& sql) {
  if (plan_id != 0 && plan_id == plan_id_ && prepared_[which]) {
    sqlite3_stmt* kept = prepared_[which];
    prepared_[which] = nullptr;
    return kept;
  }
  sqlite3_stmt* statement = nullptr;
  // Persistent: a kept statement lives as long as its plan.
  sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()),
                     plan_id ? SQLITE_PREPARE_PERSISTENT : 0, &statement, nullptr);
  return statement;
}

void PlanCache::Return(uint64_t plan_id, size_t which, sqlite3_stmt* statement) {
  if (plan_id != 0 && plan_id == plan_id_ && !prepared_[which]) {
    sqlite3_reset(statement);
    prepared_[which] = statement;
  } else {
    sqlite3_finalize(statement);
  }
}

}  // namespace corvanty
