#include "guides/columnstore.h"

#include <gtest/gtest.h>

#include "engine/dialectsql.h"
#include "guides/columnloader.h"

namespace corvanty {
namespace {

TEST(ColumnStatements, TheInsertOfAColumnAndTheCatalogueQueryOfTheGuidesTablesAreTheGivenTexts) {
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
  EXPECT_EQ(ColumnInsertStatement(rdo::Dialect::SqlServer, 7, slot),
            "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
            " Column_name, Column_data_type,Show_in_list, Is_search_column, List_column_separator,"
            " Conv_required,Conversion_expression, Is_key_column) VALUES (7,2,'Orders','Total',"
            "'Numeric',1,0,'+' + CHAR(39) + ', ' + CHAR(39) + '+',-1,"
            "'CONVERT(varchar,Orders.Total)',0)");

  // The tables handed over by the tables editor, and those of a stored FROM clause.
  const std::string handed_over = QuotedTableList({"", "Orders", "Customers"});
  EXPECT_EQ(handed_over, "'Orders','Customers'");
  EXPECT_EQ(QuotedTableList(TablesOfFromClause("FROM Orders, Customers")),
            "'','Orders','Customers'");
  EXPECT_EQ(ColumnCatalogueQuery(rdo::Dialect::SqlServer, handed_over),
            "SELECT Tbl.Name TableName, Col.Name ColName FROM SysObjects Tbl, SysColumns Col"
            " WHERE Tbl.ID = Col.ID AND Tbl.Name IN ('Orders','Customers')");
}

}  // namespace
}  // namespace corvanty
