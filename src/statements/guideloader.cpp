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

GuideColumn ReadGuideColumn(const rdo::rdoResultset& row) {
  GuideColumn column;
  column.Column_qualifier = row.Text("Column_qualifier");
  column.Column_name = row.Text("Column_name");
  column.Show_in_list = row.Int("Show_in_list");
  column.Is_search_column = row.Int("Is_search_column");
  column.List_column_separator = row.Text("List_column_separator");
  column.Conv_required = row.Int("Conv_required");
  column.Conversion_expression = row.Text("Conversion_expression");
  column.Is_key_column = row.Int("Is_key_column");
  column.Column_data_type = row.Text("Column_data_type");
  column.DSG_column_seq_no = row.Int("DSG_column_seq_no");
  return column;
}

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
      "SELECT DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name, Column_data_type, "
      "Show_in_list, Is_search_column, List_column_separator, Conv_required, "
      "Conversion_expression, Is_key_column FROM Db_Search_Guide_Cols WHERE DSG_ID IN (" +
      ids + ") ORDER BY DSG_ID, DSG_column_seq_no");
  for (; !columns.IsEOF(); columns.MoveNext())
    guides[columns.Int("DSG_ID")].Columns.push_back(ReadGuideColumn(columns));

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
