// SPDX-License-Identifier: Apache-2.0
#include "guides/currentguide.h"

namespace corvanty::basCorvantyAdmin {

int32_t gintDSGID = 0;
std::string gstrDSGMode;
std::vector<std::string> gavarTables{std::string()};

const char* const kModeNew = "New";
const char* const kModeEdit = "Edit";

}  // namespace corvanty::basCorvantyAdmin
