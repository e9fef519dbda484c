// SPDX-License-Identifier: Apache-2.0
#include "index/fromtables.h"

#include <initializer_list>
#include <string_view>

#include "statements/sqltokens.h"

namespace corvanty {
namespace {

bool IsAnyKeyword(std::string_view word, std::initializer_list<std::string_view> keywords) {
  for (std::string_view keyword : keywords)
    if (IsKeyword(word, keyword)) return true;
  return false;
}

}  // namespace

std::vector<TableInFrom> TablesInFrom(const std::string& from) {
  const std::vector<SqlPiece> words = WordsAndQuotes(from);
  std::vector<TableInFrom> tables;
  // A table follows FROM, JOIN or a comma, unless a parenthesis opens a
  // subquery there; an alias may follow it, after AS or not.
  auto between = [&](size_t i) {  // the text before word i since the one before it
    const size_t start = i ? words[i - 1].at + words[i - 1].text.size() : 0;
    return std::string_view(from).substr(start, words[i].at - start);
  };
  bool table_next = false;
  int depth = 0;
  std::string_view outer;  // LEFT, RIGHT or FULL of the join being read
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string_view gap = between(i);
    for (char c : gap) depth += (c == '(') - (c == ')');
    if (gap.find(',') != std::string_view::npos) table_next = true;
    if (IsAnyKeyword(words[i].text, {"LEFT", "RIGHT", "FULL"})) outer = words[i].text;
    if (IsAnyKeyword(words[i].text, {"FROM", "JOIN"})) {
      table_next = true;
      continue;
    }
    if (!table_next || words[i].quoted || gap.find('(') != std::string_view::npos) {
      table_next = false;
      continue;
    }
    table_next = false;
    const bool left = IsKeyword(outer, "LEFT") || IsKeyword(outer, "FULL");
    if (IsKeyword(outer, "RIGHT") || IsKeyword(outer, "FULL"))
      for (TableInFrom& before : tables) before.optional = true;
    outer = {};
    size_t name_end = i;  // a schema-qualified name is one table
    while (name_end + 1 < words.size() && between(name_end + 1) == ".") ++name_end;
    TableInFrom table;
    table.at = words[i].at;
    table.table =
        from.substr(words[i].at, words[name_end].at + words[name_end].text.size() - words[i].at);
    table.name = table.qualifier = words[name_end].text;
    table.nested = depth > 0;
    table.optional = left || table.nested;
    size_t alias = name_end + 1;
    if (alias < words.size() && IsKeyword(words[alias].text, "AS")) ++alias;
    if (alias < words.size() && !words[alias].quoted &&
        between(alias).find_first_not_of(" \t\r\n") == std::string_view::npos &&
        !IsAnyKeyword(words[alias].text, {"ON", "JOIN", "LEFT", "RIGHT", "INNER", "OUTER", "CROSS",
                                          "FULL", "NATURAL", "USING", "WHERE"})) {
      table.qualifier = words[alias].text;
      table.aliased = true;
      i = alias;
    } else {
      i = name_end;
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

}  // namespace corvanty
