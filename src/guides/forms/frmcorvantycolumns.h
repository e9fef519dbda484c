#pragma once
#include "guides/forms/placeholderform.h"

namespace corvanty {

struct frmCorvantyColumnsTraits {
  static constexpr const char* kName = "frmCorvantyColumns";
  static constexpr const char* kCaption = "Db Search Columns";
  static constexpr bool kShowsItself = false;
};
using frmCorvantyColumns = PlaceholderForm<frmCorvantyColumnsTraits>;

}  // namespace corvanty
