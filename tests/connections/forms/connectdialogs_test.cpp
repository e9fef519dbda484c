#include <sys/stat.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <functional>

#include "connections/connectionstore.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "connections/forms/frmcorvantynewconnection.h"
#include "shell/forms/mdicorvantymain.h"
#include "support/forms/guitest.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;
using testing::QuerySqlite;

const char* const kRegistryMismatch =
    " [New Connection] Connection received from registry does not match entered connection.";

class ConnectDialogs : public testing::GuiTest {
 protected:
  // Saves a connection (login "u", no password) to a new SQLite database.
  std::string SaveDatabaseConnection(int16_t number, const std::string& name) {
    odbc_.AddSqliteDatabase(name);
    EXPECT_TRUE(SaveConnection(number, name, "u", ""));
    return odbc_.File(name + ".db");
  }

  // Starts the tool: the main window loads and opens the Connect dialog.
  frmCorvantyConnect& StartTool() {
    mdiCorvantyMain::Instance().Show();
    return frmCorvantyConnect::Instance();
  }

  // Clicks New on the Connect dialog and runs body on the modal New
  // Connection dialog; whatever body leaves open is closed afterwards.
  void InNewConnectionDialog(frmCorvantyConnect& connect,
                             const std::function<void(frmCorvantyNewConnection&)>& body) {
    bool ran = false;
    QObject scope;  // cancels the timer if New never opened a dialog to run it in
    QTimer::singleShot(0, &scope, [&] {
      if (frmCorvantyNewConnection* dialog = frmCorvantyNewConnection::Existing()) {
        ran = true;
        body(*dialog);
      }
      if (frmCorvantyNewConnection* left = frmCorvantyNewConnection::Existing()) left->close();
    });
    Click(connect, "cmdNew");
    EXPECT_TRUE(ran) << "the New Connection dialog did not open";
  }

  static void Type(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
  }

  static bool HasGuideTables(const std::string& file) {
    return QuerySqlite(file,
                       "SELECT count(*) FROM sqlite_master WHERE name IN ('Db_Search_Guides', "
                       "'Db_Search_Guide_Tables', 'Db_Search_Guide_Cols')")[0][0] == "3";
  }

  static std::vector<std::string> SavedConnections() {
    std::vector<std::string> list;
    ListConnections(list);
    return list;
  }
};

TEST_F(ConnectDialogs, ListsTheSavedConnectionsInOrderAndConnectActivatesTheChosenOne) {
  std::string a = SaveDatabaseConnection(1, "A");
  std::string b = SaveDatabaseConnection(2, "B");
  frmCorvantyConnect& connect = StartTool();
  QComboBox* list = connect.cmbAvailableDb;
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), "A");
  EXPECT_EQ(list->itemText(1), "B");
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_TRUE(gstrConnect.empty());  // nothing is opened before the user chooses

  list->setCurrentIndex(1);
  Click(connect, "cmdConnect");
  EXPECT_EQ(frmCorvantyConnect::Existing(), nullptr);
  EXPECT_EQ(gintActiveConnection, 2);
  EXPECT_EQ(gstrConnect, "DSN=B;UID=u;PWD=;");
  EXPECT_TRUE(HasGuideTables(b));
  EXPECT_FALSE(HasGuideTables(a));
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_NE(mdiCorvantyMain::Existing(), nullptr);
}

TEST_F(ConnectDialogs, WithNoSavedConnectionTheListIsEmptyAndConnectDoesNothing) {
  frmCorvantyConnect& connect = StartTool();
  EXPECT_EQ(connect.cmbAvailableDb->count(), 0);
  Click(connect, "cmdConnect");
  EXPECT_EQ(frmCorvantyConnect::Existing(), &connect);
  EXPECT_TRUE(connect.isVisible());
  EXPECT_EQ(gintActiveConnection, 0);
  EXPECT_TRUE(gstrConnect.empty());
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(ConnectDialogs, CancelBeforeAnyConnectionEndsTheTool) {
  std::string a = SaveDatabaseConnection(1, "A");
  frmCorvantyConnect& connect = StartTool();
  Click(connect, "cmdCancel");
  EXPECT_EQ(frmCorvantyConnect::Existing(), nullptr);
  EXPECT_EQ(mdiCorvantyMain::Existing(), nullptr);
  EXPECT_FALSE(HasGuideTables(a));
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(ConnectDialogs, CancelLaterKeepsTheToolAndChecksTheActiveDatabaseAgain) {
  std::string a = SaveDatabaseConnection(1, "A");
  Click(StartTool(), "cmdConnect");
  ASSERT_TRUE(HasGuideTables(a));
  testing::ExecSqlite(
      a,
      "DROP TABLE Db_Search_Guide_Cols;"
      "INSERT INTO Db_Search_Guides (DSG_name, DSG_description) VALUES ('Kept', '')");

  ChooseMenu("mnuConnections");
  ASSERT_NE(frmCorvantyConnect::Existing(), nullptr);
  Click(*frmCorvantyConnect::Existing(), "cmdCancel");
  EXPECT_EQ(frmCorvantyConnect::Existing(), nullptr);
  EXPECT_NE(mdiCorvantyMain::Existing(), nullptr);
  EXPECT_EQ(gintActiveConnection, 1);
  EXPECT_TRUE(HasGuideTables(a));  // the readiness check rebuilt the missing table
  EXPECT_EQ(QuerySqlite(a, "SELECT count(*) FROM Db_Search_Guides")[0][0], "1");  // kept its guide
}

TEST_F(ConnectDialogs, AReadinessErrorIsReportedOnceAndTheToolGoesOn) {
  // A data source whose database file is gone and may not be created.
  std::string gone = odbc_.File("gone.db");
  odbc_.AddDataSource("Gone", gone, {{"NoCreat", "1"}});
  ASSERT_TRUE(SaveConnection(1, "Gone", "u", ""));
  Click(StartTool(), "cmdConnect");

  ASSERT_EQ(boxes_->Shown().size(), 1u);
  const MessageBoxRequest& box = boxes_->Shown()[0];
  EXPECT_EQ(box.prompt.rfind("[[", 0), 0u) << box.prompt;
  EXPECT_EQ(box.prompt.substr(box.prompt.size() - 2), "]]");
  EXPECT_EQ(box.style, vbOKOnly + vbExclamation) << box.prompt;
  EXPECT_EQ(box.title, kDefaultMsgBoxTitle);
  EXPECT_NE(mdiCorvantyMain::Existing(), nullptr);
  EXPECT_EQ(gintActiveConnection, 1);
  EXPECT_EQ(gstrConnect, "DSN=Gone;UID=u;PWD=;");
  struct stat info {};
  EXPECT_NE(stat(gone.c_str(), &info), 0) << "the missing database was created";
}

TEST_F(ConnectDialogs, NewConnectionNamesWhatIsMissingAndMasksThePassword) {
  InNewConnectionDialog(StartTool(), [&](frmCorvantyNewConnection& dialog) {
    EXPECT_TRUE(dialog.isModal());
    Type(dialog.txtPWD, "secret");
    EXPECT_EQ(dialog.txtPWD->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.txtPWD->displayText(), "******");

    Click(dialog, "cmdConnect");
    Type(dialog.txtDSN, "A");
    Click(dialog, "cmdConnect");
    Type(dialog.txtDSN, "");
    Type(dialog.txtUID, "u");
    Click(dialog, "cmdConnect");
    EXPECT_TRUE(dialog.isVisible());
  });
  const std::vector<std::string> expected = {
      "You must fill in Data Source Name, User ID to establish a connection.",
      "You must fill in User ID to establish a connection.",
      "You must fill in Data Source Name to establish a connection."};
  ASSERT_EQ(boxes_->Shown().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(boxes_->Shown()[i].prompt, expected[i]);
    EXPECT_EQ(boxes_->Shown()[i].style, vbOKCancel);
    EXPECT_EQ(boxes_->Shown()[i].title, kDefaultMsgBoxTitle);
  }
  EXPECT_EQ(SavedConnections().size(), 1u);  // none saved
  EXPECT_TRUE(gstrConnect.empty());
}

TEST_F(ConnectDialogs, ANewConnectionIsSavedUnderTheNextNumberAndBecomesActive) {
  SaveDatabaseConnection(1, "A");
  odbc_.AddSqliteDatabase("B");
  frmCorvantyConnect& connect = StartTool();
  InNewConnectionDialog(connect, [&](frmCorvantyNewConnection& dialog) {
    Type(dialog.txtDSN, "B");
    Type(dialog.txtUID, "u");
    Click(dialog, "cmdConnect");
    EXPECT_EQ(frmCorvantyNewConnection::Existing(), nullptr);
  });
  ExpectOnlyBox("Connection successfully created. This is now your active connection.", vbOKCancel);
  EXPECT_EQ(SavedConnections(), (std::vector<std::string>{"", "A", "B"}));
  EXPECT_EQ(gintActiveConnection, 2);
  EXPECT_EQ(gstrConnect, "DSN=B;UID=u;PWD=;");
  EXPECT_TRUE(HasGuideTables(odbc_.File("B.db")));
  // Back in the Connect dialog, whose list is not reloaded.
  EXPECT_TRUE(connect.isVisible());
  EXPECT_EQ(connect.cmbAvailableDb->count(), 1);
}

TEST_F(ConnectDialogs, ANewConnectionWhoseDatabaseFailsTheCheckStaysSavedAndActive) {
  frmCorvantyConnect& connect = StartTool();
  InNewConnectionDialog(connect, [&](frmCorvantyNewConnection& dialog) {
    Type(dialog.txtDSN, "Nowhere");  // no such data source
    Type(dialog.txtUID, "u");
    Click(dialog, "cmdConnect");
  });
  ASSERT_EQ(boxes_->Shown().size(), 2u);
  EXPECT_EQ(boxes_->Shown()[0].prompt.rfind("[[", 0), 0u) << boxes_->Shown()[0].prompt;
  EXPECT_EQ(boxes_->Shown()[0].style, vbOKOnly + vbExclamation);
  EXPECT_EQ(boxes_->Shown()[1].prompt,
            "Connection successfully created. This is now your active connection.");
  EXPECT_EQ(gintActiveConnection, 1);
  EXPECT_EQ(gstrConnect, "DSN=Nowhere;UID=u;PWD=;");
  EXPECT_TRUE(connect.isVisible());
}

TEST_F(ConnectDialogs, ARegistryThatCannotBeWrittenIsReportedAndChangesNothing) {
  SaveDatabaseConnection(1, "A");
  ASSERT_TRUE(LoadConnection(1));
  gintActiveConnection = 1;
  ASSERT_EQ(chmod(registry_.Path().c_str(), 0400), 0);
  odbc_.AddSqliteDatabase("B");

  frmCorvantyConnect& connect = StartTool();
  InNewConnectionDialog(connect, [&](frmCorvantyNewConnection& dialog) {
    Type(dialog.txtDSN, "B");
    Type(dialog.txtUID, "u");
    Click(dialog, "cmdConnect");
    EXPECT_TRUE(dialog.isVisible());
  });
  ExpectOnlyBox(kRegistryMismatch, vbOKOnly + vbExclamation);
  EXPECT_EQ(SavedConnections(), (std::vector<std::string>{"", "A"}));
  EXPECT_EQ(gintActiveConnection, 1);
  EXPECT_EQ(gstrConnect, "DSN=A;UID=u;PWD=;");
  EXPECT_FALSE(HasGuideTables(odbc_.File("B.db")));
}

}  // namespace
}  // namespace corvanty
