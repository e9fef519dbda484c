// SPDX-License-Identifier: Apache-2.0
#include "guides/columnstore.h"

#include <algorithm>

#include "guides/columnloader.h"
#include "guides/listseparator.h"
#include "statements/sqlliteral.h"

namespace corvanty {

namespace {

// The values a slot's row holds, in the order of the row's columns.
std::vector<std::string> StoredValues(const ColumnSlot& slot) {
  using std::to_string;
  return {to_string(slot.ColumnIndex),
          slot.TableName,
          slot.ColumnName,
          slot.DataType,
          to_string(slot.ShowInList),
          to_string(slot.IsSearchColumn),
          SeparatorToStore(slot),
          to_string(slot.ConvRequired),
          slot.ConversionExpression,
          to_string(slot.IsKeyColumn)};
}

// The rows of slots 1..n as a sorted list: rows have no order of their own.
std::vector<std::vector<std::string>> RowSet(const std::vector<ColumnSlot>& slots) {
  std::vector<std::vector<std::string>> rows;
  for (size_t slot = 1; slot < slots.size(); ++slot) rows.push_back(StoredValues(slots[slot]));
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

std::string ColumnInsertStatement(rdo::Dialect dialect, int32_t id, const ColumnSlot& slot) {
  using std::to_string;
  return std::string("INSERT INTO Db_Search_Guide_Cols ") +
         "(DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name, Column_data_type," +
         "Show_in_list, Is_search_column, List_column_separator, Conv_required," +
         "Conversion_expression, Is_key_column)" + " VALUES (" + to_string(id) + "," +
         to_string(slot.ColumnIndex) + ",'" + QuoteApostrophes(slot.TableName) + "','" +
         QuoteApostrophes(slot.ColumnName) + "','" + QuoteApostrophes(slot.DataType) + "'," +
         to_string(slot.ShowInList) + "," + to_string(slot.IsSearchColumn) + "," +
         SeparatorLiteral(dialect, SeparatorToStore(slot)) + "," + to_string(slot.ConvRequired) +
         ",'" + QuoteApostrophes(slot.ConversionExpression) + "'," + to_string(slot.IsKeyColumn) +
         ")";
}

bool SaveColumnSettings(rdo::rdoConnection& connection, int32_t id,
                        const std::vector<ColumnSlot>& slots) {
  rdo::Transaction transaction = connection.BeginTrans();
  // Rewriting identical rows would still mark the guide's search index stale.
  if (RowSet(ReadStoredSlots(connection, id)) == RowSet(slots)) return false;
  connection.Execute("DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = " + std::to_string(id));
  for (size_t slot = 1; slot < slots.size(); ++slot)
    connection.Execute(ColumnInsertStatement(connection.GetDialect(), id, slots[slot]));
  transaction.Commit();
  return true;
}

}  // namespace corvanty
