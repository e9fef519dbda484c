// A newcomer's first session, end to end through the real dialogs: the demo
// database, connecting (which readies it), creating a guide, searching it
// and deleting it.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "connections/connectionstore.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "demo/demodatabase.h"
#include "engine/velmorastinesearch.h"
#include "guides/currentguide.h"
#include "guides/forms/frmcorvantydsgdelete.h"
#include "guides/forms/frmcorvantynewdsg.h"
#include "guides/forms/frmcorvantytables.h"
#include "shell/forms/mdicorvantymain.h"
#include "support/databasetest.h"
#include "support/forms/guitest.h"

namespace corvanty {
namespace {

using testing::SqliteColumn;

class Newcomer : public testing::GuiTest {
 protected:
  void TearDown() override {
    GuiTest::TearDown();
    basCorvantyAdmin::ResetConnectionParameters();
  }
  static void Menu(const char* name) {
    mdiCorvantyMain::Instance().findChild<QAction*>(name)->trigger();
  }
};

TEST_F(Newcomer, ConnectsToTheDemoCreatesSearchesAndDeletesAGuide) {
  std::string demo = odbc_.File("corvanty-demo.db");
  demo::CreateDemoDatabase(demo, 400);
  odbc_.AddDataSource("CorvantyDemo", demo);
  ASSERT_TRUE(basCorvantyAdmin::SaveConnection(1, "CorvantyDemo", "demo", ""));

  // Start-up offers the demo; Connect makes it active and readies it.
  mdiCorvantyMain::Instance().Show();
  frmCorvantyConnect* connect = frmCorvantyConnect::Existing();
  ASSERT_NE(connect, nullptr);
  EXPECT_EQ(connect->cmbAvailableDb->currentText(), "CorvantyDemo");
  Click(*connect, "cmdConnect");
  EXPECT_EQ(basCorvantyAdmin::gstrConnect, "DSN=CorvantyDemo;UID=demo;PWD=;");
  EXPECT_EQ(SqliteColumn(demo, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'Db_Search%'"
                               " AND type = 'table'"),
            std::vector<std::string>{"5"});

  // File > New > Db Search Guide.
  Menu("mnuDbSG");
  frmCorvantyNewDSG* create = frmCorvantyNewDSG::Existing();
  ASSERT_NE(create, nullptr);
  create->txtDSGName->setText("Customers");
  create->txtDSGDescription->setPlainText("Customers by name and city");
  Click(*create, "cmdOK");
  ASSERT_NE(frmCorvantyTables::Existing(), nullptr);
  EXPECT_TRUE(frmCorvantyTables::Existing()->isVisible());
  std::string id = std::to_string(basCorvantyAdmin::gintDSGID);
  EXPECT_EQ(SqliteColumn(demo, "SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = 'Customers'"),
            std::vector<std::string>{id});

  // Its tables and columns, as the editors would store them.
  testing::ExecSqlite(
      demo, "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES (" + id +
                ", 'FROM customers c', 'WHERE ');"
                "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
                " Column_name, Show_in_list, Is_search_column, Is_key_column) VALUES (" +
                id + ", 1, 'c', 'customer_id', 0, 0, -1), (" + id +
                ", 2, 'c', 'company_name', -1, -1, 0), (" + id + ", 3, 'c', 'city', -1, 0, 0);");

  VelmorastineSearch::Corvanty search;
  search.DataSourceName = basCorvantyAdmin::gstrDSN;
  search.UserID = basCorvantyAdmin::gstrUID;
  search.Password = basCorvantyAdmin::gstrPWD;
  search.SearchGuide = "Customers";
  search.Criteria = "Trading";
  search.RunSearch();
  std::vector<std::string> expected = SqliteColumn(
      demo, "SELECT company_name || ' ' || city FROM customers WHERE company_name LIKE '%Trading%'");
  ASSERT_FALSE(expected.empty());
  std::vector<std::string> found;
  for (; !search.EndOfResults(); search.NextResult()) found.push_back(search.ResultText());
  EXPECT_EQ(found, expected);

  // File > Delete removes the guide with its tables row and columns.
  Menu("mnuDelete");
  frmCorvantyDSGDelete* remove = frmCorvantyDSGDelete::Existing();
  ASSERT_NE(remove, nullptr);
  EXPECT_TRUE(remove->isVisible());
  EXPECT_EQ(remove->cmbAvailableDSG->currentText(), "Customers");
  boxes_->QueueAnswer(vbYes);
  Click(*remove, "cmdDelete");
  for (const char* table : {"Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols"})
    EXPECT_EQ(SqliteColumn(demo, std::string("SELECT count(*) FROM ") + table),
              std::vector<std::string>{"0"})
        << table;
  EXPECT_EQ(frmCorvantyDSGDelete::Existing(), nullptr);
}

}  // namespace
}  // namespace corvanty
