// SPDX-License-Identifier: Apache-2.0
#include "guides/columnstore.h"

#include "connections/connectionstore.h"
#include "guides/listseparator.h"
#include "statements/sqlliteral.h"

namespace corvanty {

using basCorvantyAdmin::gstrConnect;

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

void SaveColumnSettings(int32_t id, const std::vector<ColumnSlot>& slots) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
  rdo::Transaction transaction = connection.BeginTrans();
  connection.Execute("DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = " + std::to_string(id));
  for (size_t slot = 1; slot < slots.size(); ++slot)
    connection.Execute(ColumnInsertStatement(connection.GetDialect(), id, slots[slot]));
  transaction.Commit();
}

}  // namespace corvanty
