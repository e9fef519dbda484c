#include "guides/currentguide.h"

namespace corvanty::basCorvantyAdmin {

int32_t gintDSGID = 0;
std::string gstrDSGMode;

const char* const kModeNew = "New";
const char* const kModeEdit = "Edit";

}  // namespace corvanty::basCorvantyAdmin
