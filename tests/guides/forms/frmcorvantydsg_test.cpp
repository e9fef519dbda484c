// SPDX-License-Identifier: Apache-2.0
// The dialogs that start, choose and delete a guide.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "guidedialogtest.h"
#include "guides/forms/frmcorvantydsgadmin.h"
#include "guides/forms/frmcorvantydsgdelete.h"
#include "guides/forms/frmcorvantynewdsg.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;
using testing::Align;
using GuideSelectionDialog = testing::OnEachServer<testing::GuideDialogTest>;
using DeleteGuideDialog = testing::OnEachServer<testing::GuideDialogTest>;
INSTANTIATE_TEST_SUITE_P(, GuideSelectionDialog, testing::kEachServer, testing::ServerParamName);
INSTANTIATE_TEST_SUITE_P(, DeleteGuideDialog, testing::kEachServer, testing::ServerParamName);

TEST_P(GuideSelectionDialog, WithNoGuideOnlyNewIsOfferedEvenFromSearchColumns) {
  ChooseMenu("mnuSearchColumns");
  frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
  EXPECT_EQ(std::to_string(dialog.cmbAvailableDSG->count()) +
                dialog.cmbAvailableDSG->currentText().toStdString(),
            "1(NEW)");
  Click(dialog, "cmdOK");
  EXPECT_EQ(ShownDialogs() + Boxes(), "frmCorvantyNewDSG");
}

TEST_P(GuideSelectionDialog, ListsTheGuidesFirstSelectedAndNewStoresAGuideExactlyRefusingBadNames) {
  AddGuides({"Orders", "Customers", "Products"});
  ChooseMenu("mnuSearchTables");
  frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
  EXPECT_INVENTORY(dialog, "Administer Db Search Guides",
                   (std::vector<testing::ControlRow>{
                       {"Frame1", "QGroupBox", ""},
                       {"Label1", "QLabel", "Available Search Guides :", Align::Right},
                       {"cmbAvailableDSG", "QComboBox", postgres() ? "Orders" : "Customers",
                        Align::None, 1},  // the first the server lists
                       {"cmdOK", "QPushButton", "OK", Align::None, 2, "", true},
                       {"cmdCancel", "QPushButton", "Cancel", Align::None, 3},
                       {"cmdNew", "QPushButton", "New", Align::None, 4},
                   }));
  gstrDSGMode = kModeEdit;
  Click(dialog, "cmdNew");
  EXPECT_EQ(gstrDSGMode + ShownDialogs(), "NewfrmCorvantyNewDSG");
  EXPECT_INVENTORY(frmCorvantyNewDSG::Instance(), "New Db Search Guide",
                   (std::vector<testing::ControlRow>{
                       {"Frame1", "QGroupBox", ""},
                       {"Label1", "QLabel", "Search Guide Name :", Align::Right},
                       {"txtDSGName", "QLineEdit", "", Align::Left, 1},
                       {"Label2", "QLabel", "Description :", Align::Right},
                       {"txtDSGDescription", "QPlainTextEdit", "", Align::None, 2},
                       {"cmdOK", "QPushButton", "OK", Align::None, 3, "", true},
                       {"cmdCancel", "QPushButton", "Cancel", Align::None, 4},
                   }));
  // Fills in the new guide (File > New > Db Search Guide) from mode Edit and
  // clicks button: the boxes shown, the mode, the number of guides and the
  // dialogs shown.
  auto enter = [&](const QString& name, const QString& description, const char* button) {
    gstrDSGMode = kModeEdit;
    ChooseMenu("mnuDbSG");
    frmCorvantyNewDSG::Existing()->txtDSGName->setText(name);
    frmCorvantyNewDSG::Existing()->txtDSGDescription->setPlainText(description);
    boxes_->Clear();
    Click(*frmCorvantyNewDSG::Existing(), button);
    return Boxes() + gstrDSGMode + Value("SELECT count(*) FROM Db_Search_Guides") + " " +
           ShownDialogs();
  };
  Exec("INSERT INTO Db_Search_Guides (DSG_name) VALUES ('O''Brien''s')");
  const char* const kExists = "48 Database Search Guide name exists. Please choose another.\n";
  // {name, description, the box shown}: only the missing name is a plain box,
  // under the application's title. Mode New is set before any check; the
  // dialog stays.
  const struct {
    QString name, description;
    const char* box;
  } rows[] = {
      {"", "A description", "0 You need to supply a Database Search Guide name. [CorvantyAdmin]\n"},
      {"Orders", "Again", kExists},
      {"O'Brien's", "", kExists},
      {QString(51, 'n'), "",
       "48 The Database Search Guide name may be at most 50 characters long.\n"},
      {"Sales", QString(256, 'd'), "48 The description may be at most 255 characters long.\n"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(enter(row.name, row.description, "cmdOK"),
              row.box + std::string("New4 frmCorvantyNewDSG"));
  EXPECT_EQ(enter("Suppliers", "", "cmdCancel"), "Edit4 ");  // writing and changing nothing

  // Apostrophes stored as typed; lengths counted in characters, not bytes. The
  // next number does not fit in 16 bits; the current guide holds it whole.
  NumberGuidesFrom(70000);
  QString name = "O'Brien's " + QString(40, QChar(0x00E9));
  QString description = "Customers' 'best' " + QString(237, QChar(0x00FC));
  const std::string created = enter(name, description, "cmdOK");
  EXPECT_EQ(created + std::to_string(gintDSGID), "New5 frmCorvantyTables70001");
  EXPECT_EQ(
      Value("SELECT DSG_name || '|' || DSG_description FROM Db_Search_Guides WHERE DSG_ID = 70001"),
      name.toStdString() + "|" + description.toStdString());
}

TEST_P(GuideSelectionDialog, OkSetsTheChosenGuideAndGoesWhereTheTagSaysCancelChangesNothing) {
  AddGuides({"C", "A", "B"});
  // {Tag, button, what is shown next and the current guide after, the second
  // guide listed chosen}: listed in the server's order, by name on SQLite (B,
  // guide 3), as stored on PostgreSQL (A, guide 2). Any Tag but the editors'
  // keeps the dialog open, and tags compare exactly.
  const std::string second = postgres() ? " 2 Edit" : " 3 Edit";
  const std::string rows[][3] = {{"searchtables", "cmdOK", "frmCorvantyDSGAdmin" + second},
                                 {"SearchTables", "cmdOK", "frmCorvantyTables" + second},
                                 {"SearchColumns", "cmdOK", "frmCorvantyColumns" + second},
                                 {"SearchTables", "cmdCancel", " 7 New"}};
  for (const auto& row : rows) {
    gintDSGID = 7;
    gstrDSGMode = kModeNew;
    frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
    dialog.Tag = QString::fromStdString(row[0]);
    dialog.Show();
    dialog.cmbAvailableDSG->setCurrentIndex(1);
    Click(dialog, row[1].c_str());
    EXPECT_EQ(ShownDialogs() + " " + std::to_string(gintDSGID) + " " + gstrDSGMode, row[2])
        << row[0] << " " << row[1];
    CloseAllWindows();
  }
}

TEST_P(DeleteGuideDialog, AppearsOnlyWithGuidesAndDeletesTheChosenGuideWholeOrNotAtAll) {
  ChooseMenu("mnuDelete");
  Settle();
  EXPECT_EQ(frmCorvantyDSGDelete::Existing(), nullptr);
  EXPECT_EQ(Boxes(), "0 There are no Database Search Guides to delete!\n");
  AddGuides({"Customers", "Orders"});
  ChooseMenu("mnuDelete");
  EXPECT_INVENTORY(frmCorvantyDSGDelete::Instance(), "Delete Db Search Guide",
                   (std::vector<testing::ControlRow>{
                       {"Frame1", "QGroupBox", ""},
                       {"Label1", "QLabel", "Available Search Guides :", Align::Right},
                       {"cmbAvailableDSG", "QComboBox", "Customers", Align::None, 1},
                       {"cmdDelete", "QPushButton", "Delete", Align::None, 2, "", true},
                       {"cmdCancel", "QPushButton", "Cancel", Align::None, 3},
                   }));
  // Chooses guide id in File > Delete, clicks Delete and answers: both guides'
  // rows, the dialogs shown and the boxes.
  auto remove = [&](int id, int answer) {
    ChooseMenu("mnuDelete");
    frmCorvantyDSGDelete& dialog = frmCorvantyDSGDelete::Instance();
    dialog.cmbAvailableDSG->setCurrentIndex(dialog.cmbAvailableDSG->findData(id));
    boxes_->Clear();
    boxes_->QueueAnswer(answer);
    sent_.clear();
    Click(dialog, "cmdDelete");
    Settle();
    return RowsOfGuide(1) + " " + RowsOfGuide(2) + " " + ShownDialogs() + "|" + Boxes();
  };
  const std::string kAsked = "4 Delete this item?\n";
  EXPECT_EQ(remove(1, vbNo), "1 1 2 1 1 2 |" + kAsked);
  EXPECT_EQ(remove(2, vbYes), "1 1 2 0 0 0 |" + kAsked);
  std::vector<std::string> deletions;
  std::copy_if(sent_.begin(), sent_.end(), std::back_inserter(deletions),
               [](const std::string& sql) { return sql.rfind("DELETE", 0) == 0; });
  EXPECT_EQ(deletions,
            (std::vector<std::string>{"DELETE FROM Db_Search_Guides WHERE DSG_ID = 2",
                                      "DELETE FROM Db_Search_Guide_Tables WHERE DSG_ID = 2",
                                      "DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = 2"}));
  // The column rows are the last to go: everything before them comes back,
  // and the dialog stays for another try.
  Exec(postgres() ? "CREATE FUNCTION lock() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE "
                    "'column settings are locked'; END$$; CREATE TRIGGER keep_columns BEFORE "
                    "DELETE ON Db_Search_Guide_Cols FOR EACH ROW EXECUTE FUNCTION lock()"
                  : "CREATE TRIGGER keep_columns BEFORE DELETE ON Db_Search_Guide_Cols BEGIN "
                    "SELECT RAISE(ABORT, 'column settings are locked'); END");
  EXPECT_EQ(remove(1, vbYes),
            "1 1 2 0 0 0 frmCorvantyDSGDelete|" + kAsked +
                (postgres() ? "48 [[ERROR: column settings are locked;\nError while executing "
                              "the query]]\n"
                            : "48 [[[SQLite]column settings are locked (19)]]\n"));
  Exec("DROP TRIGGER keep_columns" + std::string(postgres() ? " ON Db_Search_Guide_Cols" : ""));
  EXPECT_EQ(remove(1, vbYes), "0 0 0 0 0 0 |" + kAsked);
}

}  // namespace
}  // namespace corvanty
