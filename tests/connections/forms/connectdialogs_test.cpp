// SPDX-License-Identifier: Apache-2.0
#include <gmock/gmock.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/forms/mdicorvantymain.h"
#include "connections/connectionstore.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "connections/forms/frmcorvantynewconnection.h"
#include "support/corvantycli.h"
#include "support/databasetest.h"
#include "support/forms/guitest.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;
using testing::Align;

class ConnectDialogs : public testing::GuiTest {
 protected:
  // Saves a connection (login "u", no password) to a new SQLite database.
  std::string SaveDatabaseConnection(int16_t number, const std::string& name) {
    odbc_.AddSqliteDatabase(name);
    EXPECT_EQ(SaveNewConnection(name, "u", ""), number);
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

  // How many tables the database holds: the guide tables once it is ready.
  static size_t Tables(const std::string& file) {
    return testing::SqliteObjects(file, "table").size();
  }
};

TEST_F(ConnectDialogs, ConnectActivatesTheChosenConnectionAndCancelLaterKeepsIt) {
  std::string a = SaveDatabaseConnection(1, "A");
  std::string b = SaveDatabaseConnection(2, "B");
  frmCorvantyConnect& dialog = StartTool();
  EXPECT_INVENTORY(dialog, "Corvanty Admin Db Connect",
                   (std::vector<testing::ControlRow>{
                       {"Frame1", "QGroupBox", ""},
                       {"Label1", "QLabel", "Connect To :", Align::Left},
                       {"cmbAvailableDb", "QComboBox", "A", Align::None, 1,
                        "Displays a list of databases available for administration."},
                       {"cmdNew", "QPushButton", "New", Align::None, 2},
                       {"cmdConnect", "QPushButton", "Connect", Align::None, 3,
                        "Connect to selected database.", true},
                       {"cmdCancel", "QPushButton", "Cancel", Align::None, 4,
                        "Quit the Velmorastine Corvanty Administrator"},
                   }));
  // Nothing is opened before the user chooses.
  ASSERT_EQ(std::to_string(dialog.cmbAvailableDb->count()) + gstrConnect, "2");

  dialog.cmbAvailableDb->setCurrentIndex(1);
  Click(dialog, "cmdConnect");
  // The readiness check ran on B only.
  EXPECT_EQ(ShownDialogs() + std::to_string(gintActiveConnection) + " " + gstrConnect +
                std::to_string(Tables(a) * 10 + Tables(b)),
            "2 DSN=B;UID=u;PWD=;5");

  testing::ExecSqlite(b,
                      "DROP TABLE Db_Search_Guide_Cols;"
                      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Kept')");
  ChooseMenu("mnuConnections");
  Click(frmCorvantyConnect::Instance(), "cmdCancel");
  // The readiness check rebuilt the missing table and kept the guide.
  EXPECT_EQ(ShownDialogs() + Boxes() + std::to_string(gintActiveConnection) +
                std::to_string(Tables(b)) + (mdiCorvantyMain::Existing() ? " main " : " ") +
                testing::SqliteColumn(b, "SELECT DSG_name FROM Db_Search_Guides")[0],
            "25 main Kept");
}

// Escape and the window's close button do what Cancel does: at start-up,
// with no connection active yet, the tool ends; later the active one stays.
TEST_F(ConnectDialogs, EscapeAndCloseEndTheToolAtStartUpAndLaterKeepTheActiveConnection) {
  SaveDatabaseConnection(1, "A");
  for (const char* way : kWaysToCancel) {
    LeaveBy(StartTool(), way);
    Settle();
    EXPECT_EQ(Boxes() + ShownDialogs() + (mdiCorvantyMain::Existing() ? "main " : "") + gstrConnect,
              "")
        << way;
  }
  Click(StartTool(), "cmdConnect");
  for (const char* way : kWaysToCancel) {
    ChooseMenu("mnuConnections");
    LeaveBy(frmCorvantyConnect::Instance(), way);
    Settle();
    EXPECT_EQ(Boxes() + ShownDialogs() + (mdiCorvantyMain::Existing() ? "main " : "") + gstrConnect,
              "main DSN=A;UID=u;PWD=;")
        << way;
  }
}

TEST_F(ConnectDialogs, NewConnectionNamesWhatIsMissingThenSavesUnderTheNextNumber) {
  SaveDatabaseConnection(1, "A");
  odbc_.AddSqliteDatabase("B");
  frmCorvantyConnect& connect = StartTool();
  NewConnection("", "", [](frmCorvantyNewConnection* dialog) {
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isModal());
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
    dialog->txtPWD->clear();
    QTest::keyClicks(dialog->txtDSN, "B");
    Click(*dialog, "cmdConnect");
    dialog->txtDSN->clear();
    QTest::keyClicks(dialog->txtUID, "u");
    Click(*dialog, "cmdConnect");
    QTest::keyClicks(dialog->txtDSN, std::string(33, 'B').c_str());
    Click(*dialog, "cmdConnect");
    EXPECT_EQ(ListConnectionsWithLogins().size(), 1u);  // nothing saved yet
    dialog->txtDSN->clear();
    QTest::keyClicks(dialog->txtDSN, "B");
    Click(*dialog, "cmdConnect");
  });
  EXPECT_EQ(Boxes(),
            "1 You must fill in Data Source Name, User ID to establish a connection.\n"
            "1 You must fill in User ID to establish a connection.\n"
            "1 You must fill in Data Source Name to establish a connection.\n"
            "48 The data source name '" +
                std::string(33, 'B') +
                "' is 33 characters long; the ODBC driver manager accepts at most 32.\n"
                "1 Connection successfully created. This is now your active connection.\n");
  // Back in the Connect dialog, whose list is not reloaded.
  EXPECT_EQ(ShownDialogs() + std::to_string(gintActiveConnection) + " " + gstrConnect +
                std::to_string(Tables(odbc_.File("B.db"))) +
                std::to_string(connect.cmbAvailableDb->count()),
            "frmCorvantyConnect2 DSN=B;UID=u;PWD=;51");
}

// At both readiness points: a data source that does not exist, and one whose
// database file is gone and may not be created.
TEST_F(ConnectDialogs, ReadinessErrorsAreReportedAndTheToolGoesOn) {
  std::string gone = odbc_.File("gone.db");
  odbc_.AddDataSource("Gone", gone, {{"NoCreat", "1"}});
  ASSERT_EQ(SaveNewConnection("Gone", "u", ""), 1);
  frmCorvantyConnect& connect = StartTool();
  NewConnection("Nowhere", "u");
  EXPECT_EQ(std::to_string(gintActiveConnection) + " " + gstrConnect, "2 DSN=Nowhere;UID=u;PWD=;");
  ASSERT_TRUE(connect.isVisible());
  Click(connect, "cmdConnect");  // the list still offers Gone only
  EXPECT_THAT(Boxes(), ::testing::MatchesRegex("48 \\[\\[[^\n]*\n"
                                               "48 The connection was saved and is now your "
                                               "active connection, but it could not be opened.\n"
                                               "48 \\[\\[[^\n]*\n"));
  // The tool goes on, and the missing database was not created.
  EXPECT_EQ(gstrConnect + (mdiCorvantyMain::Existing() ? " main" : "") +
                (std::filesystem::exists(gone) ? " created" : ""),
            "DSN=Gone;UID=u;PWD=; main");
}

// The dialogs show the registry's report where the command line prints it,
// and change nothing.
TEST_F(ConnectDialogs, ARegistryThatIsNoDatabaseIsReportedWhenListingAndWhenSaving) {
  const std::string junk(4096, 'x'), report = "48 The registry " + registry_.Path() + " cannot be ";
  std::ofstream(registry_.Path()) << junk;
  EXPECT_EQ(StartTool().cmbAvailableDb->count(), 0);
  EXPECT_EQ(Boxes(), report + "read: it is not a database.\n");
  boxes_->Clear();
  // Nothing saved: the administrator may try again.
  NewConnection("A", "u", [](frmCorvantyNewConnection* dialog) { EXPECT_NE(dialog, nullptr); });
  EXPECT_EQ(Boxes(), report + "written: it is not a database.\n");
  EXPECT_EQ(testing::FileBytes(registry_.Path()), junk);
  // With no connection to choose, Connect does nothing and Cancel ends the tool.
  frmCorvantyConnect& connect = frmCorvantyConnect::Instance();
  Click(connect, "cmdConnect");
  EXPECT_EQ(ShownDialogs(), "frmCorvantyConnect");
  Click(connect, "cmdCancel");
  EXPECT_TRUE(!frmCorvantyConnect::Existing() && !mdiCorvantyMain::Existing() &&
              gstrConnect.empty());
}

}  // namespace
}  // namespace corvanty
