// SPDX-License-Identifier: Apache-2.0
// A newcomer's first session, end to end through the real dialogs: the demo
// database, connecting (which readies it), creating a guide, choosing its
// table and columns, testing it and deleting it.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include "app/forms/mdicorvantymain.h"
#include "connections/connectionstore.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "demo/demodatabase.h"
#include "guides/forms/frmcorvantycolumns.h"
#include "guides/forms/frmcorvantydsgdelete.h"
#include "guides/forms/frmcorvantynewdsg.h"
#include "guides/forms/frmcorvantytables.h"
#include "guides/forms/frmcorvantytest.h"
#include "support/databasetest.h"
#include "support/forms/guitest.h"
#include "ui/forms/backgroundwork.h"

namespace corvanty {
namespace {

using testing::SqliteColumn;
using Newcomer = testing::GuiTest;

TEST_F(Newcomer, ConnectsDefinesTestsAndDeletesAGuide) {
  const std::string demo = odbc_.File("demo.db");
  demo::CreateDemoDatabase(demo, 400);
  // The business tables alone, as in a customer's database: connecting builds the guide tables.
  testing::ExecSqlite(demo,
                      "DROP TABLE Db_Search_Guides; DROP TABLE Db_Search_Guide_Tables; "
                      "DROP TABLE Db_Search_Guide_Cols; DROP TABLE Db_Search_Guide_SQL; "
                      "DROP TABLE Db_Search_Guide_Unique;");
  odbc_.AddDataSource("Demo", demo);
  ASSERT_EQ(basCorvantyAdmin::SaveNewConnection("Demo", "demo", ""), 1);

  // Start-up offers the demo; Connect makes it active and readies it.
  mdiCorvantyMain::Instance().Show();
  ASSERT_EQ(ShownDialogs(), "frmCorvantyConnect");
  Click(frmCorvantyConnect::Instance(), "cmdConnect");
  EXPECT_EQ(testing::SqliteObjects(demo, "table").size(), 10u);  // 5 of the demo, 5 guide tables

  // File > New > Db Search Guide, then its table.
  ChooseMenu("mnuDbSG");
  frmCorvantyNewDSG::Instance().txtDSGName->setText("Customers");
  Click(frmCorvantyNewDSG::Instance(), "cmdOK");
  frmCorvantyTables& tables = frmCorvantyTables::Instance();
  tables.lstAvailableTbls->setCurrentItem(tables.lstAvailableTbls->findItems("customers", {})[0]);
  Click(tables, "cmdOneRight");
  Click(tables, "cmdOK");  // the check passes and the columns editor follows
  ASSERT_EQ(ShownDialogs(), "frmCorvantyColumns");

  // customer_id (entry 0) the key; company_name (1) and city (3) shown and searched.
  frmCorvantyColumns& columns = frmCorvantyColumns::Instance();
  const std::tuple<int, bool, const char*, const char*> settings[] = {
      {0, true, "", "1"}, {1, false, ", ", "2"}, {3, false, "", "3"}};
  for (const auto& [entry, key, separator, index] : settings) {
    columns.lstAvailableCols->setCurrentRow(entry);
    for (QCheckBox* box : {columns.chkKeyColumn, columns.chkShowInList, columns.chkIsSearchCol})
      if (key == (box == columns.chkKeyColumn)) box->click();
    columns.txtListColSep->setText(separator);
    columns.txtColIndex->setText(index);
    Click(columns, "cmdApply");
  }
  Click(columns, "cmdOK");
  EXPECT_EQ(ShownDialogs(), "");

  // Tools > Test Db Search Guide finds what SQLite finds.
  ChooseMenu("mnuTestDSG");
  frmCorvantyTest& test = frmCorvantyTest::Instance();
  QTest::keyClicks(test.txtCriteria, "Lisbon");
  Click(test, "cmdSearch");
  WaitForBackgroundWork();
  ASSERT_TRUE(QTest::qWaitFor([&] { return test.cmdSearch->isEnabled(); }));
  // Each match on its line, in the order SQLite finds them; NULL for none.
  EXPECT_EQ(test.txtResults->toPlainText().toStdString(),
            SqliteColumn(demo,
                         "SELECT group_concat(company_name || ', ' || city, char(10)) || char(10)"
                         " FROM customers WHERE company_name LIKE '%Lisbon%' OR city LIKE "
                         "'%Lisbon%'")[0]);
  Click(test, "cmdCancel");
  EXPECT_EQ(Boxes(), "0 Query Syntax OK.\n");

  // File > Delete removes the guide with its tables row and columns.
  ChooseMenu("mnuDelete");
  Click(frmCorvantyDSGDelete::Instance(), "cmdDelete");  // the question is answered Yes
  EXPECT_EQ(SqliteColumn(demo,
                         "SELECT (SELECT count(*) FROM Db_Search_Guides) ||"
                         " (SELECT count(*) FROM Db_Search_Guide_Tables) ||"
                         " (SELECT count(*) FROM Db_Search_Guide_Cols)")[0],
            "000");
}

}  // namespace
}  // namespace corvanty
