// SPDX-License-Identifier: Apache-2.0
// Tools > Rebuild Control Table > Db_Search_Guides and the search indexes:
// the indexes are the tool's own and go with their guides; the other guide
// tables keep their rows, and a new guide that meets them says so.
#include <QListWidget>
#include <QTest>

#include "guides/forms/frmcorvantytables.h"
#include "index/forms/indexedguidetest.h"
#include "index/searchindexbuild.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

using RebuildGuidesTable = testing::IndexedGuideTest;

TEST_F(RebuildGuidesTable, DropsEveryIndexWithItsTriggersAndStateAndKeepsTheOtherTablesRows) {
  {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
    BuildSearchIndex(connection, 1);
    BuildSearchIndex(connection, 2);
  }
  const std::string objects =
      "SELECT count(*) FROM sqlite_master WHERE name LIKE 'Db_Search_Index!_%' ESCAPE '!' AND "
      "name <> 'Db_Search_Index_State'";
  ASSERT_GT(std::stoi(Value(objects)), 10);  // tables and triggers of both
  boxes_->QueueAnswer(vbYes);
  ChooseMenu("mnuSearchGuideS");
  EXPECT_EQ(Boxes(),
            "52 This will delete all data in the table! WARNING! This will also reset the DSG_ID "
            "Identity column to 1!! If you drop and recreate this table, you will need to set the "
            "identity seed to an appropriate number (only if you have any existing Db Search "
            "Guides). Proceed?\n0 'Db_Search_Guides' created.\n");
  EXPECT_EQ(Value(objects) + " " + Value("SELECT count(*) FROM Db_Search_Index_State") + " " +
                RowsOfGuide(1) + " " + RowsOfGuide(2),
            "0 0 0 1 2 0 1 2");

  // The next guide is number 1 again: its tables row would meet guide 1's.
  Exec("INSERT INTO Db_Search_Guides (DSG_name, DSG_description) VALUES ('Again', '')");
  gstrDSGMode = kModeNew;
  gintDSGID = 1;
  frmCorvantyTables& editor = frmCorvantyTables::Instance();
  editor.Show();
  QList<QListWidgetItem*> customers =
      editor.lstAvailableTbls->findItems("customers", Qt::MatchExactly);
  ASSERT_EQ(customers.size(), 1);
  editor.lstAvailableTbls->setCurrentItem(customers[0]);
  Click(editor, "cmdOneRight");
  boxes_->Clear();
  Click(editor, "cmdOK");
  EXPECT_EQ(Boxes() + ShownDialogs(),
            "0 Query Syntax OK.\n48 Database Search Guide 1 cannot be saved: "
            "Db_Search_Guide_Tables already has a row with DSG_ID 1, left by an earlier guide with "
            "that number that no longer exists (rebuilding Db_Search_Guides deletes the guides and "
            "numbers them from 1 again, but keeps the rows of the other guide tables). Delete the "
            "rows with DSG_ID 1 from Db_Search_Guide_Tables and Db_Search_Guide_Cols, or rebuild "
            "those two tables in Tools > Rebuild Control Table, then define this guide's tables in "
            "Administer > Db Search Tables.\nfrmCorvantyTables");
  EXPECT_EQ(Value("SELECT FROM_clause FROM Db_Search_Guide_Tables WHERE DSG_ID = 1"),
            "FROM customers");
}

}  // namespace
}  // namespace corvanty
