// SPDX-License-Identifier: Apache-2.0
// What the tables and columns editors do to a guide's search index: an OK
// that changes nothing writes nothing, and an edit that leaves the index
// stale asks whether to build it again.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "guides/forms/frmcorvantycolumns.h"
#include "guides/forms/frmcorvantytables.h"
#include "index/forms/frmcorvantysearchindexes.h"
#include "index/forms/indexedguidetest.h"
#include "index/searchindexbuild.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

class EditorsAndIndex : public testing::IndexedGuideTest {
 protected:
  void SetUp() override {
    IndexedGuideTest::SetUp();
    rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
    BuildSearchIndex(connection, 1);
    BuildSearchIndex(connection, 2);
  }

  // Opens guide 1 in the editor of that form, as the administrator's
  // selection dialog does.
  template <class Editor>
  static Editor& Edit() {
    gstrDSGMode = kModeEdit;
    gintDSGID = 1;
    Editor::Instance().Show();
    return Editor::Instance();
  }

  const std::string kStaleQuestion =
      "4 The search index of Database Search Guide 1 is stale now: the guide changed since it "
      "was built. Searches of the guide scan its tables until the index is built again. Build "
      "it again now?\n";
};

TEST_F(EditorsAndIndex, AnOkThatChangesNothingWritesNothingAndKeepsTheIndexFresh) {
  const std::string rows = GuideRows(), state = StateRow(1);
  ASSERT_EQ(state.substr(0, 10), "fresh|-1|3");  // three customers
  // The tables editor, then the columns editor it hands over to.
  Click(Edit<frmCorvantyTables>(), "cmdOK");
  ASSERT_EQ(ShownDialogs(), "frmCorvantyColumns");
  Click(*frmCorvantyColumns::Existing(), "cmdOK");
  // The columns editor on its own.
  Click(Edit<frmCorvantyColumns>(), "cmdOK");
  EXPECT_EQ(Boxes() + "|" + ShownDialogs(), "0 Query Syntax OK.\n|");
  EXPECT_EQ(GuideRows(), rows);
  EXPECT_EQ(StateRow(1), state);
}

TEST_F(EditorsAndIndex, AnEditThatLeavesTheIndexStaleOffersToBuildItAgain) {
  for (int answer : {vbNo, vbYes}) {
    SCOPED_TRACE(answer);
    CloseAllWindows();
    boxes_->Clear();
    frmCorvantyTables& tables = Edit<frmCorvantyTables>();
    tables.txtWHERE->setPlainText(answer == vbYes ? "name <> 'Bob'" : "name <> 'Ann'");
    Click(tables, "cmdOK");
    boxes_->QueueAnswer(answer);
    Click(*frmCorvantyColumns::Existing(), "cmdOK");
    EXPECT_EQ(Boxes(), "0 Query Syntax OK.\n" + kStaleQuestion);
    if (answer == vbNo) {
      EXPECT_EQ(ShownDialogs() + "|" + StateRow(1).substr(0, 9), "|stale|0|3");
      continue;
    }
    // Built again in the search index dialog: Ann and Cy are the guide's rows.
    frmCorvantySearchIndexes* dialog = frmCorvantySearchIndexes::Existing();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->cmdRefresh->isEnabled(); }, 60000));
    EXPECT_EQ(
        ShownDialogs() + "|" + StateRow(1).substr(0, 10) + "|" +
            dialog->lblStatus->text().toStdString(),
        "frmCorvantySearchIndexes|fresh|-1|2|Built the search index of Database Search Guide 1.");
  }
  // The columns editor's Cancel asks too after clauses changed, and says
  // nothing after clauses left as they were.
  const std::pair<const char*, std::string> cases[] = {
      {"name <> 'Cy'", "0 Query Syntax OK.\n" + kStaleQuestion},
      {"name <> 'Cy'", "0 Query Syntax OK.\n"}};
  for (const auto& [where, boxes] : cases) {
    CloseAllWindows();
    boxes_->Clear();
    frmCorvantyTables& tables = Edit<frmCorvantyTables>();
    tables.txtWHERE->setPlainText(where);
    Click(tables, "cmdOK");
    boxes_->QueueAnswer(vbNo);
    Click(*frmCorvantyColumns::Existing(), "cmdCancel");
    EXPECT_EQ(Boxes() + "|" + ShownDialogs(), boxes + "|");
  }
}

TEST_F(EditorsAndIndex, ColumnsChangedAfterUnchangedClausesAskToo) {
  frmCorvantyColumns& columns = Edit<frmCorvantyColumns>();
  columns.lstAvailableCols->setCurrentRow(0);
  columns.txtListColSep->setText("; ");
  Click(columns, "cmdApply");
  boxes_->QueueAnswer(vbNo);
  Click(columns, "cmdOK");
  EXPECT_EQ(Boxes(), kStaleQuestion);
  EXPECT_EQ(StateRow(1).substr(0, 6), "stale|");
  EXPECT_EQ(StateRow(2).substr(0, 6), "fresh|");  // the other guide's index is untouched
}

}  // namespace
}  // namespace corvanty
