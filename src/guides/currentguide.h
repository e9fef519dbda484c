#pragma once
// The guide being defined or edited, handed from dialog to dialog.
#include <cstdint>
#include <string>

namespace corvanty::basCorvantyAdmin {

extern int32_t gintDSGID;        // DSG_ID of the current guide (held in 32 bits)
extern std::string gstrDSGMode;  // exactly "New" or "Edit"

extern const char* const kModeNew;
extern const char* const kModeEdit;

}  // namespace corvanty::basCorvantyAdmin
