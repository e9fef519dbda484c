// A newcomer's first session, end to end through the real dialogs: the demo
// database, connecting (which readies it), creating a guide, choosing its
// table and columns, testing it and deleting it.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

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

// Sets one column of the columns editor as a user does and applies it.
void ApplyColumn(frmCorvantyColumns& editor, int entry, bool key, const char* separator,
                 const char* index) {
  editor.lstAvailableCols->setCurrentRow(entry);
  if (key) {
    editor.chkKeyColumn->click();
  } else {
    editor.chkShowInList->click();
    editor.chkIsSearchCol->click();
  }
  editor.txtListColSep->setText(separator);
  editor.txtColIndex->setText(index);
  QTest::mouseClick(editor.cmdApply, Qt::LeftButton);
}

TEST_F(Newcomer, ConnectsDefinesTestsAndDeletesAGuide) {
  std::string demo = odbc_.File("corvanty-demo.db");
  demo::CreateDemoDatabase(demo, 400);
  odbc_.AddDataSource("CorvantyDemo", demo);
  ASSERT_TRUE(basCorvantyAdmin::SaveConnection(1, "CorvantyDemo", "demo", ""));

  // Start-up offers the demo; Connect makes it active and readies it.
  mdiCorvantyMain::Instance().Show();
  ASSERT_EQ(ShownDialogs(), "frmCorvantyConnect");
  Click(frmCorvantyConnect::Instance(), "cmdConnect");
  EXPECT_EQ(SqliteColumn(demo,
                         "SELECT count(*) FROM sqlite_master WHERE name LIKE 'Db_Search%'"
                         " AND type = 'table'"),
            std::vector<std::string>{"5"});

  // File > New > Db Search Guide, then its table.
  ChooseMenu("mnuDbSG");
  frmCorvantyNewDSG& create = frmCorvantyNewDSG::Instance();
  create.txtDSGName->setText("Customers");
  Click(create, "cmdOK");
  frmCorvantyTables& tables = frmCorvantyTables::Instance();
  tables.lstAvailableTbls->setCurrentRow(
      tables.lstAvailableTbls->row(tables.lstAvailableTbls->findItems("customers", {})[0]));
  Click(tables, "cmdOneRight");
  Click(tables, "cmdOK");  // the check passes and the columns editor follows
  ASSERT_EQ(ShownDialogs(), "frmCorvantyColumns");

  // customer_id (entry 0) the key; company_name (1) and city (3) shown and searched.
  frmCorvantyColumns& columns = frmCorvantyColumns::Instance();
  ApplyColumn(columns, 0, true, "", "1");
  ApplyColumn(columns, 1, false, ", ", "2");
  ApplyColumn(columns, 3, false, "", "3");
  Click(columns, "cmdOK");
  EXPECT_EQ(ShownDialogs(), "");

  // Tools > Test Db Search Guide finds what SQLite finds.
  ChooseMenu("mnuTestDSG");
  frmCorvantyTest& test = frmCorvantyTest::Instance();
  QTest::keyClicks(test.txtCriteria, "Lisbon");
  Click(test, "cmdSearch");
  WaitForBackgroundWork();
  ASSERT_TRUE(QTest::qWaitFor([&] { return test.cmdSearch->isEnabled(); }));
  std::string expected;
  for (const std::string& line :
       SqliteColumn(demo,
                    "SELECT company_name || ', ' || city FROM customers"
                    " WHERE company_name LIKE '%Lisbon%' OR city LIKE '%Lisbon%'"))
    expected += line + "\n";
  EXPECT_NE(expected, "");
  EXPECT_EQ(test.txtResults->toPlainText().toStdString(), expected);
  Click(test, "cmdCancel");
  EXPECT_TRUE(boxes_->Shown().size() == 1 && boxes_->Shown()[0].prompt == "Query Syntax OK.");

  // File > Delete removes the guide with its tables row and columns.
  ChooseMenu("mnuDelete");
  Click(frmCorvantyDSGDelete::Instance(), "cmdDelete");  // the question is answered Yes
  EXPECT_EQ(SqliteColumn(demo,
                         "SELECT (SELECT count(*) FROM Db_Search_Guides) ||"
                         " (SELECT count(*) FROM Db_Search_Guide_Tables) ||"
                         " (SELECT count(*) FROM Db_Search_Guide_Cols)"),
            std::vector<std::string>{"000"});
}

}  // namespace
}  // namespace corvanty
