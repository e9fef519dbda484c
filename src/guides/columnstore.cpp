// SPDX-License-Identifier: Apache-2.0
#include "guides/columnstore.h"

#include <algorithm>

#include "guides/columnloader.h"
#include "guides/listseparator.h"
#include "statements/sqlliteral.h"

namespace corvanty {

namespace {

// The values a row holds, in the order of the table's columns.
std::vector<std::string> StoredValues(const GuideColumn& row) {
  using std::to_string;
  return {to_string(row.DSG_column_seq_no),
          row.Column_qualifier,
          row.Column_name,
          row.Column_data_type,
          to_string(row.Show_in_list),
          to_string(row.Is_search_column),
          row.List_column_separator,
          to_string(row.Conv_required),
          row.Conversion_expression,
          to_string(row.Is_key_column)};
}

// The rows as a sorted list: rows have no order of their own.
std::vector<std::vector<std::string>> RowSet(const std::vector<GuideColumn>& rows) {
  std::vector<std::vector<std::string>> values;
  for (const GuideColumn& row : rows) values.push_back(StoredValues(row));
  std::sort(values.begin(), values.end());
  return values;
}

}  // namespace

std::string ColumnInsertStatement(rdo::Dialect dialect, int32_t id, const GuideColumn& row) {
  using std::to_string;
  return std::string("INSERT INTO Db_Search_Guide_Cols ") +
         "(DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name, Column_data_type," +
         "Show_in_list, Is_search_column, List_column_separator, Conv_required," +
         "Conversion_expression, Is_key_column)" + " VALUES (" + to_string(id) + "," +
         to_string(row.DSG_column_seq_no) + ",'" + QuoteApostrophes(row.Column_qualifier) + "','" +
         QuoteApostrophes(row.Column_name) + "','" + QuoteApostrophes(row.Column_data_type) + "'," +
         to_string(row.Show_in_list) + "," + to_string(row.Is_search_column) + "," +
         SeparatorLiteral(dialect, row.List_column_separator) + "," + to_string(row.Conv_required) +
         ",'" + QuoteApostrophes(row.Conversion_expression) + "'," + to_string(row.Is_key_column) +
         ")";
}

bool SaveColumnSettings(rdo::rdoConnection& connection, int32_t id,
                        const std::vector<GuideColumn>& rows) {
  rdo::Transaction transaction = connection.BeginTrans();
  // Rewriting identical rows would still mark the guide's search index stale.
  if (RowSet(ReadStoredRows(connection, id)) == RowSet(rows)) return false;
  connection.Execute("DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = " + std::to_string(id));
  for (const GuideColumn& row : rows)
    connection.Execute(ColumnInsertStatement(connection.GetDialect(), id, row));
  transaction.Commit();
  return true;
}

}  // namespace corvanty
