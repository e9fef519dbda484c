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

void PlanCache::Forget() {
  stamp_.reset();
  plan_id_ = 0;
  prepared_.clear();
}

std::optional<sqlite3_int64> PlanCache::Version(int which, bool count_rows) {
  std::optional<sqlite::Statement>& statement = versions_[which];
  std::optional<sqlite3_int64> value;
  sqlite3_int64 rows = 0;
  bool read = true;
  try {
    if (!statement) statement = sqlite::Statement::Kept(db_, kVersions[which]);
    while (statement->Step())
      if (rows++ == 0) value = statement->Int64(0);
  } catch (const sqlite::Error&) {
    read = false;  // the stamp is unknown: the plan is neither kept nor reused
  }
  if (statement) statement->Reset();
  if (!read) return std::nullopt;
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
    prepared_.clear();
    prepared_.resize(statements.size());
  }
  return statements;
}

sqlite::Statement PlanCache::Prepared(uint64_t plan_id, size_t which, const std::string& sql) {
  if (plan_id != 0 && plan_id == plan_id_ && prepared_[which]) {
    sqlite::Statement kept = std::move(*prepared_[which]);
    prepared_[which].reset();
    return kept;
  }
  // Kept: a statement of a kept plan lives as long as its plan.
  return plan_id ? sqlite::Statement::Kept(db_, sql) : sqlite::Statement(db_, sql);
}

void PlanCache::Return(uint64_t plan_id, size_t which, sqlite::Statement statement) {
  // Any other is finalized as it goes out of scope here.
  if (plan_id != 0 && plan_id == plan_id_ && !prepared_[which]) {
    statement.Reset();
    prepared_[which] = std::move(statement);
  }
}

}  // namespace corvanty
