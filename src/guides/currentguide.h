// SPDX-License-Identifier: Apache-2.0
#pragma once
// The guide being defined or edited, handed from dialog to dialog.
#include <cstdint>
#include <string>
#include <vector>

namespace corvanty::basCorvantyAdmin {

extern int32_t gintDSGID;        // DSG_ID of the current guide (held in 32 bits)
extern std::string gstrDSGMode;  // exactly "New" or "Edit"

// The guide's tables as the tables editor hands them to the columns editor:
// element 0 stays empty, elements 1..n hold the names in list order.
extern std::vector<std::string> gavarTables;

extern const char* const kModeNew;
extern const char* const kModeEdit;

}  // namespace corvanty::basCorvantyAdmin
