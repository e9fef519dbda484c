// SPDX-License-Identifier: Apache-2.0
#pragma once
// Dialog tests around the search indexes, on SQLite: two guides over one
// customers table, guide 1 "By name" (all three customers) and guide 2
// "Oslo only" (the two in Oslo), each with a key and one searched column.
#include <string>

#include "guides/forms/guidedialogtest.h"
#include "ui/forms/backgroundwork.h"

namespace corvanty::testing {

class IndexedGuideTest : public GuideDialogTest {
 protected:
  void SetUp() override {
    GuideDialogTest::SetUp();
    Exec(
        "CREATE TABLE customers (id INTEGER PRIMARY KEY, name TEXT, city TEXT);"
        "INSERT INTO customers VALUES (1, 'Ann', 'Oslo'), (2, 'Bob', 'Rome'), (3, 'Cy', 'Oslo');"
        "INSERT INTO Db_Search_Guides (DSG_ID, DSG_name, DSG_description) VALUES"
        " (1, 'By name', ''), (2, 'Oslo only', '');"
        "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
        " (1, 'FROM customers', 'WHERE '), (2, 'FROM customers', 'WHERE city = ''Oslo''');"
        "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
        " Column_name, Column_data_type, Show_in_list, Is_search_column, Conv_required,"
        " Conversion_expression, Is_key_column) SELECT g.DSG_ID, c.* FROM Db_Search_Guides g,"
        " (SELECT 1, 'customers', 'id', 'Integer', 0, 0, 1, 'CONVERT(varchar,customers.id)', 1"
        " UNION ALL SELECT 2, 'customers', 'name', 'Varchar', 1, 1, 0, '', 0) c");
    NumberGuidesFrom(2);
  }

  void TearDown() override {
    WaitForBackgroundWork();
    GuideDialogTest::TearDown();
  }

  // The guide's state row as stored, Is_fresh first as "fresh" or "stale",
  // or "-" when it has none.
  std::string StateRow(int guide) {
    return Value(
        "SELECT coalesce((SELECT iif(Is_fresh = 0, 'stale', 'fresh') || '|' || Is_fresh || '|' || "
        "Row_count || '|' || Schema_version || '|' || "
        "Fill_statement FROM Db_Search_Index_State WHERE DSG_ID = " +
        std::to_string(guide) + "), '-')");
  }

  // Every row of the guide tables, with its row id: a row deleted and
  // inserted again shows as changed.
  std::string GuideRows() {
    std::string rows;
    for (const char* select :
         {"SELECT quote(rowid) || quote(DSG_ID) || quote(DSG_name) FROM Db_Search_Guides",
          "SELECT quote(rowid) || quote(DSG_ID) || quote(FROM_clause) || quote(WHERE_clause) "
          "FROM Db_Search_Guide_Tables",
          "SELECT quote(rowid) || quote(DSG_ID) || quote(DSG_column_seq_no) || "
          "quote(Column_qualifier) || quote(Column_name) || quote(Column_data_type) || "
          "quote(Show_in_list) || quote(Is_search_column) || quote(List_column_separator) || "
          "quote(Conv_required) || quote(Conversion_expression) || quote(Is_key_column) "
          "FROM Db_Search_Guide_Cols"})
      for (const std::string& row : Column(std::string(select) + " ORDER BY rowid"))
        rows += row + "\n";
    return rows;
  }
};

}  // namespace corvanty::testing
