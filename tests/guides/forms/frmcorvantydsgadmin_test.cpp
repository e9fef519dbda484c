#include "guides/forms/frmcorvantydsgadmin.h"

#include <QComboBox>
#include <QLineEdit>

#include "guidedialogtest.h"
#include "guides/forms/frmcorvantynewdsg.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;
using GuideSelectionDialog = testing::GuideDialogTest;

TEST_F(GuideSelectionDialog, WithNoGuideNewLeadsOnToTheTablesEditorEvenFromSearchColumns) {
  ChooseMenu("mnuSearchColumns");
  frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
  EXPECT_EQ(dialog.cmbAvailableDSG->count(), 1);
  EXPECT_EQ(dialog.cmbAvailableDSG->currentText(), "(NEW)");
  Click(dialog, "cmdOK");
  frmCorvantyNewDSG::Existing()->txtDSGName->setText("Orders");
  Click(*frmCorvantyNewDSG::Existing(), "cmdOK");
  EXPECT_EQ(ShownDialogs() + std::to_string(gintDSGID) + gstrDSGMode + Boxes(),
            "frmCorvantyTables1New");
}

TEST_F(GuideSelectionDialog, ListsTheGuidesInTheServersOrderFirstSelectedAndNewStartsAnother) {
  AddGuides({"Orders", "Customers", "Products"});
  ChooseMenu("mnuSearchTables");
  frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
  using testing::Align;
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

}  // namespace
}  // namespace corvanty
