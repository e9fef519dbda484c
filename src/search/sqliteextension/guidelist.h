// SPDX-License-Identifier: Apache-2.0
#pragma once
// The guide list a caller of the search functions passes (dsgstring):
// whole numbers separated by commas, blanks allowed around each.
#include <cstdint>
#include <string>
#include <vector>

namespace corvanty {

// The numbers in order. Throws rdo::DatabaseError naming the text when it
// is anything else: it never reaches a statement.
std::vector<int32_t> ParseGuideList(const std::string& text);

}  // namespace corvanty
