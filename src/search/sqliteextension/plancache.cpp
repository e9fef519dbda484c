// SPDX-License-Identifier: Apache-2.0
#include "search/sqliteextension/plancache.h"

namespace corvanty {
namespace {

// Commits of other connections (data_version), schema changes of any
// (schema_version) and the databases the connection reads: guide tables
// may be shadowed by temporary ones or live in an attached database whose
// changes the first two do not show, so a plan is kept only with main alone.
constexpr char kVersions[] =
    "SELECT (SELECT data_version FROM pragma_data_version),"
    " (SELECT schema_version FROM main.pragma_schema_version),"
    " (SELECT count(*) FROM pragma_database_list)";

}  // namespace

PlanCache::~PlanCache() { sqlite3_finalize(versions_); }

std::optional<PlanCache::Stamp> PlanCache::ReadStamp() {
  // Inside the application's transaction its own writes may yet be rolled
  // back, which no version would show: plans are neither kept nor reused.
  if (!sqlite3_get_autocommit(db_)) return std::nullopt;
  if (!versions_ && sqlite3_prepare_v3(db_, kVersions, -1, SQLITE_PREPARE_PERSISTENT, &versions_,
                                       nullptr) != SQLITE_OK)
    return std::nullopt;
  std::optional<Stamp> stamp;
  if (sqlite3_step(versions_) == SQLITE_ROW && sqlite3_column_int64(versions_, 2) == 1)
    // The connection's own row changes, which data_version leaves out.
    stamp = Stamp{sqlite3_total_changes64(db_), sqlite3_column_int64(versions_, 0),
                  sqlite3_column_int64(versions_, 1)};
  sqlite3_reset(versions_);
  return stamp;
}

std::vector<GuideStatement> PlanCache::Statements(
    const std::string& guides, const std::string& criteria,
    const std::function<std::vector<GuideStatement>()>& plan) {
  const std::optional<Stamp> stamp = ReadStamp();
  if (stamp && stamp == stamp_ && guides == guides_ && criteria == criteria_) return statements_;
  stamp_.reset();
  std::vector<GuideStatement> statements = plan();
  // A change made meanwhile is newer than the stamp: the next call plans again.
  if (stamp) {
    guides_ = guides;
    criteria_ = criteria;
    statements_ = statements;
    stamp_ = stamp;
  }
  return statements;
}

}  // namespace corvanty
