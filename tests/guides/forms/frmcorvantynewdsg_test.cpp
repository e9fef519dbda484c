#include "guides/forms/frmcorvantynewdsg.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "guidedialogtest.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

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

TEST_F(NewGuideDialog, ShowsItsControlsInTheirTabOrder) {
  using testing::Align;
  ChooseMenu("mnuDbSG");
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

TEST_F(NewGuideDialog, ACreatedGuideIsStoredExactlyAndHandedToTheTablesEditor) {
  AddGuides({"Customers", "Suppliers"});
  // The next number does not fit in 16 bits; the current guide holds it whole.
  testing::ExecSqlite(db_,
                      "UPDATE sqlite_sequence SET seq = 70000 WHERE name = 'Db_Search_Guides'");
  // Apostrophes stored as typed; lengths counted in characters, not bytes.
  QString name = "O'Brien's " + QString(40, QChar(0x00E9));
  QString description = "Customers' 'best' " + QString(237, QChar(0x00FC));
  const std::string after = Enter(name, description, "cmdOK");
  EXPECT_EQ(after + std::to_string(gintDSGID), "New3 frmCorvantyTables70001");
  EXPECT_EQ(Value("SELECT DSG_ID || '|' || DSG_name || '|' || DSG_description FROM Db_Search_Guides"
                  " WHERE DSG_ID > 2"),
            "70001|" + name.toStdString() + "|" + description.toStdString());
}

}  // namespace
}  // namespace corvanty
