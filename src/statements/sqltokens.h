// SPDX-License-Identifier: Apache-2.0
#pragma once
// Reading SQL text piece by piece: where a quoted span ends, which
// characters make up words.
#include <cstddef>
#include <string_view>
#include <vector>

namespace corvanty {

// Where the quoted span starting at `at` ends (one past its closing quote, or
// the end of the text when it is not closed); `at` itself when no span starts
// there. Apostrophes and double quotes delimit literals ("..." is one in
// T-SQL with QUOTED_IDENTIFIER OFF), brackets identifiers.
size_t QuotedSpanEnd(std::string_view text, size_t at);

bool IsWordChar(char c);

// A word or a quoted span of SQL text, and where it starts.
struct SqlPiece {
  std::string_view text;
  size_t at = 0;
  bool quoted = false;
};

// The words and quoted spans of the text in order; operators and blanks
// left out.
std::vector<SqlPiece> WordsAndQuotes(std::string_view sql);

// Whether a word is this keyword, ASCII letters in any case.
bool IsKeyword(std::string_view word, std::string_view keyword);

}  // namespace corvanty
