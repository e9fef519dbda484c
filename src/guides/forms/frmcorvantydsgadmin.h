#pragma once
#include "guides/forms/placeholderform.h"

namespace corvanty {

struct frmCorvantyDSGAdminTraits {
  static constexpr const char* kName = "frmCorvantyDSGAdmin";
  static constexpr bool kShowsItself = false;
};
using frmCorvantyDSGAdmin = PlaceholderForm<frmCorvantyDSGAdminTraits>;

}  // namespace corvanty
