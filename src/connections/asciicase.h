// SPDX-License-Identifier: Apache-2.0
#pragma once
// Case-insensitive text for names the database treats so (column names,
// server names): ASCII letters only, other bytes compare as they are.
#include <string>

namespace corvanty::rdo {

std::string LowerAscii(std::string text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

}  // namespace corvanty::rdo
