#pragma once
#include "guides/forms/placeholderform.h"

namespace corvanty {

struct frmCorvantyTablesTraits {
  static constexpr const char* kName = "frmCorvantyTables";
  static constexpr const char* kCaption = "Db Search Tables";
  static constexpr bool kShowsItself = false;
};
using frmCorvantyTables = PlaceholderForm<frmCorvantyTablesTraits>;

}  // namespace corvanty
