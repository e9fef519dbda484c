// SPDX-License-Identifier: Apache-2.0
#include "statements/guideloader.h"

#include <map>

#include "statements/sqlliteral.h"

namespace corvanty {

namespace {

std::string IdList(const std::vector<int32_t>& ids) {
  std::string list;
  for (int32_t id : ids) list += (list.empty() ? "" : ",") + std::to_string(id);
  return list;
}

}  // namespace

std::vector<GuideDefinition> LoadGuideDefinitions(rdo::SqlSession& connection,
                                                  const std::vector<int32_t>& guide_ids) {
  if (guide_ids.empty()) return {};
  std::string ids = IdList(guide_ids);
  std::map<int32_t, GuideDefinition> guides;  // ordered: ascending DSG_ID

  rdo::rdoResultset tables = connection.OpenResultset(
      "SELECT DSG_ID, FROM_clause, WHERE_clause FROM Db_Search_Guide_Tables WHERE DSG_ID IN (" +
      ids + ")");
  for (; !tables.IsEOF(); tables.MoveNext()) {
    GuideDefinition& guide = guides[tables.Int("DSG_ID")];
    guide.HasTablesRow = true;
    guide.FROM_clause = tables.Value("FROM_clause");
    guide.WHERE_clause = tables.Value("WHERE_clause");
  }

  rdo::rdoResultset columns = connection.OpenResultset(
      "SELECT DSG_ID, Column_qualifier, Column_name, Show_in_list, Is_search_column, "
      "List_column_separator, Conv_required, Conversion_expression, Is_key_column "
      "FROM Db_Search_Guide_Cols WHERE DSG_ID IN (" +
      ids + ") ORDER BY DSG_ID, DSG_column_seq_no");
  for (; !columns.IsEOF(); columns.MoveNext()) {
    GuideColumn column;
    column.Column_qualifier = columns.Text("Column_qualifier");
    column.Column_name = columns.Text("Column_name");
    column.Show_in_list = columns.Int("Show_in_list");
    column.Is_search_column = columns.Int("Is_search_column");
    column.List_column_separator = columns.Text("List_column_separator");
    column.Conv_required = columns.Int("Conv_required");
    column.Conversion_expression = columns.Text("Conversion_expression");
    column.Is_key_column = columns.Int("Is_key_column");
    guides[columns.Int("DSG_ID")].Columns.push_back(std::move(column));
  }

  std::vector<GuideDefinition> ordered;
  for (auto& [id, guide] : guides) {
    guide.DSG_ID = id;
    ordered.push_back(std::move(guide));
  }
  return ordered;
}

std::optional<std::string> FindGuideName(rdo::SqlSession& connection, int32_t id) {
  rdo::rdoResultset found = connection.OpenResultset(
      "SELECT DSG_name FROM Db_Search_Guides WHERE DSG_ID = " + std::to_string(id));
  if (found.IsEOF()) return std::nullopt;
  return found.Text("DSG_name");
}

std::optional<int32_t> FindGuideByName(rdo::SqlSession& connection, const std::string& name) {
  rdo::rdoResultset found = connection.OpenResultset(
      "SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = '" + QuoteApostrophes(name) + "'");
  if (found.IsEOF()) return std::nullopt;
  return found.Int("DSG_ID");
}

}  // namespace corvanty
