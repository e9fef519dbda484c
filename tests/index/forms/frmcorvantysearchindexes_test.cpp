// SPDX-License-Identifier: Apache-2.0
#include "index/forms/frmcorvantysearchindexes.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "index/forms/indexedguidetest.h"
#include "index/searchindexbuild.h"
#include "support/forms/inventory.h"

namespace corvanty {
namespace {

using testing::Align;

class SearchIndexDialog : public testing::IndexedGuideTest {
 protected:
  // Waits until the dialog's work has ended.
  static void WaitIdle(const frmCorvantySearchIndexes& dialog) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.cmdRefresh->isEnabled(); }, 60000));
  }

  // The list as shown, a line per guide, the byte count "#" when it is one;
  // then the status line and the build button's caption and state.
  static std::string Shown(const frmCorvantySearchIndexes& dialog) {
    std::string shown;
    for (int row = 0; row < dialog.lvwIndexes->topLevelItemCount(); ++row) {
      const QTreeWidgetItem* item = dialog.lvwIndexes->topLevelItem(row);
      for (int column = 0; column < 5; ++column) {
        QString text = item->text(column);
        if (column == 3 && text.toLongLong() > 0) text = "#";
        shown += text.toStdString() + (column < 4 ? "|" : "\n");
      }
    }
    return shown + dialog.lblStatus->text().toStdString() + "\n" +
           dialog.cmdBuild->text().toStdString() + (dialog.cmdBuild->isEnabled() ? "+" : "-") +
           " Drop" + (dialog.cmdDrop->isEnabled() ? "+" : "-");
  }

  static void Select(frmCorvantySearchIndexes& dialog, int row) {
    dialog.lvwIndexes->setCurrentItem(dialog.lvwIndexes->topLevelItem(row));
  }
};

TEST_F(SearchIndexDialog, ShowsItsControlsInTheirTabOrder) {
  ChooseMenu("mnuSearchIndexes");
  frmCorvantySearchIndexes* dialog = frmCorvantySearchIndexes::Existing();
  ASSERT_NE(dialog, nullptr);
  WaitIdle(*dialog);
  Select(*dialog, 0);  // a guide without an index: Drop takes no tab stop
  const std::vector<testing::ControlRow> rows = {
      {"Label1", "QLabel", "Search indexes of the Database Search Guides :", Align::Left},
      {"lvwIndexes", "QTreeWidget", "", Align::None, 1},
      {"lblStatus", "QLabel", "", Align::Left},
      {"cmdBuild", "QPushButton", "Build", Align::None, 2},
      {"cmdDrop", "QPushButton", "Drop", Align::None, 0},
      {"cmdRefresh", "QPushButton", "Refresh", Align::None, 3, "", true},
      {"cmdClose", "QPushButton", "Close", Align::None, 4},
  };
  EXPECT_INVENTORY(*dialog, "Search Indexes", rows);
  QStringList headers;
  for (int column = 0; column < dialog->lvwIndexes->columnCount(); ++column)
    headers << dialog->lvwIndexes->headerItem()->text(column);
  EXPECT_EQ(headers.join('|').toStdString(), "DSG_ID|State|Rows|Bytes|Name");
}

// Chosen from the Tools menu: each guide listed; Build, Rebuild and Drop
// run in the background (the window says what it is doing as soon as the
// button is clicked) and the list shows what they did.
TEST_F(SearchIndexDialog, ListsBuildsRebuildsAndDropsTheSelectedGuidesIndex) {
  {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(basCorvantyAdmin::gstrConnect);
    BuildSearchIndex(connection, 1);
  }
  Exec("UPDATE customers SET city = 'Oslo' WHERE id = 2");  // kept up to date: guide 1 stays fresh
  Exec("UPDATE Db_Search_Guide_Tables SET WHERE_clause = 'WHERE id > 1' WHERE DSG_ID = 1");
  ChooseMenu("mnuSearchIndexes");
  frmCorvantySearchIndexes& dialog = *frmCorvantySearchIndexes::Existing();
  WaitIdle(dialog);
  EXPECT_EQ(Shown(dialog),
            "1|stale|3|#|By name\n"
            "2|absent|-|-|Oslo only\n"
            "\nBuild- Drop-");
  Select(dialog, 1);
  EXPECT_EQ(Shown(dialog).substr(Shown(dialog).rfind('\n') + 1), "Build+ Drop-");
  Click(dialog, "cmdBuild");
  EXPECT_EQ(dialog.lblStatus->text().toStdString() + (dialog.cmdBuild->isEnabled() ? "+" : "-"),
            "Building the search index of Database Search Guide 2...-");
  WaitIdle(dialog);
  EXPECT_EQ(Shown(dialog),
            "1|stale|3|#|By name\n"
            "2|fresh|3|#|Oslo only\n"
            "Built the search index of Database Search Guide 2.\nRebuild+ Drop+");
  Select(dialog, 0);
  Click(dialog, "cmdBuild");
  WaitIdle(dialog);
  EXPECT_EQ(Shown(dialog),
            "1|fresh|2|#|By name\n"
            "2|fresh|3|#|Oslo only\n"
            "Built the search index of Database Search Guide 1.\nRebuild+ Drop+");
  Click(dialog, "cmdDrop");
  WaitIdle(dialog);
  EXPECT_EQ(Shown(dialog),
            "1|absent|-|-|By name\n"
            "2|fresh|3|#|Oslo only\n"
            "Dropped the search index of Database Search Guide 1.\nBuild+ Drop-");
  EXPECT_EQ(StateRow(1), "-");
  // A guide that cannot be indexed says why; the list stays.
  Exec("UPDATE Db_Search_Guide_Cols SET Is_search_column = 0 WHERE DSG_ID = 1");
  Click(dialog, "cmdBuild");
  WaitIdle(dialog);
  EXPECT_EQ(Boxes().substr(0, 3), "48 ");
  EXPECT_EQ(Shown(dialog),
            "1|absent|-|-|By name\n"
            "2|fresh|3|#|Oslo only\n"
            "\nBuild+ Drop-");
}

}  // namespace
}  // namespace corvanty
