#include "engine/velmorastinesearch.h"

#include "connections/connectionstore.h"
#include "engine/guideloader.h"

namespace corvanty::VelmorastineSearch {

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
  current_ = run_->Next();
}

void Corvanty::NextResult() {
  if (!run_) return;
  current_ = run_->Next();
  if (!current_) run_.reset();
}

}  // namespace corvanty::VelmorastineSearch
