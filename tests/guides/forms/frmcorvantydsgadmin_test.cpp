#include "guides/forms/frmcorvantydsgadmin.h"

#include <QComboBox>
#include <QLineEdit>

#include "guidedialogtest.h"
#include "guides/forms/frmcorvantynewdsg.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

class GuideSelectionDialog : public testing::GuideDialogTest {
 protected:
  // Opens the dialog from the menu entry that sets its Tag.
  static frmCorvantyDSGAdmin& OpenFromMenu(const char* entry) {
    ChooseMenu(entry);
    return frmCorvantyDSGAdmin::Instance();
  }
};

TEST_F(GuideSelectionDialog, WithNoGuideNewLeadsOnToTheTablesEditorEvenFromSearchColumns) {
  frmCorvantyDSGAdmin& dialog = OpenFromMenu("mnuSearchColumns");
  ASSERT_EQ(dialog.cmbAvailableDSG->count(), 1);
  EXPECT_EQ(dialog.cmbAvailableDSG->currentText(), "(NEW)");
  Click(dialog, "cmdOK");
  ASSERT_EQ(ShownDialogs(), "frmCorvantyNewDSG");
  frmCorvantyNewDSG::Existing()->txtDSGName->setText("Orders");
  Click(*frmCorvantyNewDSG::Existing(), "cmdOK");
  EXPECT_EQ(ShownDialogs(), "frmCorvantyTables");
  EXPECT_EQ(gintDSGID, 1);
  EXPECT_EQ(gstrDSGMode, "New");
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(GuideSelectionDialog, ListsTheGuidesInTheServersOrderFirstSelectedAndNewStartsAnother) {
  AddGuides({"Orders", "Customers", "Products"});
  frmCorvantyDSGAdmin& dialog = OpenFromMenu("mnuSearchTables");
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
  // The server's order, here that of its index on the names: the names with
  // their DSG_IDs.
  std::string listed;
  for (int i = 0; i < dialog.cmbAvailableDSG->count(); ++i)
    listed += dialog.cmbAvailableDSG->itemText(i).toStdString() + "=" +
              std::to_string(dialog.cmbAvailableDSG->itemData(i).toInt()) + " ";
  EXPECT_EQ(listed, "Customers=2 Orders=1 Products=3 ");

  gstrDSGMode = kModeEdit;
  Click(dialog, "cmdNew");
  EXPECT_EQ(gstrDSGMode, "New");
  EXPECT_EQ(ShownDialogs(), "frmCorvantyNewDSG");
}

TEST_F(GuideSelectionDialog, OkSetsTheChosenGuideAndGoesWhereTheTagSaysCancelChangesNothing) {
  AddGuides({"A", "B", "C"});
  // {Tag, button, what is shown next, the current guide after}: any Tag but
  // the editors' keeps the dialog open, and tags compare exactly.
  const char* const rows[][4] = {{"searchtables", "cmdOK", "frmCorvantyDSGAdmin", "2 Edit"},
                                 {"SearchTables", "cmdOK", "frmCorvantyTables", "2 Edit"},
                                 {"SearchColumns", "cmdOK", "frmCorvantyColumns", "2 Edit"},
                                 {"SearchTables", "cmdCancel", "", "7 New"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row[0]) + " " + row[1]);
    gintDSGID = 7;
    gstrDSGMode = kModeNew;
    frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
    dialog.Tag = row[0];
    dialog.Show();
    dialog.cmbAvailableDSG->setCurrentIndex(1);
    Click(dialog, row[1]);
    EXPECT_EQ(ShownDialogs(), row[2]);
    EXPECT_EQ(std::to_string(gintDSGID) + " " + gstrDSGMode, row[3]);
    CloseAllWindows();
  }
}

}  // namespace
}  // namespace corvanty
