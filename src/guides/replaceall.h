// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace corvanty::basCorvantyAdmin {

// Replaces every occurrence of strFind in strText with strReplace, exactly
// and case-sensitively, resuming the search right after each inserted text
// (a replacement that contains strFind is not searched again). Leaves the
// result in strText and returns it too. An empty strFind changes nothing.
std::string ReplaceAll(std::string& strText, const std::string& strFind,
                       const std::string& strReplace);

}  // namespace corvanty::basCorvantyAdmin
