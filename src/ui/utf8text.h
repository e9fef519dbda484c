// SPDX-License-Identifier: Apache-2.0
#pragma once
// Stored text is bytes, not always UTF-8, and may hold control characters:
// what is shown of it must neither break the output's encoding nor drive
// the terminal.
#include <cstddef>
#include <string>
#include <string_view>

namespace corvanty {

// The length of the well-formed UTF-8 sequence starting at text[at] (1 to
// 4), or 0 when the bytes there are not one: a stray continuation byte, a
// cut sequence, an overlong form, a surrogate or a code point past U+10FFFF.
size_t Utf8SequenceLength(std::string_view text, size_t at);

// The text with every control character (C0, DEL and C1) and every byte
// that is not part of a well-formed UTF-8 sequence written as \xHH, so that
// a name or login is shown as what it holds. Line breaks are kept when
// keep_line_breaks is set (messages that span lines).
std::string ShownText(std::string_view text, bool keep_line_breaks = false);

// The text as a JSON string literal that is valid UTF-8 whatever bytes it
// holds: a byte that does not belong to a well-formed UTF-8 sequence becomes
// U+FFFD, quotes, backslashes and control characters are escaped.
std::string JsonString(std::string_view text);

}  // namespace corvanty
