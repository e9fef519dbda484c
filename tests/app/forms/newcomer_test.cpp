// A newcomer's first session, end to end through the real dialogs: the demo
// database, connecting (which readies it), creating a guide, searching it
// and deleting it.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/forms/mdicorvantymain.h"
#include "connections/connectionstore.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "demo/demodatabase.h"
#include "engine/velmorastinesearch.h"
#include "guides/currentguide.h"
#include "guides/forms/frmcorvantydsgdelete.h"
#include "guides/forms/frmcorvantynewdsg.h"
#include "support/databasetest.h"
#include "support/forms/guitest.h"

namespace corvanty {
namespace {

using testing::SqliteColumn;
using Newcomer = testing::GuiTest;

TEST_F(Newcomer, ConnectsToTheDemoCreatesSearchesAndDeletesAGuide) {
  std::string demo = odbc_.File("corvanty-demo.db");
  demo::CreateDemoDatabase(demo, 400);
  odbc_.AddDataSource("CorvantyDemo", demo);
  ASSERT_TRUE(basCorvantyAdmin::SaveConnection(1, "CorvantyDemo", "demo", ""));

  // Start-up offers the demo; Connect makes it active and readies it.
  mdiCorvantyMain::Instance().Show();
  ASSERT_EQ(ShownDialogs(), "frmCorvantyConnect");
  frmCorvantyConnect& connect = frmCorvantyConnect::Instance();
  EXPECT_EQ(connect.cmbAvailableDb->currentText(), "CorvantyDemo");
  Click(connect, "cmdConnect");
  EXPECT_EQ(basCorvantyAdmin::gstrConnect, "DSN=CorvantyDemo;UID=demo;PWD=;");

  // File > New > Db Search Guide.
  ChooseMenu("mnuDbSG");
  frmCorvantyNewDSG& create = frmCorvantyNewDSG::Instance();
  create.txtDSGName->setText("Customers");
  create.txtDSGDescription->setPlainText("Customers by name and city");
  Click(create, "cmdOK");
  EXPECT_EQ(ShownDialogs(), "frmCorvantyTables");
  EXPECT_EQ(SqliteColumn(demo, "SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = 'Customers'"),
            std::vector<std::string>{std::to_string(basCorvantyAdmin::gintDSGID)});

  // Its tables row and a column, as the editors would store them; then a
  // search through the control finds what SQLite's own LIKE finds.
  testing::ExecSqlite(demo,
                      "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause)"
                      " SELECT DSG_ID, 'FROM customers c', 'WHERE ' FROM Db_Search_Guides;"
                      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no,"
                      " Column_qualifier, Column_name) SELECT DSG_ID, 1, 'c', 'company_name'"
                      " FROM Db_Search_Guides;");
  VelmorastineSearch::Corvanty search;
  search.DataSourceName = basCorvantyAdmin::gstrDSN;
  search.SearchGuide = "Customers";
  search.Criteria = "Trading";
  search.RunSearch();
  std::vector<std::string> found;
  for (; !search.EndOfResults(); search.NextResult()) found.push_back(search.ResultText());
  EXPECT_EQ(found, SqliteColumn(demo,
                                "SELECT company_name FROM customers "
                                "WHERE company_name LIKE '%Trading%'"));
  EXPECT_FALSE(found.empty());

  // File > Delete removes the guide with its tables row and columns.
  ChooseMenu("mnuDelete");
  ASSERT_EQ(ShownDialogs(), "frmCorvantyDSGDelete frmCorvantyTables");
  frmCorvantyDSGDelete& remove = frmCorvantyDSGDelete::Instance();
  EXPECT_EQ(remove.cmbAvailableDSG->currentText(), "Customers");
  Click(remove, "cmdDelete");  // the question is answered Yes
  EXPECT_EQ(SqliteColumn(demo,
                         "SELECT (SELECT count(*) FROM Db_Search_Guides) + (SELECT "
                         "count(*) FROM Db_Search_Guide_Tables) + (SELECT count(*) FROM "
                         "Db_Search_Guide_Cols)")[0],
            "0");
  EXPECT_EQ(ShownDialogs(), "frmCorvantyTables");
}

}  // namespace
}  // namespace corvanty
