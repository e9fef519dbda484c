#include "guides/forms/frmcorvantydsgdelete.h"

#include <QComboBox>

#include "guidedialogtest.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using testing::ExecSqlite;

class DeleteGuideDialog : public testing::GuideDialogTest {
 protected:
  // Opens File > Delete, chooses guide id and clicks Delete, answering the
  // question with answer.
  frmCorvantyDSGDelete& DeleteAnswering(int id, int answer) {
    ChooseMenu("mnuDelete");
    frmCorvantyDSGDelete& dialog = frmCorvantyDSGDelete::Instance();
    EXPECT_EQ(ShownDialogs(), "frmCorvantyDSGDelete");
    dialog.cmbAvailableDSG->setCurrentIndex(dialog.cmbAvailableDSG->findData(id));
    boxes_->QueueAnswer(answer);
    Click(dialog, "cmdDelete");
    return dialog;
  }
};

TEST_F(DeleteGuideDialog, WithNoGuideEachRequestSaysSoAndTheDialogNeverAppears) {
  ChooseMenu("mnuDelete");
  EXPECT_EQ(Boxes(), "0 There are no Database Search Guides to delete!\n");
  EXPECT_EQ(frmCorvantyDSGDelete::Existing(), nullptr);
  Settle();
  ChooseMenu("mnuDelete");
  EXPECT_EQ(boxes_->Shown().size(), 2u);  // loaded afresh, so it looked again
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
  EXPECT_EQ(ShownDialogs(), "");
  Settle();
  boxes_->Clear();
  DeleteAnswering(2, vbYes);
  EXPECT_EQ(ShownDialogs(), "");
  EXPECT_EQ(Boxes(), "4 Delete this item?\n");
  EXPECT_EQ(RowsOfGuide(1), "1 1 2");
  EXPECT_EQ(RowsOfGuide(2), "0 0 0");
}

TEST_F(DeleteGuideDialog, AFailedDeletionLeavesTheGuideWholeAndTheDialogOpen) {
  AddGuides({"Orders"});
  // The column rows are the last to go: everything before them must come back.
  ExecSqlite(db_,
             "CREATE TRIGGER keep_columns BEFORE DELETE ON Db_Search_Guide_Cols "
             "BEGIN SELECT RAISE(ABORT, 'column settings are locked'); END");
  frmCorvantyDSGDelete& dialog = DeleteAnswering(1, vbYes);
  EXPECT_EQ(RowsOfGuide(1), "1 1 2");
  ASSERT_EQ(boxes_->Shown().size(), 2u);
  const MessageBoxRequest& error = boxes_->Shown()[1];
  EXPECT_EQ(error.prompt.rfind("[[", 0), 0u) << error.prompt;
  EXPECT_NE(error.prompt.find("column settings are locked"), std::string::npos) << error.prompt;
  EXPECT_EQ(error.style, vbOKOnly + vbExclamation);
  EXPECT_EQ(ShownDialogs(), "frmCorvantyDSGDelete");

  // Once the cause is gone, the same dialog deletes the guide.
  ExecSqlite(db_, "DROP TRIGGER keep_columns");
  boxes_->QueueAnswer(vbYes);
  Click(dialog, "cmdDelete");
  EXPECT_EQ(RowsOfGuide(1), "0 0 0");
}

}  // namespace
}  // namespace corvanty
