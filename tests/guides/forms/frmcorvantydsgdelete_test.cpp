#include "guides/forms/frmcorvantydsgdelete.h"

#include <QComboBox>

#include "guidedialogtest.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

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

TEST_F(DeleteGuideDialog, WithNoGuideEachRequestSaysSoAndTheDialogNeverAppears) {
  for (int request = 0; request < 2; ++request) {  // loaded afresh, so it looks again
    ChooseMenu("mnuDelete");
    Settle();
    EXPECT_EQ(frmCorvantyDSGDelete::Existing(), nullptr);
  }
  EXPECT_EQ(Boxes(),
            "0 There are no Database Search Guides to delete!\n"
            "0 There are no Database Search Guides to delete!\n");
}

TEST_F(DeleteGuideDialog, YesRemovesTheChosenGuidesRowsAndNoOthersNoDeletesNothing) {
  AddGuides({"Customers", "Orders"});
  ChooseMenu("mnuDelete");
  using testing::Align;
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
