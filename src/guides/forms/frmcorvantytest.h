#pragma once
#include "guides/forms/placeholderform.h"

namespace corvanty {

struct frmCorvantyTestTraits {
  static constexpr const char* kName = "frmCorvantyTest";
  static constexpr const char* kCaption = "Test Db Search Guide";
  static constexpr bool kShowsItself = true;
};
using frmCorvantyTest = PlaceholderForm<frmCorvantyTestTraits>;

}  // namespace corvanty
