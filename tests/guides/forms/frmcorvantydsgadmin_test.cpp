#include "guides/forms/frmcorvantydsgadmin.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "guidedialogtest.h"
#include "guides/forms/frmcorvantycolumns.h"
#include "guides/forms/frmcorvantynewdsg.h"
#include "guides/forms/frmcorvantytables.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

class GuideSelectionDialog : public testing::GuideDialogTest {
 protected:
  // Opens the dialog from the menu entry that sets its Tag.
  frmCorvantyDSGAdmin& OpenFromMenu(const char* entry) {
    ChooseMenu(entry);
    return frmCorvantyDSGAdmin::Instance();
  }

  // Guides A, B, C exist; returns B's DSG_ID.
  int AddThreeGuides() { return AddGuides({"A", "B", "C"})[1]; }

  static void ConfirmSecondGuide(frmCorvantyDSGAdmin& dialog) {
    dialog.cmbAvailableDSG->setCurrentIndex(1);
    Click(dialog, "cmdOK");
  }
};

TEST_F(GuideSelectionDialog, WithNoGuideNewLeadsOnToTheTablesEditorEvenFromSearchColumns) {
  frmCorvantyDSGAdmin& dialog = OpenFromMenu("mnuSearchColumns");
  ASSERT_EQ(dialog.cmbAvailableDSG->count(), 1);
  EXPECT_EQ(dialog.cmbAvailableDSG->currentText(), "(NEW)");
  Click(dialog, "cmdOK");
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), nullptr);
  frmCorvantyNewDSG* create = frmCorvantyNewDSG::Existing();
  ASSERT_NE(create, nullptr);
  EXPECT_TRUE(create->isVisible());

  create->txtDSGName->setText("Orders");
  Click(*create, "cmdOK");
  EXPECT_EQ(frmCorvantyColumns::Existing(), nullptr);
  ASSERT_NE(frmCorvantyTables::Existing(), nullptr);
  EXPECT_TRUE(frmCorvantyTables::Existing()->isVisible());
  EXPECT_EQ(gintDSGID, 1);
  EXPECT_EQ(gstrDSGMode, "New");
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(GuideSelectionDialog, ListsExactlyTheGuidesInTheServersOrderWithTheFirstSelected) {
  AddGuides({"Orders", "Customers", "Products"});
  // The server's order, here that of its index on the names, not the insertion order.
  auto rows = testing::QuerySqlite(db_, "SELECT DSG_name, DSG_ID FROM Db_Search_Guides");
  ASSERT_EQ(*rows[0][0], "Customers");
  QComboBox* list = OpenFromMenu("mnuSearchTables").cmbAvailableDSG;
  ASSERT_EQ(list->count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list->itemText(i).toStdString(), *rows[i][0]);
    EXPECT_EQ(std::to_string(list->itemData(i).toInt()), *rows[i][1]);
  }
  EXPECT_EQ(list->currentIndex(), 0);
}

TEST_F(GuideSelectionDialog, SearchTablesHandsTheChosenGuideToTheTablesEditor) {
  int b = AddThreeGuides();
  ConfirmSecondGuide(OpenFromMenu("mnuSearchTables"));
  EXPECT_EQ(gintDSGID, b);
  EXPECT_EQ(gstrDSGMode, "Edit");
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), nullptr);
  EXPECT_EQ(frmCorvantyColumns::Existing(), nullptr);
  ASSERT_NE(frmCorvantyTables::Existing(), nullptr);
  EXPECT_TRUE(frmCorvantyTables::Existing()->isVisible());
  EXPECT_EQ(frmCorvantyTables::Existing()->lblGuide->text(), "Guide 2, mode Edit");
}

TEST_F(GuideSelectionDialog, SearchColumnsHandsTheChosenGuideToTheColumnsEditor) {
  int b = AddThreeGuides();
  ConfirmSecondGuide(OpenFromMenu("mnuSearchColumns"));
  EXPECT_EQ(gintDSGID, b);
  EXPECT_EQ(gstrDSGMode, "Edit");
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), nullptr);
  EXPECT_EQ(frmCorvantyTables::Existing(), nullptr);
  ASSERT_NE(frmCorvantyColumns::Existing(), nullptr);
  EXPECT_TRUE(frmCorvantyColumns::Existing()->isVisible());
}

TEST_F(GuideSelectionDialog, AnyOtherTagSetsTheGuideAndStaysOpen) {
  int b = AddThreeGuides();
  frmCorvantyDSGAdmin& dialog = frmCorvantyDSGAdmin::Instance();
  dialog.Tag = "searchtables";  // compared exactly
  dialog.Show();
  ConfirmSecondGuide(dialog);
  EXPECT_EQ(gintDSGID, b);
  EXPECT_EQ(gstrDSGMode, "Edit");
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), &dialog);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(frmCorvantyTables::Existing(), nullptr);
  EXPECT_EQ(frmCorvantyColumns::Existing(), nullptr);
}

TEST_F(GuideSelectionDialog, NewStartsANewGuideWhenGuidesExist) {
  AddGuides({"Orders"});
  gstrDSGMode = kModeEdit;
  Click(OpenFromMenu("mnuSearchTables"), "cmdNew");
  EXPECT_EQ(gstrDSGMode, "New");
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), nullptr);
  ASSERT_NE(frmCorvantyNewDSG::Existing(), nullptr);
  EXPECT_TRUE(frmCorvantyNewDSG::Existing()->isVisible());
}

TEST_F(GuideSelectionDialog, CancelInEitherDialogChangesNeitherVariable) {
  AddGuides({"Orders", "Customers"});
  gintDSGID = 7;
  gstrDSGMode = kModeEdit;
  frmCorvantyDSGAdmin& select = OpenFromMenu("mnuSearchTables");
  select.cmbAvailableDSG->setCurrentIndex(1);
  Click(select, "cmdCancel");
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), nullptr);

  ChooseMenu("mnuDbSG");
  frmCorvantyNewDSG& create = frmCorvantyNewDSG::Instance();
  create.txtDSGName->setText("Suppliers");
  Click(create, "cmdCancel");
  EXPECT_EQ(frmCorvantyNewDSG::Existing(), nullptr);

  EXPECT_EQ(gintDSGID, 7);
  EXPECT_EQ(gstrDSGMode, "Edit");
  EXPECT_EQ(GuideCount(), 2);
  EXPECT_EQ(frmCorvantyTables::Existing(), nullptr);
}

}  // namespace
}  // namespace corvanty
