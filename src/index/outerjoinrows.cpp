// SPDX-License-Identifier: Apache-2.0
#include "index/outerjoinrows.h"

#include <cctype>
#include <set>
#include <string_view>
#include <vector>

#include "index/fromtables.h"
#include "statements/sqltokens.h"

namespace corvanty {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

// The parts of the condition joined by AND outside parentheses; none when
// an AND there may belong to a BETWEEN or a CASE instead.
std::vector<std::string_view> PartsJoinedByAnd(std::string_view condition) {
  std::vector<std::string_view> parts;
  int depth = 0;
  size_t scanned = 0, part_start = 0;
  for (const SqlPiece& word : WordsAndQuotes(condition)) {
    for (char c : condition.substr(scanned, word.at - scanned)) depth += (c == '(') - (c == ')');
    scanned = word.at + word.text.size();
    if (depth != 0 || word.quoted) continue;
    if (IsKeyword(word.text, "BETWEEN") || IsKeyword(word.text, "CASE")) return {};
    if (IsKeyword(word.text, "AND")) {
      parts.push_back(condition.substr(part_start, word.at - part_start));
      part_start = scanned;
    }
  }
  parts.push_back(condition.substr(part_start));
  return parts;
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  const size_t last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last + 1 - first));
}

char NextCharacter(std::string_view text, size_t at) {
  while (at < text.size() &&
         (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
    ++at;
  return at < text.size() ? text[at] : '\0';
}

char CharacterBefore(std::string_view text, size_t at) {
  while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t' || text[at - 1] == '\r' ||
                    text[at - 1] == '\n'))
    --at;
  return at > 0 ? text[at - 1] : '\0';
}

// Whether every column the condition reads is qualified by one of
// qualifiers and nothing else in it can read one: its other words are
// literals, numbers, functions called and operators' keywords. Anything
// else (an unqualified column, a subquery) counts as reading any.
bool ReadsOnly(std::string_view condition, const std::set<std::string>& qualifiers) {
  static const std::set<std::string> kOperators = {"not",     "or",     "is",     "null",  "in",
                                                   "like",    "glob",   "escape", "true",  "false",
                                                   "collate", "nocase", "rtrim",  "binary"};
  for (const SqlPiece& piece : WordsAndQuotes(condition)) {
    const char before = CharacterBefore(condition, piece.at);
    const char after = NextCharacter(condition, piece.at + piece.text.size());
    std::string_view word = piece.text;
    if (piece.quoted && word.front() == '\'') continue;  // a literal
    if (piece.quoted) word = word.substr(1, word.size() - 2);
    if (after == '.') {
      if (!qualifiers.count(Lower(word))) return false;
    } else if (before == '.') {
      continue;  // a qualified column
    } else if (piece.quoted) {
      return false;  // a column, or a text: SQLite decides
    } else if (std::isdigit(static_cast<unsigned char>(word.front()))) {
      continue;
    } else if (IsKeyword(word, "SELECT") || (after != '(' && !kOperators.count(Lower(word)))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string RowsAroundOptionalWrite(const std::string& from, const std::string& where_clause) {
  std::set<std::string> always_there;
  for (const TableInFrom& table : TablesInFrom(from))
    if (!table.optional) always_there.insert(Lower(table.qualifier));
  std::string_view condition = where_clause;
  const std::vector<SqlPiece> words = WordsAndQuotes(condition);
  if (words.empty()) return from;
  if (!words.front().quoted && IsKeyword(words.front().text, "WHERE"))
    condition.remove_prefix(words.front().at + words.front().text.size());
  std::string kept;
  for (std::string_view part : PartsJoinedByAnd(condition))
    if (!WordsAndQuotes(part).empty() && ReadsOnly(part, always_there))
      kept += (kept.empty() ? " WHERE (" : " AND (") + Trimmed(part) + ")";
  return from + kept;
}

}  // namespace corvanty
