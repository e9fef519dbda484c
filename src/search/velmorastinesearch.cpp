// SPDX-License-Identifier: Apache-2.0
#include "search/velmorastinesearch.h"

#include "connections/connectionstore.h"
#include "statements/guideloader.h"

namespace corvanty::VelmorastineSearch {

Corvanty::Corvanty(const Corvanty& settings)
    : DataSourceName(settings.DataSourceName),
      UserID(settings.UserID),
      Password(settings.Password),
      SearchGuide(settings.SearchGuide),
      Criteria(settings.Criteria) {}

void Corvanty::RunSearch() {
  run_.reset();
  current_.reset();
  std::string connect = basCorvantyAdmin::BuildConnectString(DataSourceName, UserID, Password);
  std::optional<int32_t> guide;
  {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
    guide = FindGuideByName(connection, SearchGuide);
  }
  if (!guide) ThrowSearchError("There is no Database Search Guide named '" + SearchGuide + "'.");
  run_ = StartSearch(connect, {*guide}, Criteria);
  Advance();
}

void Corvanty::NextResult() {
  if (run_) Advance();
}

void Corvanty::Advance() {
  try {
    current_ = run_->Next();
  } catch (...) {
    // A failed read ends the search: the result read before must not stay
    // current, and the run must not go on past the failed row.
    current_.reset();
    run_.reset();
    throw;
  }
  if (!current_) run_.reset();
}

}  // namespace corvanty::VelmorastineSearch
