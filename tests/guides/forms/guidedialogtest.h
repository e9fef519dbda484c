// SPDX-License-Identifier: Apache-2.0
#pragma once
// The guide dialogs' tests: an active database holding the guide tables,
// guides put into it directly, and its rows read back directly; on SQLite,
// or on each server (OnEachServer<GuideDialogTest>).
#include <string>
#include <vector>

#include "guides/currentguide.h"
#include "support/databasetest.h"
#include "support/forms/guitest.h"

namespace corvanty::testing {

class GuideDialogTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ActivateNewDatabase("Guides");
  }

  // Adds the guides numbered 1, 2, ... in this order, each with a tables row
  // and two column rows.
  void AddGuides(const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) {
      std::string id = std::to_string(i + 1);
      Exec("INSERT INTO Db_Search_Guides (DSG_ID, DSG_name, DSG_description) VALUES (" + id +
           ", '" + names[i] + "', ''); INSERT INTO Db_Search_Guide_Tables " +
           "(DSG_ID, FROM_clause) VALUES (" + id + ", 'Orders'); INSERT INTO " +
           "Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, " +
           "Column_name) VALUES (" + id + ", 1, 'Orders', 'OrderID'), (" + id +
           ", 2, 'Orders', 'Placed')");
    }
    NumberGuidesFrom(static_cast<int>(names.size()));
  }

  // Makes the next guide's number n + 1.
  void NumberGuidesFrom(int n) {
    Exec(postgres() ? "SELECT setval(pg_get_serial_sequence('db_search_guides', 'dsg_id'), " +
                          std::to_string(n) + ")"
                    : "UPDATE sqlite_sequence SET seq = " + std::to_string(n) +
                          " WHERE name = 'Db_Search_Guides'");
  }

  // The first column of the first row the query returns.
  std::string Value(const std::string& sql) { return Column(sql).at(0); }

  // How many rows guide id has in Db_Search_Guides, _Tables and _Cols: "1 1 2".
  std::string RowsOfGuide(int id) {
    const std::string of = " WHERE DSG_ID = " + std::to_string(id) + ")";
    return Value("SELECT (SELECT count(*) FROM Db_Search_Guides" + of +
                 " || ' ' || (SELECT count(*) FROM Db_Search_Guide_Tables" + of +
                 " || ' ' || (SELECT count(*) FROM Db_Search_Guide_Cols" + of);
  }
};

}  // namespace corvanty::testing
