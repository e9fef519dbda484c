#include "guides/columnstore.h"

#include <gtest/gtest.h>

#include "engine/dialectsql.h"

namespace corvanty {
namespace {

TEST(ColumnStatements, TheInsertOfAColumnAndTheCatalogueQueryAreTheGivenTexts) {
  // Guide 7: index 2, Orders.Total, Numeric, shown, not searched, separator
  // comma-blank, no key.
  ColumnSlot slot;
  slot.TableName = "Orders";
  slot.ColumnName = "Total";
  slot.DataType = "Numeric";
  slot.ShowInList = 1;
  slot.Separator = ", ";
  slot.ColumnIndex = 2;
  SetConversionFromDataType(slot);
  const char* const kColumns =
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
      " Column_data_type,Show_in_list, Is_search_column, List_column_separator, Conv_required,"
      "Conversion_expression, Is_key_column) VALUES (7,2,'Orders','Total','Numeric',1,0,";
  const char* const kRest = ",-1,'CONVERT(varchar,Orders.Total)',0)";
  EXPECT_EQ(ColumnInsertStatement(rdo::Dialect::SqlServer, 7, slot),
            std::string(kColumns) + "'+' + CHAR(39) + ', ' + CHAR(39) + '+'" + kRest);
  EXPECT_EQ(ColumnInsertStatement(rdo::Dialect::Sqlite, 7, slot),
            std::string(kColumns) + "'+' || char(39) || ', ' || char(39) || '+'" + kRest);

  EXPECT_EQ(ColumnCatalogueQuery(rdo::Dialect::SqlServer, "'Orders','Customers'"),
            "SELECT Tbl.Name TableName, Col.Name ColName FROM SysObjects Tbl, SysColumns Col"
            " WHERE Tbl.ID = Col.ID AND Tbl.Name IN ('Orders','Customers')");
}

}  // namespace
}  // namespace corvanty
