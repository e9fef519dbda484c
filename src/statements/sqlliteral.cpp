// SPDX-License-Identifier: Apache-2.0
#include "statements/sqlliteral.h"

namespace corvanty {

namespace {

std::string Doubling(std::string_view text, char quote) {
  std::string quoted;
  quoted.reserve(text.size() + 8);
  for (char c : text) {
    quoted += c;
    if (c == quote) quoted += quote;
  }
  return quoted;
}

}  // namespace

std::string QuoteApostrophes(std::string_view text) { return Doubling(text, '\''); }

std::string DoubleQuoted(std::string_view text) { return '"' + Doubling(text, '"') + '"'; }

}  // namespace corvanty
