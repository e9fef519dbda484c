// SPDX-License-Identifier: Apache-2.0
// The main window: start-up through the splash, its size, the placing of
// dialogs on it, its menu and what each entry does.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/forms/frmcorvantysplash.h"
#include "app/forms/mdicorvantymain.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "guides/forms/frmcorvantydsgadmin.h"
#include "guides/forms/guidedialogtest.h"
#include "support/forms/inventory.h"
#include "ui/forms/backgroundwork.h"
#include "ui/forms/positionform.h"

namespace corvanty {
namespace {

using MainWindow = testing::GuiTest;
using testing::Align;

TEST_F(MainWindow, TheSplashShowsTheVersionAndStartsTheApplicationOnce) {
  frmCorvantySplash& splash = frmCorvantySplash::Instance();
  splash.Show();
  EXPECT_INVENTORY(splash, "",
                   (std::vector<testing::ControlRow>{
                       {"Frame1", "QFrame", ""},
                       {"lblCompanyProduct", "QLabel", "Velmorastine", Align::Left},
                       {"lblProductName", "QLabel", "CorvantyAdmin", Align::Left},
                       {"lblPlatform", "QLabel", "For : MS SQL Server", Align::Left},
                       {"lblVersion", "QLabel", "Version 1.1.0", Align::Left},
                       {"lblWarning", "QLabel", "Warning", Align::Left},
                       {"lblCompany", "QLabel", "Velmorastine, Inc.", Align::Left},
                   }));
  EXPECT_TRUE(splash.Timer1->isActive() && splash.Timer1->interval() == 10000);
  EXPECT_EQ(mdiCorvantyMain::Existing(), nullptr);

  splash.Frame1_Click();
  mdiCorvantyMain* main = mdiCorvantyMain::Existing();
  ASSERT_TRUE(main && main->isVisible() && !frmCorvantySplash::Existing());
  // A late tick on the dismissed window starts nothing more, not even once
  // the main window is gone.
  main->Unload();
  splash.Timer1_Timer();
  EXPECT_EQ(mdiCorvantyMain::Existing(), nullptr);
  Settle();
}

TEST_F(MainWindow, TakesThreeQuartersOfTheScreenAndCentresDialogsOnItsWidth) {
  // The offscreen screen: 800 x 800 pixels at 96 dots per inch, 15 twips a
  // pixel. 12000 twips less Int(3000) is 9000, 600 pixels.
  mdiCorvantyMain& main = mdiCorvantyMain::Instance();
  main.Show();
  EXPECT_EQ(main.frameGeometry().size(), QSize(600, 600));

  // A main window of 900 x 677 pixels (outer size, its frame included) is
  // 13500 x 10155 twips; its eighth, Int(1269.375) = 1269 twips, is 84.6
  // pixels: 85. A dialog 501 pixels (7515 twips) wide goes to
  // Int(6750 - 3757.5) = 2992 twips, 199.47 pixels; one 1003 pixels wide to
  // Int(-772.5) = -773, -51.53 pixels.
  main.resize(QSize(900, 677) - (main.frameGeometry().size() - main.size()));
  for (const auto& [width, at] : {std::pair{501, QPoint(199, 85)}, {1003, QPoint(-52, 85)}}) {
    QDialog dialog;
    dialog.setFixedSize(width, 300);
    PositionForm(dialog);
    EXPECT_EQ(dialog.pos(), at) << width;
  }
}

// The menu as it shows, depth first: each entry's name and caption,
// indented one blank per level below the bar.
std::string MenuTree(const QList<QAction*>& actions, const std::string& indent = "") {
  std::string tree;
  for (QAction* action : actions) {
    tree += indent + action->objectName().toStdString() + " " + action->text().toStdString() +
            (action->isEnabled() && action->shortcut().isEmpty() ? "\n" : " (disabled or key)\n");
    if (QMenu* sub = action->menu()) tree += MenuTree(sub->actions(), indent + " ");
  }
  return tree;
}

TEST_F(MainWindow, CarriesTheCaptionAndTheWholeMenuTreeInOrder) {
  mdiCorvantyMain& main = mdiCorvantyMain::Instance();
  EXPECT_EQ(main.windowTitle(), "Database Search Guide Administrator - Velmorastine Corvanty");
  EXPECT_EQ(MenuTree(main.menuBar()->actions()),
            "mnuFile &File\n"
            " mnuNew &New\n"
            "  mnuDbSG Db &Search Guide\n"
            " mnuDelete &Delete\n"
            " mnuExit &Exit\n"
            "mnuAdminister &Administer\n"
            " mnuConnections &Connections\n"
            " mnuSearchTables Db Search &Tables\n"
            " mnuSearchColumns Db Search &Columns\n"
            "mnuTools &Tools\n"
            " mnuTestDSG Test Db Search Guide\n"
            " mnuRebuildSearchEngine Rebuild Search Engine\n"
            " mnuRebuildControlTable Rebuild Control Table\n"
            "  mnuSearchGuideS Db_Search_Guides\n"
            "  mnuSearchGuideCols Db_Search_Guide_Cols\n"
            "  mnuSearchGuideTables Db_Search_Guide_Tables\n"
            "  mnuSearchGuideSQL Db_Search_Guide_SQL\n"
            "  mnuSearchGuideUnique Db_Search_Guide_Unique\n"
            " mnuSearchIndexes Search &Indexes\n");
}

const char* const kTables[] = {"Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols",
                               "Db_Search_Guide_SQL", "Db_Search_Guide_Unique"};

using MenuEntries = testing::GuideDialogTest;

// Each entry chosen on an active SQLite database holding one guide (its row,
// its tables row and two column rows) and a row in each scratch table: the
// dialogs shown (with the selection dialog's Tag), the boxes, and the guide
// tables left without rows.
TEST_F(MenuEntries, EachEntryShowsItsDialogOrRebuildsExactlyItsTable) {
  const std::string guides_question =
      "52 This will delete all data in the table! WARNING! This will also reset the DSG_ID "
      "Identity column to 1!! If you drop and recreate this table, you will need to set the "
      "identity seed to an appropriate number (only if you have any existing Db Search Guides). "
      "Proceed?\n";
  const std::string data_question = "52 This will delete all data in the table! Proceed?\n";
  const struct {
    const char* entry;
    int answer;
    const char* shown;
    std::string boxes;
    const char* emptied;
  } rows[] = {
      {"mnuDbSG", vbOK, "frmCorvantyNewDSG", "", ""},
      {"mnuDelete", vbOK, "frmCorvantyDSGDelete", "", ""},
      {"mnuConnections", vbOK, "frmCorvantyConnect", "", ""},
      {"mnuSearchTables", vbOK, "frmCorvantyDSGAdmin Tag=SearchTables", "", ""},
      {"mnuSearchColumns", vbOK, "frmCorvantyDSGAdmin Tag=SearchColumns", "", ""},
      {"mnuTestDSG", vbOK, "frmCorvantyTest", "", ""},
      {"mnuRebuildSearchEngine", vbOK, "",
       "0 This database is searched by Corvanty's built-in search engine, so it needs no search "
       "procedure and nothing was installed.\n",
       ""},
      {"mnuSearchGuideS", vbNo, "", guides_question, ""},
      {"mnuSearchGuideS", vbYes, "", guides_question + "0 'Db_Search_Guides' created.\n",
       "Db_Search_Guides"},
      {"mnuSearchGuideCols", vbNo, "", data_question, ""},
      {"mnuSearchGuideCols", vbYes, "", data_question + "0 'Db_Search_Guide_Cols' created.\n",
       "Db_Search_Guide_Cols"},
      {"mnuSearchGuideTables", vbNo, "", data_question, ""},
      {"mnuSearchGuideTables", vbYes, "", data_question + "0 'Db_Search_Guide_Tables' created.\n",
       "Db_Search_Guide_Tables"},
      {"mnuSearchGuideSQL", vbOK, "", "0 'Db_Search_Guide_SQL' created.\n", "Db_Search_Guide_SQL"},
      {"mnuSearchGuideUnique", vbOK, "", "0 'Db_Search_Guide_Unique' created.\n",
       "Db_Search_Guide_Unique"},
      {"mnuSearchIndexes", vbOK, "frmCorvantySearchIndexes", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.entry) + " answered " + std::to_string(row.answer));
    CloseAllWindows();
    for (const char* table : kTables) Exec(std::string("DELETE FROM ") + table);
    AddGuides({"Orders"});
    Exec(
        "INSERT INTO Db_Search_Guide_SQL VALUES (1, 1, 1, 'SELECT 1');"
        "INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1);");
    boxes_->Clear();
    boxes_->QueueAnswer(row.answer);
    ChooseMenu(row.entry);
    WaitForBackgroundWork();
    std::string shown = ShownDialogs(), emptied;
    if (frmCorvantyDSGAdmin* dialog = frmCorvantyDSGAdmin::Existing())
      shown += " Tag=" + dialog->Tag.toStdString();
    for (const char* table : kTables)
      if (Value(std::string("SELECT count(*) FROM ") + table) == "0") emptied += table;
    EXPECT_EQ(shown + "|" + Boxes() + "|" + emptied,
              std::string(row.shown) + "|" + row.boxes + "|" + row.emptied);
  }
}

// Without an active connection each entry that works on the database says
// so and opens or changes nothing; Connections still opens its dialog.
TEST_F(MenuEntries, WithoutAnActiveConnectionEachDatabaseEntrySaysSo) {
  AddGuides({"Orders"});
  basCorvantyAdmin::gstrConnect.clear();
  const std::string none = "48 No connection is active. Choose one in Administer > Connections.\n";
  const std::pair<const char*, std::string> rows[] = {
      {"mnuDbSG", none},
      {"mnuDelete", none},
      {"mnuSearchTables", none},
      {"mnuSearchColumns", none},
      {"mnuTestDSG", none},
      {"mnuRebuildSearchEngine", none},
      {"mnuSearchGuideS", none},
      {"mnuSearchGuideCols", none},
      {"mnuSearchGuideTables", none},
      {"mnuSearchGuideSQL", none},
      {"mnuSearchGuideUnique", none},
      {"mnuSearchIndexes", none},
      {"mnuConnections", "frmCorvantyConnect"},
  };
  for (const auto& [entry, seen] : rows) {
    CloseAllWindows();
    boxes_->Clear();
    ChooseMenu(entry);
    EXPECT_EQ(Boxes() + ShownDialogs(), seen) << entry;
  }
  EXPECT_EQ(RowsOfGuide(1), "1 1 2");
}

TEST_F(MenuEntries, AnOpenDialogIsBroughtForwardAsLoadedTheLastTagWinsAndExitLeavesItOpen) {
  AddGuides({"Orders", "Customers"});
  ChooseMenu("mnuSearchTables");
  frmCorvantyDSGAdmin* dialog = frmCorvantyDSGAdmin::Existing();
  ASSERT_NE(dialog, nullptr);
  ChooseMenu("mnuSearchColumns");
  ChooseMenu("mnuConnections");
  ChooseMenu("mnuConnections");
  // The same dialog, not a second one, each guide and connection listed once.
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), dialog);
  EXPECT_EQ(dialog->Tag.toStdString() + std::to_string(dialog->cmbAvailableDSG->count()) +
                std::to_string(frmCorvantyConnect::Existing()->cmbAvailableDb->count()) + " " +
                ShownDialogs(),
            "SearchColumns21 frmCorvantyConnect frmCorvantyDSGAdmin");

  ChooseMenu("mnuExit");
  EXPECT_TRUE(!mdiCorvantyMain::Existing() && frmCorvantyDSGAdmin::Existing() == dialog &&
              dialog->isVisible());
}

}  // namespace
}  // namespace corvanty
