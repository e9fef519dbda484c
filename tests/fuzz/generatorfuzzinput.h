#pragma once
// One fuzz input for the search statement generator and the check each
// statement generated from it must pass: every string literal it opens is
// closed again, whatever the user typed. Shared by the libFuzzer target and
// the test that replays the saved corpus.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/searchstatements.h"
#include "engine/sqlliteral.h"

namespace corvanty::fuzz {

// The input's first line is a list separator text, the rest the criteria.
// The separator is stored as the columns editor stores it, +'text'+ with its
// apostrophes doubled; when its own apostrophes pair up it is also used as a
// raw SQL fragment, to exercise the SQLite translation of odd fragments. The
// raw one never follows the last shown column: what remains of that one is
// cut by length, as the search procedure does, and may split a literal of a
// separator with blanks at its ends.
inline std::vector<GuideDefinition> GuidesFor(std::string_view separatorText) {
  const std::string wrapped = "+'" + QuoteApostrophes(separatorText) + "'+";
  const std::string raw = ApostrophesBalanced(separatorText) ? std::string(separatorText) : wrapped;

  GuideColumn key;
  key.Column_qualifier = "t";
  key.Column_name = "id";
  key.Show_in_list = 0;
  key.Is_search_column = 0;
  key.Is_key_column = -1;
  GuideColumn name = key;
  name.Column_name = "name";
  name.Show_in_list = -1;
  name.Is_search_column = -1;
  name.Is_key_column = 0;
  name.List_column_separator = raw;
  GuideColumn total = name;
  total.Conv_required = -1;
  total.Conversion_expression = "CONVERT(varchar, t.total)";
  total.List_column_separator = wrapped;

  GuideDefinition withWhere;
  withWhere.DSG_ID = 1;
  withWhere.HasTablesRow = true;
  withWhere.FROM_clause = "FROM t";
  withWhere.WHERE_clause = "WHERE t.x = 1";
  withWhere.Columns = {key, name, total};
  GuideDefinition withoutWhere = withWhere;
  withoutWhere.DSG_ID = 2;
  withoutWhere.WHERE_clause = "WHERE ";
  withoutWhere.Columns = {name, key, total};
  return {withWhere, withoutWhere};
}

// The first generated statement whose apostrophes do not pair up, if any.
inline std::optional<std::string> UnbalancedStatement(std::string_view input) {
  const size_t lineEnd = input.find('\n');
  const std::string_view separatorText =
      lineEnd == std::string_view::npos ? std::string_view() : input.substr(0, lineEnd);
  const std::string_view criteria =
      lineEnd == std::string_view::npos ? input : input.substr(lineEnd + 1);
  const std::vector<GuideDefinition> guides = GuidesFor(separatorText);
  for (const rdo::Dialect dialect : {rdo::Dialect::SqlServer, rdo::Dialect::Sqlite})
    for (const GuideStatement& statement :
         GenerateSearchStatements(guides, criteria, dialect).Guides)
      if (!ApostrophesBalanced(statement.SQL)) return statement.SQL;
  return std::nullopt;
}

}  // namespace corvanty::fuzz
