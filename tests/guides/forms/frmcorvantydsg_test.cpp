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
using GuideSelectionDialog = testing::GuideDialogTest;

class NewGuideDialog : public testing::GuideDialogTest {
 protected:
  // Opens File > New > Db Search Guide from mode Edit, fills it in and clicks
  // button: the boxes shown, the mode, the number of guides and the dialogs shown.
  std::string Enter(const QString& name, const QString& description, const char* button) {
    gstrDSGMode = kModeEdit;
    ChooseMenu("mnuDbSG");
    frmCorvantyNewDSG& dialog = frmCorvantyNewDSG::Instance();
    dialog.txtDSGName->setText(name);
    dialog.txtDSGDescription->setPlainText(description);
    boxes_->Clear();
    Click(dialog, button);
    return Boxes() + gstrDSGMode + Value("SELECT count(*) FROM Db_Search_Guides") + " " +
           ShownDialogs();
  }
};

TEST_F(NewGuideDialog, RefusesANameOrDescriptionItCannotStoreWritingNothing) {
  AddGuides({"Orders"});
  testing::ExecSqlite(db_, "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('O''Brien''s')");
  const char* const kExists = "48 Database Search Guide name exists. Please choose another.\n";
  // {name, description, the box shown}: only the missing name is a plain box,
  // under the application's title. Mode New is set before any check.
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
  for (const auto& row : rows) {
    EXPECT_EQ(Enter(row.name, row.description, "cmdOK"),
              row.box + std::string("New2 frmCorvantyNewDSG"));
    // The dialog stays with the typed text.
    frmCorvantyNewDSG& dialog = *frmCorvantyNewDSG::Existing();
    EXPECT_TRUE(dialog.txtDSGName->text() == row.name &&
                dialog.txtDSGDescription->toPlainText() == row.description);
  }
  // Cancel leaves, writing and changing nothing.
  EXPECT_EQ(Enter("Suppliers", "", "cmdCancel"), "Edit2 ");
}

TEST_F(GuideSelectionDialog, WithNoGuideNewLeadsToAGuideStoredExactlyAndHandedToTheTablesEditor) {
  // The next number does not fit in 16 bits; the current guide holds it whole.
  testing::ExecSqlite(db_, "INSERT INTO sqlite_sequence VALUES ('Db_Search_Guides', 70000)");
  ChooseMenu("mnuSearchColumns");  // even from Search Columns
  frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
  EXPECT_EQ(std::to_string(dialog.cmbAvailableDSG->count()) +
                dialog.cmbAvailableDSG->currentText().toStdString(),
            "1(NEW)");
  Click(dialog, "cmdOK");
  // Apostrophes stored as typed; lengths counted in characters, not bytes.
  QString name = "O'Brien's " + QString(40, QChar(0x00E9));
  QString description = "Customers' 'best' " + QString(237, QChar(0x00FC));
  frmCorvantyNewDSG& created = *frmCorvantyNewDSG::Existing();
  created.txtDSGName->setText(name);
  created.txtDSGDescription->setPlainText(description);
  Click(created, "cmdOK");
  EXPECT_EQ(ShownDialogs() + std::to_string(gintDSGID) + gstrDSGMode + Boxes(),
            "frmCorvantyTables70001New");
  EXPECT_EQ(
      Value("SELECT DSG_ID || '|' || DSG_name || '|' || DSG_description FROM Db_Search_Guides"),
      "70001|" + name.toStdString() + "|" + description.toStdString());
}

TEST_F(GuideSelectionDialog, ListsTheGuidesInTheServersOrderFirstSelectedAndNewStartsAnother) {
  AddGuides({"Orders", "Customers", "Products"});
  ChooseMenu("mnuSearchTables");
  frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
  EXPECT_INVENTORY(dialog, "Administer Db Search Guides",
                   (std::vector<testing::ControlRow>{
                       {"Frame1", "QGroupBox", ""},
                       {"Label1", "QLabel", "Available Search Guides :", Align::Right},
                       {"cmbAvailableDSG", "QComboBox", "Customers", Align::None, 1},
                       {"cmdOK", "QPushButton", "OK", Align::None, 2, "", true},
                       {"cmdCancel", "QPushButton", "Cancel", Align::None, 3},
                       {"cmdNew", "QPushButton", "New", Align::None, 4},
                   }));
  // The server's order, here that of its index on the names, with the DSG_IDs.
  std::string listed;
  for (int i = 0; i < dialog.cmbAvailableDSG->count(); ++i)
    listed += dialog.cmbAvailableDSG->itemText(i).toStdString() + "=" +
              std::to_string(dialog.cmbAvailableDSG->itemData(i).toInt()) + " ";
  EXPECT_EQ(listed, "Customers=2 Orders=1 Products=3 ");
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
}

TEST_F(GuideSelectionDialog, OkSetsTheChosenGuideAndGoesWhereTheTagSaysCancelChangesNothing) {
  AddGuides({"A", "B", "C"});
  // {Tag, button, what is shown next and the current guide after}: any Tag
  // but the editors' keeps the dialog open, and tags compare exactly.
  const char* const rows[][3] = {{"searchtables", "cmdOK", "frmCorvantyDSGAdmin 2 Edit"},
                                 {"SearchTables", "cmdOK", "frmCorvantyTables 2 Edit"},
                                 {"SearchColumns", "cmdOK", "frmCorvantyColumns 2 Edit"},
                                 {"SearchTables", "cmdCancel", " 7 New"}};
  for (const auto& row : rows) {
    gintDSGID = 7;
    gstrDSGMode = kModeNew;
    frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
    dialog.Tag = row[0];
    dialog.Show();
    dialog.cmbAvailableDSG->setCurrentIndex(1);
    Click(dialog, row[1]);
    EXPECT_EQ(ShownDialogs() + " " + std::to_string(gintDSGID) + " " + gstrDSGMode, row[2])
        << row[0] << " " << row[1];
    CloseAllWindows();
  }
}

class DeleteGuideDialog : public testing::GuideDialogTest {
 protected:
  // Opens File > Delete, chooses guide id and clicks Delete, answering the
  // question with answer.
  frmCorvantyDSGDelete& DeleteAnswering(int id, int answer) {
    ChooseMenu("mnuDelete");
    frmCorvantyDSGDelete& dialog = frmCorvantyDSGDelete::Instance();
    dialog.cmbAvailableDSG->setCurrentIndex(dialog.cmbAvailableDSG->findData(id));
    boxes_->QueueAnswer(answer);
    Click(dialog, "cmdDelete");
    return dialog;
  }
};

TEST_F(DeleteGuideDialog, AppearsOnlyWithGuidesAndYesRemovesTheChosenGuidesRowsAlone) {
  for (int request = 0; request < 2; ++request) {  // loaded afresh, so it looks again
    ChooseMenu("mnuDelete");
    Settle();
    EXPECT_EQ(frmCorvantyDSGDelete::Existing(), nullptr);
  }
  EXPECT_EQ(Boxes(),
            "0 There are no Database Search Guides to delete!\n"
            "0 There are no Database Search Guides to delete!\n");
  boxes_->Clear();
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
  CloseAllWindows();
  DeleteAnswering(1, vbNo);
  Settle();
  DeleteAnswering(2, vbYes);
  EXPECT_EQ(ShownDialogs() + Boxes(), "4 Delete this item?\n4 Delete this item?\n");
  EXPECT_EQ(RowsOfGuide(1) + " " + RowsOfGuide(2), "1 1 2 0 0 0");
}

TEST_F(DeleteGuideDialog, AFailedDeletionLeavesTheGuideWholeAndTheDialogOpen) {
  AddGuides({"Orders"});
  // The column rows are the last to go: everything before them must come back.
  testing::ExecSqlite(db_,
                      "CREATE TRIGGER keep_columns BEFORE DELETE ON Db_Search_Guide_Cols "
                      "BEGIN SELECT RAISE(ABORT, 'column settings are locked'); END");
  frmCorvantyDSGDelete& dialog = DeleteAnswering(1, vbYes);
  EXPECT_EQ(RowsOfGuide(1) + " " + ShownDialogs(), "1 1 2 frmCorvantyDSGDelete");
  EXPECT_EQ(Boxes(), "4 Delete this item?\n48 [[[SQLite]column settings are locked (19)]]\n");
  // Once the cause is gone, the same dialog deletes the guide.
  testing::ExecSqlite(db_, "DROP TRIGGER keep_columns");
  boxes_->QueueAnswer(vbYes);
  Click(dialog, "cmdDelete");
  EXPECT_EQ(RowsOfGuide(1), "0 0 0");
}

}  // namespace
}  // namespace corvanty
