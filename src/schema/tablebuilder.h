// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace corvanty::basCorvantyAdmin {

// Drops (if present) and re-creates one of the five guide tables on the
// active connection. False, with the errors shown, when anything failed;
// False at once, with nothing sent, for any other name.
bool BuildSearchGuideTable(const std::string& table_name);

}  // namespace corvanty::basCorvantyAdmin
