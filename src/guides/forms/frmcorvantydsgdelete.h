#pragma once
#include "guides/forms/placeholderform.h"

namespace corvanty {

struct frmCorvantyDSGDeleteTraits {
  static constexpr const char* kName = "frmCorvantyDSGDelete";
  static constexpr bool kShowsItself = true;
};
using frmCorvantyDSGDelete = PlaceholderForm<frmCorvantyDSGDeleteTraits>;

}  // namespace corvanty
