// SPDX-License-Identifier: Apache-2.0
#include "connections/asciicase.h"

#include <algorithm>

namespace corvanty::rdo {
namespace {
char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string LowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), LowerChar);
  return text;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerChar(x) == LowerChar(y);
         });
}

}  // namespace corvanty::rdo
