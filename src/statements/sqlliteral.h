// SPDX-License-Identifier: Apache-2.0
#pragma once
// SQL string literals: every text the system places between apostrophes goes
// through QuoteApostrophes, so that an apostrophe in it stays part of the
// value instead of ending the literal.
#include <string>
#include <string_view>

namespace corvanty {

// The text with each apostrophe doubled, ready to stand between apostrophes.
std::string QuoteApostrophes(std::string_view text);

// The text between double quotes, its own doubled: a quoted identifier, or a
// string of an FTS5 query.
std::string DoubleQuoted(std::string_view text);

}  // namespace corvanty
