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

// True when the statement's apostrophes pair up, so that every string literal
// it opens is closed again. Assumes apostrophes appear only in literals (no
// quoted identifiers or comments holding one).
bool ApostrophesBalanced(std::string_view sql);

}  // namespace corvanty
