// SPDX-License-Identifier: Apache-2.0
#include "statements/tsqltext.h"

#include <algorithm>
#include <cctype>

namespace corvanty::tsql {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The byte offset where the character after the first count characters
// starts (the text's size when it has no more).
size_t ByteOffsetOfChar(std::string_view text, size_t count) {
  size_t seen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsContinuationByte(text[i]) && i > 0) continue;
    if (seen == count) return i;
    ++seen;
  }
  return text.size();
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

size_t CharLength(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (i == 0 || !IsContinuationByte(text[i])) ++count;
  return count;
}

std::string_view Left(std::string_view text, size_t count) {
  return text.substr(0, ByteOffsetOfChar(text, count));
}

std::string_view SkipChars(std::string_view text, size_t count) {
  return text.substr(ByteOffsetOfChar(text, count));
}

size_t CharIndex(std::string_view text, char c) {
  const size_t at = text.find(c);
  return at == std::string_view::npos ? 0 : CharLength(text.substr(0, at)) + 1;
}

std::string_view LTrim(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view RTrim(std::string_view text) {
  const size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text) { return LTrim(RTrim(text)); }

bool Equals(std::string_view a, std::string_view b) {
  a = RTrim(a);
  b = RTrim(b);
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Upper(x) == Upper(y); });
}

}  // namespace corvanty::tsql
