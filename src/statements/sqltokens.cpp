// SPDX-License-Identifier: Apache-2.0
#include "statements/sqltokens.h"

#include <cctype>

namespace corvanty {

size_t QuotedSpanEnd(std::string_view text, size_t at) {
  const char open = text[at];
  const char close = open == '[' ? ']' : open;
  if (open != '\'' && open != '"' && open != '[') return at;
  for (size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] != close) continue;
    // A doubled quote stands for one quote inside the span.
    if (i + 1 < text.size() && text[i + 1] == close) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return text.size();
}

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '#' ||
         c == '$';
}

std::vector<SqlPiece> WordsAndQuotes(std::string_view sql) {
  std::vector<SqlPiece> pieces;
  for (size_t i = 0; i < sql.size();) {
    const size_t span_end = QuotedSpanEnd(sql, i);
    if (span_end != i) {
      pieces.push_back({sql.substr(i, span_end - i), i, true});
      i = span_end;
    } else if (IsWordChar(sql[i])) {
      const size_t start = i;
      while (i < sql.size() && IsWordChar(sql[i])) ++i;
      pieces.push_back({sql.substr(start, i - start), start, false});
    } else {
      ++i;
    }
  }
  return pieces;
}

bool IsKeyword(std::string_view word, std::string_view keyword) {
  if (word.size() != keyword.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(word[i])) !=
        std::tolower(static_cast<unsigned char>(keyword[i])))
      return false;
  return true;
}

}  // namespace corvanty
