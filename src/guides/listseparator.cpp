// SPDX-License-Identifier: Apache-2.0
#include "guides/listseparator.h"

#include "connections/serverdialect.h"
#include "statements/sqlliteral.h"

namespace corvanty {

namespace {

// The text of a literal's content, or nullopt when an apostrophe in it is
// not doubled (the content would have ended the literal early).
std::optional<std::string> LiteralText(const std::string& content) {
  std::string text;
  for (size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\'') {
      if (i + 1 == content.size() || content[i + 1] != '\'') return std::nullopt;
      ++i;
    }
    text += content[i];
  }
  return text;
}

bool IsWrappedInPlusAndApostrophe(const std::string& value) {
  return value.size() >= 4 && value.compare(0, 2, "+'") == 0 &&
         value.compare(value.size() - 2, 2, "'+") == 0;
}

}  // namespace

std::string ShownSeparator(const std::string& stored) {
  if (stored.size() < 4 || stored.front() != '+' || stored.back() != '+') return stored;
  size_t open = stored.find_first_not_of(' ', 1);
  size_t close = stored.find_last_not_of(' ', stored.size() - 2);
  if (open == std::string::npos || close <= open || stored[open] != '\'' || stored[close] != '\'')
    return stored;
  return LiteralText(stored.substr(open + 1, close - open - 1)).value_or(stored);
}

std::string SeparatorFragment(const std::string& shown) {
  return "+'" + QuoteApostrophes(shown) + "'+";
}

std::string SeparatorToStore(const std::optional<std::string>& stored, const std::string& shown) {
  if (stored && ShownSeparator(*stored) == shown) return *stored;
  return SeparatorFragment(shown);
}

std::string SeparatorLiteral(rdo::Dialect dialect, const std::string& stored) {
  if (!IsWrappedInPlusAndApostrophe(stored)) return "'" + QuoteApostrophes(stored) + "'";
  return ForDialect(dialect).WrappedSeparatorLiteral(
      QuoteApostrophes(stored.substr(2, stored.size() - 4)));
}

}  // namespace corvanty
