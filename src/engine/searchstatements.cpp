#include "engine/searchstatements.h"

#include <algorithm>

#include "engine/searchcriteria.h"
#include "engine/searchsyntax.h"
#include "engine/tsqltext.h"

namespace corvanty {
namespace {

constexpr int kResultListLength = 200;

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
                       rdo::Dialect dialect) {
  std::string values;
  for (const GuideColumn* column : shown) {
    values += ShownValue(ValueExpression(StoredValueExpression(*column), dialect), dialect);
    const std::string_view separator = column == shown.back()
                                           ? LastSeparatorRemnant(column->List_column_separator)
                                           : std::string_view(column->List_column_separator);
    values += ListSeparator(separator, dialect);
  }
  const GuideColumn& first = guide.Columns.front();
  const std::string key =
      first.Is_key_column != 0 ? first.Column_qualifier + "." + first.Column_name : " 0";
  return "SELECT " + ConvertToText(values, kResultListLength, dialect) + " ResultList," + key +
         " IDColumn, " + std::to_string(guide.DSG_ID) + " DSG_ID  ";
}

// The guide's own WHERE clause joined by " AND (" to one condition per search
// column, or " WHERE " and the conditions when it has none; the last
// condition's "OR " then closes the parenthesis or becomes a blank. With no
// condition at all the " AND (" or the "WHERE " of " WHERE " goes again.
std::string ConditionPart(const GuideDefinition& guide, const SearchCriteria& criteria,
                          rdo::Dialect dialect) {
  const std::string where = guide.WHERE_clause.value_or("");
  const bool ownWhere = tsql::CharLength(where) > kBareWhereLength;
  std::string part = ownWhere ? where + " AND (" : " WHERE ";
  size_t written = 0;
  for (const GuideColumn& column : guide.Columns) {
    if (column.Is_search_column == 0) continue;
    const std::string value = ValueExpression(StoredValueExpression(column), dialect);
    part += " (" + value + " LIKE '%" + criteria.LikePattern(value) + "%') OR ";
    ++written;
  }
  if (written > 0)
    part.replace(part.size() - 3, 3, ownWhere ? ")" : " ");
  else
    part.replace(part.size() - 6, 6, " ");
  return part;
}

GuideStatement StatementFor(const GuideDefinition& guide, const SearchCriteria& criteria,
                            rdo::Dialect dialect) {
  const std::string number = std::to_string(guide.DSG_ID);
  if (!guide.HasTablesRow)
    return {guide.DSG_ID, "", "Error: Database Search Guide " + number + " has no tables defined."};
  std::vector<const GuideColumn*> shown;
  for (const GuideColumn& column : guide.Columns)
    if (column.Show_in_list != 0) shown.push_back(&column);
  if (shown.empty())
    return {guide.DSG_ID, "",
            "Error: Database Search Guide " + number + " shows no column in its result list."};
  return {guide.DSG_ID,
          SelectPart(guide, shown, dialect) + guide.FROM_clause.value_or("") + " " +
              ConditionPart(guide, criteria, dialect),
          ""};
}

}  // namespace

SearchStatements GenerateSearchStatements(const std::vector<GuideDefinition>& guides,
                                          std::string_view criteria, rdo::Dialect dialect) {
  std::vector<const GuideDefinition*> listed;
  for (const GuideDefinition& guide : guides)
    if (!guide.Columns.empty()) listed.push_back(&guide);
  std::stable_sort(listed.begin(), listed.end(),
                   [](auto* a, auto* b) { return a->DSG_ID < b->DSG_ID; });
  listed.erase(std::unique(listed.begin(), listed.end(),
                           [](auto* a, auto* b) { return a->DSG_ID == b->DSG_ID; }),
               listed.end());
  if (listed.empty()) return {kInvalidGuidesMessage, {}};

  const SearchCriteria parsed(criteria);
  SearchStatements result;
  for (const GuideDefinition* guide : listed)
    result.Guides.push_back(StatementFor(*guide, parsed, dialect));
  return result;
}

}  // namespace corvanty
