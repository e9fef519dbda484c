#include <sys/stat.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <functional>

#include "app/forms/mdicorvantymain.h"
#include "connections/connectionstore.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "connections/forms/frmcorvantynewconnection.h"
#include "support/forms/guitest.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;
using testing::QuerySqlite;

const char* const kCreated = "Connection successfully created. This is now your active connection.";

class ConnectDialogs : public testing::GuiTest {
 protected:
  // Saves a connection (login "u", no password) to a new SQLite database.
  std::string SaveDatabaseConnection(int16_t number, const std::string& name) {
    odbc_.AddSqliteDatabase(name);
    EXPECT_TRUE(SaveConnection(number, name, "u", ""));
    return odbc_.File(name + ".db");
  }

  // Starts the tool: the main window loads and opens the Connect dialog.
  static frmCorvantyConnect& StartTool() {
    mdiCorvantyMain::Instance().Show();
    return frmCorvantyConnect::Instance();
  }

  // Clicks New on the Connect dialog, types the entries into the modal New
  // Connection dialog and clicks its Connect; body then sees the dialog if it
  // is still open (nullptr once closed), and whatever is left open is closed.
  void NewConnection(const std::string& dsn, const std::string& uid,
                     const std::function<void(frmCorvantyNewConnection*)>& body = {}) {
    bool ran = false;
    QObject scope;  // cancels the timer if New never opened a dialog to run it in
    QTimer::singleShot(0, &scope, [&] {
      if (frmCorvantyNewConnection* dialog = frmCorvantyNewConnection::Existing()) {
        ran = true;
        QTest::keyClicks(dialog->txtDSN, QString::fromStdString(dsn));
        QTest::keyClicks(dialog->txtUID, QString::fromStdString(uid));
        Click(*dialog, "cmdConnect");
        if (body) body(frmCorvantyNewConnection::Existing());
      }
      if (frmCorvantyNewConnection* left = frmCorvantyNewConnection::Existing()) left->close();
    });
    Click(frmCorvantyConnect::Instance(), "cmdNew");
    EXPECT_TRUE(ran) << "the New Connection dialog did not open";
  }

  static bool HasGuideTables(const std::string& file) {
    return QuerySqlite(file,
                       "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name LIKE "
                       "'Db_Search_Guide%'")[0][0] == "5";
  }
};

TEST_F(ConnectDialogs, ConnectActivatesTheChosenConnectionAndCancelLaterKeepsIt) {
  std::string a = SaveDatabaseConnection(1, "A");
  std::string b = SaveDatabaseConnection(2, "B");
  frmCorvantyConnect& dialog = StartTool();
  EXPECT_INVENTORY(dialog, "Corvanty Admin Db Connect",
                   (std::vector<testing::ControlRow>{
                       {"Frame1", "QGroupBox", ""},
                       {"Label1", "QLabel", "Connect To :", testing::Align::Left},
                       {"cmbAvailableDb", "QComboBox", "A", testing::Align::None, 1,
                        "Displays a list of databases available for administration."},
                       {"cmdNew", "QPushButton", "New", testing::Align::None, 2},
                       {"cmdConnect", "QPushButton", "Connect", testing::Align::None, 3,
                        "Connect to selected database.", true},
                       {"cmdCancel", "QPushButton", "Cancel", testing::Align::None, 4,
                        "Quit the Velmorastine Corvanty Administrator"},
                   }));
  QComboBox* list = dialog.cmbAvailableDb;
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(1), "B");
  EXPECT_TRUE(gstrConnect.empty());  // nothing is opened before the user chooses

  list->setCurrentIndex(1);
  Click(frmCorvantyConnect::Instance(), "cmdConnect");
  EXPECT_EQ(frmCorvantyConnect::Existing(), nullptr);
  EXPECT_EQ(gintActiveConnection, 2);
  EXPECT_EQ(gstrConnect, "DSN=B;UID=u;PWD=;");
  EXPECT_TRUE(HasGuideTables(b));  // the readiness check ran on B only
  EXPECT_FALSE(HasGuideTables(a));

  testing::ExecSqlite(
      b,
      "DROP TABLE Db_Search_Guide_Cols;"
      "INSERT INTO Db_Search_Guides (DSG_name, DSG_description) VALUES ('Kept', '')");
  ChooseMenu("mnuConnections");
  Click(frmCorvantyConnect::Instance(), "cmdCancel");
  EXPECT_EQ(frmCorvantyConnect::Existing(), nullptr);
  EXPECT_NE(mdiCorvantyMain::Existing(), nullptr);
  EXPECT_EQ(gintActiveConnection, 2);
  EXPECT_TRUE(HasGuideTables(b));  // the readiness check rebuilt the missing table
  EXPECT_EQ(QuerySqlite(b, "SELECT count(*) FROM Db_Search_Guides")[0][0], "1");  // kept its guide
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(ConnectDialogs, WithNoSavedConnectionConnectDoesNothingAndCancelEndsTheTool) {
  frmCorvantyConnect& connect = StartTool();
  EXPECT_EQ(connect.cmbAvailableDb->count(), 0);
  Click(connect, "cmdConnect");
  EXPECT_TRUE(connect.isVisible());
  EXPECT_TRUE(gstrConnect.empty());
  Click(connect, "cmdCancel");
  EXPECT_EQ(frmCorvantyConnect::Existing(), nullptr);
  EXPECT_EQ(mdiCorvantyMain::Existing(), nullptr);
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(ConnectDialogs, NewConnectionNamesWhatIsMissingAndMasksThePassword) {
  NewConnection("", "", [](frmCorvantyNewConnection* dialog) {
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isModal());
    using testing::Align;
    EXPECT_INVENTORY(*dialog, "New Connection",
                     (std::vector<testing::ControlRow>{
                         {"Frame1", "QGroupBox", ""},
                         {"Label1", "QLabel", "Data Source Name :", Align::Left},
                         {"Label2", "QLabel", "User ID :", Align::Left},
                         {"Label3", "QLabel", "Password :", Align::Left},
                         {"txtDSN", "QLineEdit", "", Align::Left, 1},
                         {"txtUID", "QLineEdit", "", Align::Left, 2},
                         {"txtPWD", "QLineEdit", "", Align::Left, 3},
                         {"cmdConnect", "QPushButton", "Connect", Align::None, 4, "", true},
                     }));
    QTest::keyClicks(dialog->txtPWD, "secret");
    EXPECT_EQ(dialog->txtPWD->displayText(), "******");
    QTest::keyClicks(dialog->txtDSN, "A");
    Click(*dialog, "cmdConnect");
    dialog->txtDSN->clear();
    QTest::keyClicks(dialog->txtUID, "u");
    Click(*dialog, "cmdConnect");
    EXPECT_TRUE(dialog->isVisible());
  });
  std::string shown;
  for (const MessageBoxRequest& box : boxes_->Shown())
    shown += std::to_string(box.style) + " " + box.prompt + "\n";
  EXPECT_EQ(shown,
            "1 You must fill in Data Source Name, User ID to establish a connection.\n"
            "1 You must fill in User ID to establish a connection.\n"
            "1 You must fill in Data Source Name to establish a connection.\n");
  EXPECT_EQ(NextConnectionNumber(), 1);  // none saved
}

TEST_F(ConnectDialogs, ANewConnectionIsSavedUnderTheNextNumberAndBecomesActive) {
  SaveDatabaseConnection(1, "A");
  odbc_.AddSqliteDatabase("B");
  frmCorvantyConnect& connect = StartTool();
  NewConnection("B", "u", [](frmCorvantyNewConnection* dialog) { EXPECT_EQ(dialog, nullptr); });
  ExpectOnlyBox(kCreated, vbOKCancel);
  EXPECT_EQ(NextConnectionNumber(), 3);
  EXPECT_EQ(gintActiveConnection, 2);
  EXPECT_EQ(gstrConnect, "DSN=B;UID=u;PWD=;");
  EXPECT_TRUE(HasGuideTables(odbc_.File("B.db")));
  EXPECT_TRUE(connect.isVisible());  // back in the Connect dialog
}

// At both readiness points: a data source that does not exist, and one whose
// database file is gone and may not be created.
TEST_F(ConnectDialogs, ReadinessErrorsAreReportedAndTheToolGoesOn) {
  std::string gone = odbc_.File("gone.db");
  odbc_.AddDataSource("Gone", gone, {{"NoCreat", "1"}});
  ASSERT_TRUE(SaveConnection(1, "Gone", "u", ""));
  frmCorvantyConnect& connect = StartTool();
  NewConnection("Nowhere", "u");
  ASSERT_EQ(boxes_->Shown().size(), 2u);
  EXPECT_EQ(boxes_->Shown()[1].prompt, kCreated);
  EXPECT_EQ(gintActiveConnection, 2);
  EXPECT_EQ(gstrConnect, "DSN=Nowhere;UID=u;PWD=;");
  ASSERT_TRUE(connect.isVisible());

  Click(connect, "cmdConnect");  // the list still offers Gone only
  ASSERT_EQ(boxes_->Shown().size(), 3u);
  for (size_t i : {0, 2}) {
    const MessageBoxRequest& box = boxes_->Shown()[i];
    EXPECT_EQ(box.prompt.rfind("[[", 0), 0u) << box.prompt;
    EXPECT_EQ(box.style, vbOKOnly + vbExclamation) << box.prompt;
  }
  EXPECT_NE(mdiCorvantyMain::Existing(), nullptr);
  EXPECT_EQ(gstrConnect, "DSN=Gone;UID=u;PWD=;");
  struct stat info {};
  EXPECT_NE(stat(gone.c_str(), &info), 0) << "the missing database was created";
}

TEST_F(ConnectDialogs, ARegistryThatCannotBeWrittenIsReportedAndChangesNothing) {
  SaveDatabaseConnection(1, "A");
  ASSERT_TRUE(LoadConnection(1));
  gintActiveConnection = 1;
  ASSERT_EQ(chmod(registry_.Path().c_str(), 0400), 0);
  odbc_.AddSqliteDatabase("B");
  StartTool();
  NewConnection("B", "u", [](frmCorvantyNewConnection* dialog) { EXPECT_NE(dialog, nullptr); });
  ExpectOnlyBox(
      " [New Connection] Connection received from registry does not match entered connection.",
      vbOKOnly + vbExclamation);
  EXPECT_EQ(NextConnectionNumber(), 2);
  EXPECT_EQ(gstrConnect, "DSN=A;UID=u;PWD=;");
  EXPECT_FALSE(HasGuideTables(odbc_.File("B.db")));
}

}  // namespace
}  // namespace corvanty
