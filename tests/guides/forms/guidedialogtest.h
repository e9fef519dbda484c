#pragma once
// The guide dialogs' tests: an active SQLite database holding the guide
// tables, guides put into it directly, and its rows read back directly.
#include <string>
#include <vector>

#include "guides/currentguide.h"
#include "support/forms/guitest.h"
#include "support/odbcfixture.h"

namespace corvanty::testing {

class GuideDialogTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    db_ = ActivateNewDatabase("Guides");
  }

  // Adds the guides in order, each with a tables row and two column rows;
  // returns their DSG_IDs.
  std::vector<int> AddGuides(const std::vector<std::string>& names) {
    std::vector<int> ids;
    for (const std::string& name : names) {
      ExecSqlite(db_, "INSERT INTO Db_Search_Guides (DSG_name, DSG_description) VALUES ('" + name +
                          "', '')");
      std::string id = Value("SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = '" + name + "'");
      ExecSqlite(db_, "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause) VALUES (" + id +
                          ", 'Orders');"
                          "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, "
                          "Column_qualifier, Column_name) VALUES (" +
                          id + ", 1, 'Orders', 'OrderID'), (" + id + ", 2, 'Orders', 'Placed')");
      ids.push_back(std::stoi(id));
    }
    return ids;
  }

  // The first column of the first row the query returns.
  std::string Value(const std::string& sql) {
    auto rows = QuerySqlite(db_, sql);
    return rows.empty() || !rows[0][0] ? std::string() : *rows[0][0];
  }

  int GuideCount() { return std::stoi(Value("SELECT count(*) FROM Db_Search_Guides")); }

  // How many rows guide id has in Db_Search_Guides, _Tables and _Cols.
  std::vector<int> RowsOfGuide(int id) {
    std::vector<int> counts;
    for (const char* table : {"Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols"})
      counts.push_back(std::stoi(Value(std::string("SELECT count(*) FROM ") + table +
                                       " WHERE DSG_ID = " + std::to_string(id))));
    return counts;
  }

  std::string db_;
};

}  // namespace corvanty::testing
