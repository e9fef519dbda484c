// SPDX-License-Identifier: Apache-2.0
#pragma once
// One call of a search function, from its first row to its last, and the
// C++ work it asks for. Every function here is called from the server's
// side of the boundary: none throws, failures come back as a CaughtError.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "search/postgresextension/postgresboundary.h"
#include "search/postgresextension/searchplans.h"

namespace corvanty::postgres {

struct SearchCall {
  std::shared_ptr<PlannedStatements> planned;  // none: the guide list is invalid
  int64_t still_wanted = -1;                   // rows still to return; -1: all
  bool message_sent = false;                   // of an invalid guide list
  size_t next = 0;                             // the statement to run or return next
  char portal[NAMEDATALEN] = "";               // the open cursor's; empty: none
  // The rows fetched from the cursor as values of the function's row type
  // (text, text, int4: the cursor's own), in rows_memory, which each fetch
  // resets.
  MemoryContext rows_memory = nullptr;
  Datum* rows = nullptr;
  TupleDesc shape = nullptr;
  uint64 fetched = 0, returned = 0;
  long batch = 1;  // rows the next fetch asks for, growing to kLargestBatch
  // The search path the call works under (see searchfunctions.cpp), in the
  // call's memory.
  const char* path = nullptr;
};

// A fetch asks for one row first, then twice as many as before: a caller
// that wants few rows makes the statement read few.
inline constexpr long kLargestBatch = 1024;

SearchCall* NewSearchCall(CaughtError& error) noexcept;
// A memory context reset callback: the call's memory is going.
void DeleteSearchCall(void* call) noexcept;

// Plans the search on the SPI connection in force: the guide list (null for
// NULL) and criteria as the service reads them. An invalid guide list
// leaves planned empty. False on failure.
bool PlanSearchCall(SearchCall& call, const char* guides, const char* criteria,
                    CaughtError& error) noexcept;

inline size_t StatementCount(const SearchCall& call) {
  return call.planned ? call.planned->statements.size() : 0;
}
inline const char* StatementText(const SearchCall& call, size_t which) {
  return call.planned->statements[which].SQL.c_str();
}
inline int32_t StatementGuide(const SearchCall& call, size_t which) {
  return call.planned->statements[which].DSG_ID;
}
// Where the statement's prepared plan is kept; nullptr until prepared.
inline SPIPlanPtr& StatementPlan(SearchCall& call, size_t which) {
  return call.planned->plans[which];
}

}  // namespace corvanty::postgres
