#pragma once
#include "guides/forms/placeholderform.h"

namespace corvanty {

struct frmCorvantyNewDSGTraits {
  static constexpr const char* kName = "frmCorvantyNewDSG";
  static constexpr bool kShowsItself = false;
};
using frmCorvantyNewDSG = PlaceholderForm<frmCorvantyNewDSGTraits>;

}  // namespace corvanty
