// SPDX-License-Identifier: Apache-2.0
// The index command: builds, drops and lists the guides' search indexes.
#include <chrono>
#include <iomanip>
#include <iostream>

#include "cli/commands.h"
#include "cli/guidearguments.h"
#include "connections/serverdialect.h"
#include "index/searchindexbuild.h"
#include "index/searchindexes.h"
#include "index/searchindexremnants.h"
#include "index/searchindexstate.h"
#include "index/trigramindex.h"

namespace corvanty::cli {

namespace {

std::string Guide(int32_t guide) { return "Database Search Guide " + std::to_string(guide); }

// DSG_ID, state, rows, bytes and name, tab-separated; "-" for what an
// absent index has not, and for rows on PostgreSQL, which counts none.
void ListIndexes(rdo::rdoConnection& connection) {
  const bool postgres =
      ForDialect(connection.GetDialect()).SearchIndexes() == SearchIndexKind::PgTrigram;
  for (const SearchIndexListing& entry : ListGuideSearchIndexes(connection)) {
    const bool absent = entry.index.state == IndexState::Absent;
    std::cout << entry.DSG_ID << '\t' << IndexStateName(entry.index.state) << '\t'
              << (absent || postgres ? "-" : std::to_string(entry.index.rows)) << '\t'
              << (entry.bytes ? std::to_string(*entry.bytes) : "-") << '\t'
              << (entry.DSG_name ? ShownText(*entry.DSG_name) : "(no such guide)") << '\n';
  }
}

void BuildTrigram(rdo::rdoConnection& connection, int32_t guide) {
  const auto start = std::chrono::steady_clock::now();
  const size_t built = BuildTrigramIndex(connection, guide);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::cout << "Built the search index of " << Guide(guide) << ": " << built
            << " trigram indexes, one per search column, " << std::fixed << std::setprecision(2)
            << took.count() << " s. The server keeps them up to date.\n";
}

void Build(rdo::rdoConnection& connection, int32_t guide) {
  const auto start = std::chrono::steady_clock::now();
  const SearchIndexBuilt built = BuildSearchIndex(connection, guide);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::string kept, stale = "the guide";
  for (const std::string& table : built.kept_tables) kept += (kept.empty() ? "" : ", ") + table;
  if (!built.unkept_tables.empty()) {
    stale = "";
    for (const auto& [table, why] : built.unkept_tables)
      stale += (stale.empty() ? "" : ", ") + table + " (" + why + ")";
    stale += " or to the guide";
  }
  std::cout << "Built the search index of " << Guide(guide) << ": " << built.rows
            << " rows, row ids of " << built.candidate_qualifier << ", "
            << SearchIndexBytes(connection, guide) << " bytes, " << std::fixed
            << std::setprecision(2) << took.count() << " s. "
            << (kept.empty() ? "Changes to "
                             : "Changes to " + kept + " keep it up to date; changes to ")
            << stale << " mark it stale.\n";
}

}  // namespace

bool ReportRemnants(rdo::SqlSession& connection) {
  const std::vector<IndexRemnant> remnants = FindIndexRemnants(connection);
  for (const IndexRemnant& remnant : remnants) std::cerr << RemnantWarning(remnant) << '\n';
  return !remnants.empty();
}

int Index(const Words& words) {
  Args args(words, {"--connection"}, {"--drop"});
  const std::string usage = UsageOf("index");
  args.ExpectPositional(0, 1, usage);
  if (args.Has("--drop") && args.Positional().empty())
    throw UsageError("--drop needs a GUIDE; usage: " + usage);
  std::optional<CommandSession> saved = SavedConnectionFrom(args);
  if (!saved) return kExitFailure;
  return ReportingDatabaseErrors(saved->dsn, [&] {
    rdo::rdoConnection& connection = saved->session.Connection();
    if (std::string reason = NoSearchIndexesReason(connection); !reason.empty()) {
      std::cerr << reason << '\n';
      return kExitFailure;
    }
    const bool postgres =
        ForDialect(connection.GetDialect()).SearchIndexes() == SearchIndexKind::PgTrigram;
    if (args.Positional().empty()) {
      ListIndexes(connection);
      return ReportRemnants(connection) ? kExitFailure : kExitOk;
    }
    const int32_t guide = ResolveGuide(connection, args.Positional()[0]);
    if (!args.Has("--drop")) {
      postgres ? BuildTrigram(connection, guide) : Build(connection, guide);
    } else if (postgres ? DropTrigramIndex(connection, guide)
                        : DropSearchIndex(connection, guide)) {
      std::cout << "Dropped the search index of " << Guide(guide) << ".\n";
    } else {
      std::cout << Guide(guide) << " has no search index.\n";
    }
    return kExitOk;
  });
}

}  // namespace corvanty::cli
