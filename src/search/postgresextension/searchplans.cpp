// SPDX-License-Identifier: Apache-2.0
#include "search/postgresextension/searchplans.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include "search/postgresextension/postgresboundary.h"
#include "search/searchengine.h"
#include "statements/guideloader.h"

namespace corvanty::postgres {

namespace {

uint64_t relation_changes = 0;
std::vector<SPIPlanPtr> retired_plans;

void CountRelationChange(Datum, Oid) { ++relation_changes; }

// How many transactions that wrote have ended in the whole server, the
// count the server's own snapshots are reused by: while it stays the same,
// a new snapshot sees what the last one saw, so guide rows read under one
// are still the rows. Only where that reasoning holds: a primary, in READ
// COMMITTED (each statement a new snapshot; never an older one imported),
// in a transaction that has written nothing (its own changes are not
// counted until it ends). Elsewhere nullopt: the guides are read each call.
std::optional<uint64_t> CompletedWriters() {
  std::optional<uint64_t> count;
  Guarded([&] {
    if (RecoveryInProgress() || IsolationUsesXactSnapshot() ||
        TransactionIdIsValid(GetTopTransactionIdIfAny()))
      return;
    LWLockAcquire(ProcArrayLock, LW_SHARED);
    count = ShmemVariableCache->xactCompletionCount;
    LWLockRelease(ProcArrayLock);
  });
  return count;
}

bool SameColumns(const GuideColumn& a, const GuideColumn& b) {
  return std::tie(a.Column_qualifier, a.Column_name, a.Show_in_list, a.Is_search_column,
                  a.List_column_separator, a.Conv_required, a.Conversion_expression,
                  a.Is_key_column, a.Column_data_type, a.DSG_column_seq_no) ==
         std::tie(b.Column_qualifier, b.Column_name, b.Show_in_list, b.Is_search_column,
                  b.List_column_separator, b.Conv_required, b.Conversion_expression,
                  b.Is_key_column, b.Column_data_type, b.DSG_column_seq_no);
}

bool SameDefinitions(const std::vector<GuideDefinition>& a, const std::vector<GuideDefinition>& b) {
  if (a.size() != b.size()) return false;
  for (size_t g = 0; g < a.size(); ++g) {
    const GuideDefinition &x = a[g], &y = b[g];
    if (std::tie(x.DSG_ID, x.HasTablesRow, x.FROM_clause, x.WHERE_clause) !=
            std::tie(y.DSG_ID, y.HasTablesRow, y.FROM_clause, y.WHERE_clause) ||
        x.Columns.size() != y.Columns.size())
      return false;
    for (size_t c = 0; c < x.Columns.size(); ++c)
      if (!SameColumns(x.Columns[c], y.Columns[c])) return false;
  }
  return true;
}

// A search kept, with what it was planned from.
struct KeptSearch {
  std::string path;
  std::vector<int32_t> guide_ids;
  std::string criteria;
  std::vector<GuideDefinition> definitions;
  uint64_t relation_changes = 0;
  std::optional<uint64_t> completions;  // see CompletedWriters
  std::shared_ptr<PlannedStatements> planned;
};
// The searches planned last, the latest last: an application alternating
// between a few searches keeps them all.
constexpr size_t kMostKeptSearches = 16;
std::vector<KeptSearch> kept;

}  // namespace

PlannedStatements::~PlannedStatements() {
  try {
    for (SPIPlanPtr plan : plans)
      if (plan) retired_plans.push_back(plan);
  } catch (...) {
    // Without memory to note them the plans stay until the process ends.
  }
}

void WatchRelationChanges() { CacheRegisterRelcacheCallback(CountRelationChange, 0); }

void FreeRetiredPlans() {
  while (!retired_plans.empty()) {
    const SPIPlanPtr plan = retired_plans.back();
    retired_plans.pop_back();
    Guarded([&] { SPI_freeplan(plan); });
  }
}

std::shared_ptr<PlannedStatements> PlanStatements(rdo::SqlSession& session, const std::string& path,
                                                  const std::vector<int32_t>& guide_ids,
                                                  const std::string& criteria) {
  // Both read before the definitions: a change while planning makes the
  // plan older than the counts it is kept with, never newer.
  const uint64_t changes = relation_changes;
  const std::optional<uint64_t> completions = CompletedWriters();
  const auto same = std::find_if(kept.begin(), kept.end(), [&](const KeptSearch& search) {
    return search.path == path && search.guide_ids == guide_ids && search.criteria == criteria;
  });
  if (same != kept.end() && completions && same->completions == completions &&
      same->relation_changes == changes) {
    std::rotate(same, same + 1, kept.end());
    return kept.back().planned;
  }
  std::vector<GuideDefinition> definitions = LoadGuideDefinitions(session, guide_ids);
  if (same != kept.end()) {
    // Reading the guide tables takes in the invalidations other sessions
    // sent meanwhile: the count as it is now decides.
    if (same->relation_changes == relation_changes &&
        SameDefinitions(same->definitions, definitions)) {
      same->completions = completions;
      std::rotate(same, same + 1, kept.end());
      return kept.back().planned;
    }
    kept.erase(same);
  }
  auto planned = std::make_shared<PlannedStatements>();
  planned->statements = PlanSearchOf(session, definitions, SearchCriteria(criteria)).statements;
  planned->plans.assign(planned->statements.size(), nullptr);
  if (kept.size() == kMostKeptSearches) kept.erase(kept.begin());
  kept.push_back(
      KeptSearch{path, guide_ids, criteria, std::move(definitions), changes, completions, planned});
  return planned;
}

}  // namespace corvanty::postgres
