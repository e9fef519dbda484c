// SPDX-License-Identifier: Apache-2.0
#include "statements/searchstatements.h"

#include <algorithm>
#include <optional>

#include "statements/cutoff.h"
#include "statements/searchcriteria.h"
#include "statements/searchsyntax.h"
#include "statements/sqltokens.h"
#include "statements/tsqltext.h"

namespace corvanty {
namespace {

constexpr int kResultListLength = 200;

constexpr char kGuardAlias[] = "Db_Search_Index_Guard";

// A WHERE_clause this long or shorter is the bare keyword: no condition.
constexpr size_t kBareWhereLength = 6;

std::string StoredValueExpression(const GuideColumn& column) {
  return column.Conv_required != 0 ? column.Conversion_expression
                                   : column.Column_qualifier + "." + column.Column_name;
}

// What survives of the last shown column's separator. The procedure cuts the
// statement at its length less the separator's trimmed length and deletes the
// separator's full length from there, which always reaches the end: so of the
// separator only as many leading characters remain as it has blanks at its
// ends (none for the separators the columns editor writes).
std::string_view LastSeparatorRemnant(std::string_view separator) {
  return tsql::Left(separator,
                    tsql::CharLength(separator) - tsql::CharLength(tsql::Trim(separator)));
}

// "SELECT CONVERT(varchar(200),<values>) ResultList,<key> IDColumn, <id> DSG_ID "
// and a blank. Only the guide's first column can supply the key.
std::string SelectPart(const GuideDefinition& guide, const std::vector<const GuideColumn*>& shown,
                       const ServerDialect& server) {
  std::string values;
  for (const GuideColumn* column : shown) {
    values += server.ShownValue(ValueExpression(StoredValueExpression(*column), server));
    const std::string_view separator = column == shown.back()
                                           ? LastSeparatorRemnant(column->List_column_separator)
                                           : std::string_view(column->List_column_separator);
    values += ListSeparator(separator, server);
  }
  const GuideColumn& first = guide.Columns.front();
  const std::string key =
      first.Is_key_column != 0 ? first.Column_qualifier + "." + first.Column_name : " 0";
  return "SELECT " + server.ConvertToText(values, kResultListLength) + " ResultList," + key +
         " IDColumn, " + std::to_string(guide.DSG_ID) + " DSG_ID  ";
}

bool HasOwnWhere(const GuideDefinition& guide) {
  return tsql::CharLength(guide.WHERE_clause.value_or("")) > kBareWhereLength;
}

// What an indexed statement adds to its parts: a guard, the condition under
// which the part finds anything, and candidates, a further condition on its
// rows (see IndexedStatement); or the branch of the union shape a part is
// (see UnionStatement).
struct Narrowing {
  std::string guard;
  std::string candidates;
  std::optional<size_t> branch;
};

// The guide's own WHERE clause joined by " AND (" to one condition per search
// column, closed by ")", or " WHERE " and the conditions and a blank when it
// has none: the procedure's text, whose last condition's "OR " closes the
// parenthesis or becomes the blank. Without any condition the " AND (" or the
// "WHERE " of " WHERE " goes again. Candidates, when given, follow the
// conditions joined by AND, which are then in parentheses either way. A
// branch has the condition of its own column instead, and each earlier
// column's as not true.
std::string ConditionPart(const GuideDefinition& guide, const SearchCriteria& criteria,
                          const ServerDialect& server, const Narrowing& narrowing) {
  const std::string where = guide.WHERE_clause.value_or("");
  const bool ownWhere = HasOwnWhere(guide);
  const LikeSyntax like = server.Like();
  std::string conditions;  // " (c1) OR  (c2) "
  std::string branch;      // "(ck) AND (c1) IS NOT TRUE ..."
  size_t column = 0;
  for (const std::string& value : SearchedValues(guide, server)) {
    const std::string condition = "(" + value + " " + std::string(like.keyword) + " '%" +
                                  criteria.LikePattern(value, like.keyword, like.after) + "%'" +
                                  std::string(like.after) + ")";
    conditions += std::string(conditions.empty() ? "" : "OR ") + " " + condition + " ";
    if (narrowing.branch && column < *narrowing.branch)
      branch += " AND " + condition + " IS NOT TRUE";
    if (narrowing.branch && column++ == *narrowing.branch) branch = condition + branch;
  }
  if (narrowing.branch) return (ownWhere ? where + " AND " : " WHERE ") + branch;
  if (conditions.empty()) return ownWhere ? where + " " : "  ";
  if (narrowing.candidates.empty())
    return ownWhere ? where + " AND (" + conditions + ")" : " WHERE " + conditions + " ";
  return (ownWhere ? where + " AND (" : " WHERE (") + conditions + ") AND " + narrowing.candidates;
}

// The FROM clause with a first table that has one row while the guard holds
// and none otherwise, joined by CROSS JOIN so that SQLite reads it first and
// reads nothing more when it is empty. A RIGHT or FULL join after it would
// bring rows of its own: such a clause gets no guard.
std::optional<std::string> GuardedFrom(const std::string& from, const std::string& guard) {
  const std::vector<SqlPiece> words = WordsAndQuotes(from);
  if (words.empty() || words.front().quoted || !IsKeyword(words.front().text, "FROM"))
    return std::nullopt;
  for (const SqlPiece& word : words)
    if (!word.quoted && (IsKeyword(word.text, "RIGHT") || IsKeyword(word.text, "FULL")))
      return std::nullopt;
  const size_t keyword_end = words.front().at + words.front().text.size();
  return from.substr(0, keyword_end) + " (SELECT 1 WHERE " + guard + ") " + kGuardAlias +
         " CROSS JOIN" + from.substr(keyword_end);
}

GuideStatement StatementFor(const GuideDefinition& guide, const SearchCriteria& criteria,
                            const ServerDialect& server, const Narrowing& narrowing = {}) {
  const std::string number = std::to_string(guide.DSG_ID);
  if (!guide.HasTablesRow)
    return {guide.DSG_ID, "", "Error: Database Search Guide " + number + " has no tables defined."};
  std::vector<const GuideColumn*> shown;
  for (const GuideColumn& column : guide.Columns)
    if (column.Show_in_list != 0) shown.push_back(&column);
  if (shown.empty())
    return {guide.DSG_ID, "",
            "Error: Database Search Guide " + number + " shows no column in its result list."};
  for (const auto& [clause, text] :
       {std::pair{"FROM", guide.FROM_clause}, std::pair{"WHERE", guide.WHERE_clause}})
    if (const std::optional<CutOff> cut = FirstCutOff(text.value_or(""), server))
      return {guide.DSG_ID, "",
              "Error: Database Search Guide " + number + " cannot be searched: its " + clause +
                  (cut->open_quote ? " clause opens a quoted text (" + cut->mark +
                                         ") that it does not close, which would take in the "
                                         "search conditions."
                                   : " clause holds a comment (-- or /*) or a ; outside quotes, "
                                     "which would cut off the search conditions.")};
  std::optional<std::string> from = guide.FROM_clause.value_or("");
  if (!narrowing.guard.empty()) from = GuardedFrom(*from, narrowing.guard);
  if (!from)
    return {guide.DSG_ID, "",
            "Error: Database Search Guide " + number +
                " cannot be searched through an index: its FROM clause does not begin with FROM "
                "or has a RIGHT or FULL join."};
  try {
    GuideStatement statement{guide.DSG_ID,
                             SelectPart(guide, shown, server) + *from + " " +
                                 ConditionPart(guide, criteria, server, narrowing),
                             ""};
    // The columns' expressions and separators are stored SQL too.
    if (CutsOffWhatFollows(statement.SQL, server))
      return {guide.DSG_ID, "",
              "Error: Database Search Guide " + number +
                  " cannot be searched: its columns hold a comment (-- or /*), a ; or a quote "
                  "they do not close, which would cut off the search conditions."};
    return statement;
  } catch (const UntranslatableExpression& refused) {
    return {guide.DSG_ID, "",
            "Error: Database Search Guide " + number + " cannot be searched on " +
                server.ServerName() + ": " + refused.what() + "."};
  }
}

}  // namespace

std::string NoColumnsYetMessage(const std::string& guide_name) {
  return "The Database Search Guide '" + guide_name +
         "' has no columns yet: define them in Administer > Db Search Columns.";
}

SearchStatements GenerateSearchStatements(const std::vector<GuideDefinition>& guides,
                                          const SearchCriteria& criteria, rdo::Dialect dialect) {
  std::vector<const GuideDefinition*> listed;
  for (const GuideDefinition& guide : guides)
    if (!guide.Columns.empty()) listed.push_back(&guide);
  std::stable_sort(listed.begin(), listed.end(),
                   [](auto* a, auto* b) { return a->DSG_ID < b->DSG_ID; });
  listed.erase(std::unique(listed.begin(), listed.end(),
                           [](auto* a, auto* b) { return a->DSG_ID == b->DSG_ID; }),
               listed.end());
  if (listed.empty()) return {kInvalidGuidesMessage, {}};

  SearchStatements result;
  for (const GuideDefinition* guide : listed)
    result.Guides.push_back(StatementFor(*guide, criteria, ForDialect(dialect)));
  return result;
}

std::vector<std::string> SearchedValues(const GuideDefinition& guide, const ServerDialect& server) {
  std::vector<std::string> values;
  for (const GuideColumn& column : guide.Columns)
    if (column.Is_search_column != 0)
      values.push_back(
          server.SearchedValue(ValueExpression(StoredValueExpression(column), server)));
  return values;
}

std::vector<std::string> SearchedValues(const GuideDefinition& guide, rdo::Dialect dialect) {
  return SearchedValues(guide, ForDialect(dialect));
}

std::string GuideRows(const GuideDefinition& guide) {
  const std::string from = guide.FROM_clause.value_or("");
  return HasOwnWhere(guide) ? from + " " + *guide.WHERE_clause : from;
}

GuideStatement IndexedStatement(const GuideDefinition& guide, const SearchCriteria& criteria,
                                const std::string& fresh, const std::string& candidates) {
  if (GuideStatement plain = StatementFor(guide, criteria, SqliteDialect()); !plain.Error.empty())
    return plain;
  GuideStatement indexed =
      StatementFor(guide, criteria, SqliteDialect(), {fresh, candidates, std::nullopt});
  if (indexed.Error.empty())
    indexed.SQL +=
        " UNION ALL " +
        StatementFor(guide, criteria, SqliteDialect(), {"NOT " + fresh, "", std::nullopt}).SQL;
  return indexed;
}

}  // namespace corvanty

namespace corvanty {
namespace {

// Whether the WHERE clause has an OR outside parentheses: a condition
// joined to it by AND binds to its last part only.
bool HasOrAtTop(std::string_view where) {
  int depth = 0;
  size_t scanned = 0;
  for (const SqlPiece& word : WordsAndQuotes(where)) {
    for (char c : where.substr(scanned, word.at - scanned)) depth += (c == '(') - (c == ')');
    scanned = word.at + word.text.size();
    if (depth == 0 && !word.quoted && IsKeyword(word.text, "OR")) return true;
  }
  return false;
}

}  // namespace

GuideStatement UnionStatement(const GuideDefinition& guide, const SearchCriteria& criteria) {
  const GuideStatement plain = StatementFor(guide, criteria, PostgresDialect());
  const std::string refused = "Error: Database Search Guide " + std::to_string(guide.DSG_ID) +
                              " cannot be searched through its index: ";
  if (!plain.Error.empty()) return plain;
  if (HasOwnWhere(guide) && HasOrAtTop(*guide.WHERE_clause))
    return {guide.DSG_ID, "", refused + "its WHERE clause has an OR outside parentheses"};
  const size_t branches = SearchedValues(guide, PostgresDialect()).size();
  if (branches == 0) return {guide.DSG_ID, "", refused + "it has no search column"};
  GuideStatement union_of{guide.DSG_ID, "", ""};
  for (size_t branch = 0; branch < branches; ++branch)
    union_of.SQL += (branch ? " UNION ALL " : "") +
                    StatementFor(guide, criteria, PostgresDialect(), {"", "", branch}).SQL;
  return union_of;
}

}  // namespace corvanty
