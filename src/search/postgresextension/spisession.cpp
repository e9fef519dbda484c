// SPDX-License-Identifier: Apache-2.0
#include "search/postgresextension/spisession.h"

#include <map>
#include <optional>
#include <vector>

#include "search/postgresextension/postgresboundary.h"

namespace corvanty::postgres {

namespace {

// The reading statements prepared so far, by text. Their texts hold guide
// numbers, so there are as many as guide lists searched: past a few dozen
// they are let go and prepared again as they come.
constexpr size_t kMostKeptReads = 64;
std::map<std::string, SPIPlanPtr> kept_reads;

SPIPlanPtr KeptRead(const std::string& sql) {
  if (const auto found = kept_reads.find(sql); found != kept_reads.end()) return found->second;
  if (kept_reads.size() >= kMostKeptReads) {
    const std::map<std::string, SPIPlanPtr> old = std::move(kept_reads);
    kept_reads.clear();
    for (const auto& [text, plan] : old) Guarded([&] { SPI_freeplan(plan); });
  }
  SPIPlanPtr plan = nullptr;
  Guarded([&] {
    plan = SPI_prepare(sql.c_str(), 0, nullptr);
    if (plan) SPI_keepplan(plan);
  });
  if (!plan)
    throw PostgresError(ERRCODE_INTERNAL_ERROR,
                        std::string("the search could not prepare a statement: ") +
                            SPI_result_code_string(SPI_result),
                        "", "");
  kept_reads.emplace(sql, plan);
  return plan;
}

}  // namespace

rdo::rdoResultset SpiSession::OpenResultset(const std::string& sql) {
  const SPIPlanPtr plan = KeptRead(sql);
  int status = 0;
  // Not read-only: a snapshot of its own, taken now, which the count of
  // completed writers is read before (searchplans.h).
  Guarded([&] { status = SPI_execute_plan(plan, nullptr, nullptr, false, 0); });
  if (status != SPI_OK_SELECT)
    throw PostgresError(ERRCODE_INTERNAL_ERROR,
                        std::string("the search's reading statement did not read: ") +
                            SPI_result_code_string(status),
                        "", "");
  const SPITupleTable* table = SPI_tuptable;
  const int columns = table->tupdesc->natts;
  std::vector<std::string> names;
  for (int i = 0; i < columns; ++i)
    names.emplace_back(NameStr(TupleDescAttr(table->tupdesc, i)->attname));
  std::vector<std::vector<std::optional<std::string>>> rows;
  for (uint64 r = 0; r < SPI_processed; ++r) {
    std::vector<std::optional<std::string>>& row = rows.emplace_back();
    for (int i = 0; i < columns; ++i) {
      char* value = nullptr;
      Guarded([&] { value = SPI_getvalue(table->vals[r], table->tupdesc, i + 1); });
      if (value)
        row.emplace_back(value);
      else
        row.emplace_back(std::nullopt);
    }
  }
  Guarded([&] { SPI_freetuptable(SPI_tuptable); });
  return rdo::rdoResultset(std::move(names), std::move(rows));
}

}  // namespace corvanty::postgres
