// SPDX-License-Identifier: Apache-2.0
#pragma once
// The guide list (dsgstring) of the PostgreSQL search functions as the
// service reads it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvanty::postgres {

// The guide numbers of a list of whole numbers separated by commas, blanks
// and tabs allowed around each, a minus sign allowed. Throws PostgresError:
// 22023 naming the text (NULL for none) when it is anything else, 22003
// naming a number outside the range of guide numbers.
std::vector<int32_t> ParseServiceGuideList(const std::optional<std::string>& text);

// PostgreSQL's quote_literal of the text: between apostrophes, apostrophes
// and backslashes doubled, with E before it when it holds a backslash.
std::string QuoteLiteral(const std::string& text);

}  // namespace corvanty::postgres
