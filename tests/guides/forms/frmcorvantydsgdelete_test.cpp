#include "guides/forms/frmcorvantydsgdelete.h"

#include <QComboBox>
#include <QEvent>

#include "guidedialogtest.h"

namespace corvanty {
namespace {

using testing::ExecSqlite;

// Counts every time the deletion dialog becomes visible.
class ShowCounter : public QObject {
 public:
  ShowCounter() { qApp->installEventFilter(this); }
  ~ShowCounter() override { qApp->removeEventFilter(this); }
  int shown = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->objectName() == "frmCorvantyDSGDelete") ++shown;
    return false;
  }
};

class DeleteGuideDialog : public testing::GuideDialogTest {
 protected:
  // Opens the dialog from File > Delete with the guide of the given number chosen.
  frmCorvantyDSGDelete& OpenChoosing(int id) {
    ChooseMenu("mnuDelete");
    EXPECT_NE(frmCorvantyDSGDelete::Existing(), nullptr) << "the dialog did not stay";
    frmCorvantyDSGDelete& dialog = frmCorvantyDSGDelete::Instance();
    EXPECT_TRUE(dialog.isVisible());
    dialog.cmbAvailableDSG->setCurrentIndex(dialog.cmbAvailableDSG->findData(id));
    return dialog;
  }

  void DeleteAnswering(int answer, frmCorvantyDSGDelete& dialog) {
    boxes_->QueueAnswer(answer);
    Click(dialog, "cmdDelete");
  }

  const std::vector<int> kWhole = {1, 1, 2};  // guide, tables row, two column rows
  const std::vector<int> kGone = {0, 0, 0};
};

TEST_F(DeleteGuideDialog, WithNoGuideEachRequestSaysSoAndTheDialogNeverAppears) {
  ShowCounter counter;
  ChooseMenu("mnuDelete");
  ExpectOnlyBox("There are no Database Search Guides to delete!", vbOKOnly);
  EXPECT_EQ(frmCorvantyDSGDelete::Existing(), nullptr);
  Settle();
  ChooseMenu("mnuDelete");
  EXPECT_EQ(boxes_->Shown().size(), 2u);  // loaded afresh, so it looked again
  EXPECT_EQ(counter.shown, 0);
}

TEST_F(DeleteGuideDialog, YesRemovesTheChosenGuidesRowsAndNoOthers) {
  std::vector<int> ids = AddGuides({"Customers", "Orders"});
  frmCorvantyDSGDelete& dialog = OpenChoosing(ids[1]);
  EXPECT_EQ(dialog.cmbAvailableDSG->count(), 2);
  DeleteAnswering(vbYes, dialog);
  ExpectOnlyBox("Delete this item?", vbYesNo);
  EXPECT_EQ(RowsOfGuide(ids[1]), kGone);
  EXPECT_EQ(RowsOfGuide(ids[0]), kWhole);
  EXPECT_EQ(frmCorvantyDSGDelete::Existing(), nullptr);

  // A guide without tables row or column settings goes without complaint.
  Settle();
  ExecSqlite(db_, "DELETE FROM Db_Search_Guide_Tables; DELETE FROM Db_Search_Guide_Cols");
  DeleteAnswering(vbYes, OpenChoosing(ids[0]));
  EXPECT_EQ(GuideCount(), 0);
  EXPECT_EQ(boxes_->Shown().size(), 2u);
}

TEST_F(DeleteGuideDialog, NoDeletesNothingAndCloses) {
  std::vector<int> ids = AddGuides({"Orders"});
  DeleteAnswering(vbNo, OpenChoosing(ids[0]));
  EXPECT_EQ(RowsOfGuide(ids[0]), kWhole);
  EXPECT_EQ(frmCorvantyDSGDelete::Existing(), nullptr);
}

TEST_F(DeleteGuideDialog, AFailedDeletionLeavesTheGuideWholeAndTheDialogOpen) {
  std::vector<int> ids = AddGuides({"Orders"});
  // The column rows are the last to go: everything before them must come back.
  ExecSqlite(db_,
             "CREATE TRIGGER keep_columns BEFORE DELETE ON Db_Search_Guide_Cols "
             "BEGIN SELECT RAISE(ABORT, 'column settings are locked'); END");
  frmCorvantyDSGDelete& dialog = OpenChoosing(ids[0]);
  DeleteAnswering(vbYes, dialog);
  EXPECT_EQ(RowsOfGuide(ids[0]), kWhole);
  ASSERT_EQ(boxes_->Shown().size(), 2u);
  const MessageBoxRequest& error = boxes_->Shown()[1];
  EXPECT_NE(error.prompt.find("column settings are locked"), std::string::npos) << error.prompt;
  EXPECT_EQ(error.prompt.rfind("[[", 0), 0u) << error.prompt;
  EXPECT_EQ(error.style, vbOKOnly + vbExclamation);
  EXPECT_EQ(error.title, kDefaultMsgBoxTitle);
  EXPECT_EQ(frmCorvantyDSGDelete::Existing(), &dialog);
  EXPECT_TRUE(dialog.isVisible());

  // Once the cause is gone, the same dialog deletes the guide.
  ExecSqlite(db_, "DROP TRIGGER keep_columns");
  DeleteAnswering(vbYes, dialog);
  EXPECT_EQ(RowsOfGuide(ids[0]), kGone);
}

}  // namespace
}  // namespace corvanty
