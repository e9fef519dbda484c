// SPDX-License-Identifier: Apache-2.0
#include "search/postgresextension/searchcall.h"

#include <new>
#include <optional>
#include <string>

#include "search/postgresextension/serviceguidelist.h"
#include "search/postgresextension/spisession.h"

namespace corvanty::postgres {

SearchCall* NewSearchCall(CaughtError& error) noexcept {
  SearchCall* call = new (std::nothrow) SearchCall;
  if (!call) error = Describe(std::bad_alloc());
  return call;
}

void DeleteSearchCall(void* call) noexcept { delete static_cast<SearchCall*>(call); }

bool PlanSearchCall(SearchCall& call, const char* guides, const char* criteria,
                    CaughtError& error) noexcept {
  try {
    FreeRetiredPlans();
    const std::vector<int32_t> ids =
        ParseServiceGuideList(guides ? std::optional<std::string>(guides) : std::nullopt);
    SpiSession session;
    try {
      call.planned = PlanStatements(session, call.path, ids, criteria);
    } catch (const rdo::DatabaseError& refused) {
      if (refused.Errors().size() != 1 || refused.Errors()[0].Description != kInvalidGuidesMessage)
        throw;
    }
    return true;
  } catch (const std::exception& failure) {
    error = Describe(failure);
  } catch (...) {
    error = DescribeUnknown();
  }
  return false;
}

}  // namespace corvanty::postgres
