// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/frmcorvantytest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "guidedialogtest.h"
#include "guides/testsearch.h"
#include "support/forms/inventory.h"
#include "ui/forms/backgroundwork.h"
#include "ui/msgbox.h"

namespace corvanty {
namespace {

using testing::Align;

// Guides 1 "Colours" (names with blanks around them), 2 "Broken" (a FROM
// clause naming no table) and 3 "Slow" (a three-million-row scan that finds
// one row), each showing and searching one column, and 4 "Unfinished" (its
// tables chosen, no columns yet). SQLite lists them by name
// (Broken first), PostgreSQL as stored.
const char kGuides[] =
    "CREATE TABLE colours (name TEXT); INSERT INTO colours VALUES (' Red '), ('Green'), ('Blue ');"
    "INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (1, 'Colours'), (2, 'Broken'),"
    " (3, 'Slow'), (4, 'Unfinished'); INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, "
    "WHERE_clause) VALUES"
    " (1, 'FROM colours c', 'WHERE '), (2, 'FROM no_such_table c', 'WHERE '), (3, 'FROM (WITH"
    " RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 3000000) SELECT x AS"
    " name FROM n) c', 'WHERE '), (4, 'FROM colours c', 'WHERE '); INSERT INTO"
    " Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name) SELECT"
    " DSG_ID, 1, 'c', 'name' FROM Db_Search_Guides WHERE DSG_ID < 4;";

// Notes what the results box showed behind each message, each followed by
// "|", and answers as the next prompter does.
struct ResultsBehindBoxes : Prompter {
  ResultsBehindBoxes(const QPlainTextEdit& box, std::shared_ptr<Prompter> then)
      : results(box), next(std::move(then)) {}
  int Ask(const MessageBoxRequest& request) override {
    seen += results.toPlainText().toStdString() + "|";
    return next->Ask(request);
  }
  const QPlainTextEdit& results;
  std::shared_ptr<Prompter> next;
  std::string seen;
};

class TestDialog : public testing::OnEachServer<testing::GuideDialogTest> {
 protected:
  void TearDown() override {
    WaitForBackgroundWork();
    GuideDialogTest::TearDown();
  }

  // Chooses the guide, types the criteria, clicks Search! and waits for the
  // search to end: the boxes shown and the results.
  std::string Search(frmCorvantyTest& dialog, const char* guide, const char* criteria) {
    boxes_->Clear();
    dialog.cmbAvailableDSG->setCurrentText(guide);
    dialog.txtCriteria->clear();
    QTest::keyClicks(dialog.txtCriteria, criteria);
    Click(dialog, "cmdSearch");
    WaitForBackgroundWork();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.cmdSearch->isEnabled(); }));
    return Boxes() + dialog.txtResults->toPlainText().toStdString();
  }
};

INSTANTIATE_TEST_SUITE_P(, TestDialog, testing::kEachServer, testing::ServerParamName);

TEST_P(TestDialog, ShowsOnlyWithGuidesAndEachResultTrimmedOnALineReportingNoneOrAFailure) {
  ChooseMenu("mnuTestDSG");  // no guide: the dialog never shows
  EXPECT_EQ(Boxes(), "0 There are no Database Search Guides to test!\n");
  Settle();
  EXPECT_EQ(frmCorvantyTest::Existing(), nullptr);
  boxes_->Clear();
  Exec(kGuides);
  ChooseMenu("mnuTestDSG");  // a later request loads it again
  frmCorvantyTest& dialog = frmCorvantyTest::Instance();
  EXPECT_INVENTORY(
      dialog, "Test Db Search Guide",
      (std::vector<testing::ControlRow>{
          {"Label1", "QLabel", "Search Guide :", Align::Left},
          {"cmbAvailableDSG", "QComboBox", postgres() ? "Colours" : "Broken", Align::None, 1},
          {"Label2", "QLabel", "Search for :", Align::Left},
          {"txtCriteria", "QLineEdit", "", Align::Left, 2},
          {"cmdSearch", "QPushButton", "Search!", Align::None, 3, "", true},
          {"txtResults", "QPlainTextEdit", "", Align::None, 4},
          {"cmdCancel", "QPushButton", "Cancel", Align::None, 5},
      }));
  // {each entry's name and data, the connection values}
  std::string entries;
  for (int i = 0; i < dialog.cmbAvailableDSG->count(); ++i)
    entries += dialog.cmbAvailableDSG->itemText(i).toStdString() + "=" +
               std::to_string(dialog.cmbAvailableDSG->itemData(i).toInt()) + " ";
  EXPECT_EQ(entries + dialog.Corvanty1->DataSourceName + "|" + dialog.Corvanty1->UserID + "|" +
                dialog.Corvanty1->Password + Boxes(),
            postgres() ? "Colours=1 Broken=2 Slow=3 Unfinished=4 GuidesOnPostgres|corvanty|corvanty"
                       : "Broken=2 Colours=1 Slow=3 Unfinished=4 Guides|u|");

  // {guide, criteria, the boxes shown and the results}: each search replaces
  // the last one's results; after a failure the dialog still works.
  const std::string rows[][3] = {
      {"Colours", "e", "Red\nGreen\nBlue\n"},
      {"Colours", "zzz", "0 No results for criteria.\n"},
      {"Broken", "x",
       postgres() ? "48 [[ERROR: relation \"no_such_table\" does not exist;\nError while "
                    "executing the query]]\n"
                  : "48 [[[SQLite]no such table: no_such_table (1)]]\n"},
      {"Unfinished", "Red",
       "48 [[The Database Search Guide 'Unfinished' has no columns yet: define them in "
       "Administer > Db Search Columns.]]\n"},
      {"Colours", "Red", "Red\n"},
      {"Colours", "", "Red\nGreen\nBlue\n"},  // empty criteria are passed on as they are
  };
  auto behind = std::make_shared<ResultsBehindBoxes>(*dialog.txtResults, boxes_);
  SetPrompter(behind);
  for (const auto& row : rows)
    EXPECT_EQ(Search(dialog, row[0].c_str(), row[1].c_str()), row[2]) << row[1];
  SetPrompter(boxes_);
  // Each message is read over the earlier results; the box is emptied after.
  EXPECT_EQ(behind->seen, "Red\nGreen\nBlue\n|||");
  EXPECT_EQ(dialog.Corvanty1->SearchGuide + "|" + dialog.Corvanty1->Criteria, "Colours|");
  // The search behind the box ends each result with CR LF and, once
  // cancelled, reads no more.
  dialog.Corvanty1->SearchGuide = "Colours";
  dialog.Corvanty1->Criteria = "e";
  for (bool cancel : {false, true}) {
    std::atomic<bool> cancelled{cancel};
    TestSearchOutcome outcome = RunTestSearch(*dialog.Corvanty1, cancelled);
    EXPECT_EQ(std::to_string(outcome.found) + "|" + outcome.text + "|" + outcome.error,
              cancel ? "1||" : "1|Red\r\nGreen\r\nBlue\r\n|");
  }
  Click(dialog, "cmdCancel");
  EXPECT_EQ(ShownDialogs(), "");
}

TEST_P(TestDialog, ALongSearchLeavesTheWindowWorkingAndCancelCloses) {
  Exec(kGuides);
  ChooseMenu("mnuTestDSG");
  frmCorvantyTest& dialog = frmCorvantyTest::Instance();
  dialog.cmbAvailableDSG->setCurrentText("Slow");
  QTest::keyClicks(dialog.txtCriteria, "2999999");
  Click(dialog, "cmdSearch");
  // The event loop runs while the search does, and Cancel closes the dialog
  // before the search has ended.
  Settle();
  ASSERT_FALSE(dialog.cmdSearch->isEnabled()) << "the search ended too soon to test this";
  Click(dialog, "cmdCancel");
  Settle();
  EXPECT_EQ(frmCorvantyTest::Existing(), nullptr);
}

}  // namespace
}  // namespace corvanty
