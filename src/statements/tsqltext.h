// SPDX-License-Identifier: Apache-2.0
#pragma once
// Text rules of the server the search procedure was written for, which the
// statement generator follows to arrive at the same statements: lengths and
// positions count characters (UTF-8 here, one byte per character there),
// LTRIM and RTRIM remove blanks only, and "=" between texts ignores case and
// trailing blanks.
#include <cstddef>
#include <string_view>

namespace corvanty::tsql {

// The number of characters. A byte that cannot start a UTF-8 character
// belongs to the character before it, so any byte sequence has a length.
size_t CharLength(std::string_view text);

// SUBSTRING(text, 1, count): the first count characters (all when fewer).
std::string_view Left(std::string_view text, size_t count);

// SUBSTRING(text, count + 1, ...): the text after its first count characters.
std::string_view SkipChars(std::string_view text, size_t count);

// CHARINDEX(c, text): the 1-based character position of the first c, 0 when
// there is none. c is an ASCII character.
size_t CharIndex(std::string_view text, char c);

std::string_view LTrim(std::string_view text);
std::string_view RTrim(std::string_view text);
std::string_view Trim(std::string_view text);

// a = b as the server compares texts: ASCII letters without regard to case,
// the shorter text padded with blanks.
bool Equals(std::string_view a, std::string_view b);

}  // namespace corvanty::tsql
