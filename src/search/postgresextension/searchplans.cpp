// SPDX-License-Identifier: Apache-2.0
#include "search/postgresextension/searchplans.h"

#include <tuple>

#include "search/postgresextension/postgresboundary.h"
#include "search/searchengine.h"
#include "statements/guideloader.h"

namespace corvanty::postgres {

namespace {

uint64_t relation_changes = 0;
std::vector<SPIPlanPtr> retired_plans;

void CountRelationChange(Datum, Oid) { ++relation_changes; }

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

// The one search kept, with what it was planned from.
struct KeptSearch {
  std::vector<int32_t> guide_ids;
  std::string criteria;
  std::vector<GuideDefinition> definitions;
  uint64_t relation_changes = 0;
  std::shared_ptr<PlannedStatements> planned;
};
KeptSearch kept;

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

std::shared_ptr<PlannedStatements> PlanStatements(rdo::SqlSession& session,
                                                  const std::vector<int32_t>& guide_ids,
                                                  const std::string& criteria) {
  // Read before the definitions: a change reported while planning makes
  // the plan older than the count it is kept with.
  const uint64_t changes = relation_changes;
  std::vector<GuideDefinition> definitions = LoadGuideDefinitions(session, guide_ids);
  if (kept.planned && kept.relation_changes == changes && kept.guide_ids == guide_ids &&
      kept.criteria == criteria && SameDefinitions(kept.definitions, definitions))
    return kept.planned;
  kept = KeptSearch{};
  auto planned = std::make_shared<PlannedStatements>();
  planned->statements = PlanSearchOf(session, definitions, SearchCriteria(criteria)).statements;
  planned->plans.assign(planned->statements.size(), nullptr);
  kept = KeptSearch{guide_ids, criteria, std::move(definitions), changes, planned};
  return planned;
}

}  // namespace corvanty::postgres
