// The main window: start-up through the splash, its size, the placing of
// dialogs on it, its menu and what each entry does.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "app/forms/frmcorvantysplash.h"
#include "app/forms/mdicorvantymain.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "guides/forms/frmcorvantydsgadmin.h"
#include "guides/forms/guidedialogtest.h"
#include "support/forms/inventory.h"
#include "ui/forms/positionform.h"

namespace corvanty {
namespace {

using MainWindow = testing::GuiTest;

TEST_F(MainWindow, TheSplashShowsTheVersionAndStartsTheApplicationOnce) {
  frmCorvantySplash& splash = frmCorvantySplash::Instance();
  splash.Show();
  EXPECT_INVENTORY(splash, "",
                   (std::vector<testing::ControlRow>{
                       {"Frame1", "QFrame", ""},
                       {"lblCompanyProduct", "QLabel", "Velmorastine", testing::Align::Left},
                       {"lblProductName", "QLabel", "CorvantyAdmin", testing::Align::Left},
                       {"lblPlatform", "QLabel", "For : MS SQL Server", testing::Align::Left},
                       {"lblVersion", "QLabel", "Version 1.1.0", testing::Align::Left},
                       {"lblWarning", "QLabel", "Warning", testing::Align::Left},
                       {"lblCompany", "QLabel", "Velmorastine, Inc.", testing::Align::Left},
                   }));
  EXPECT_EQ(splash.Timer1->interval(), 10000);
  EXPECT_TRUE(splash.Timer1->isActive());
  EXPECT_EQ(mdiCorvantyMain::Existing(), nullptr);

  splash.Frame1_Click();
  mdiCorvantyMain* main = mdiCorvantyMain::Existing();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(frmCorvantySplash::Existing(), nullptr);
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
  ASSERT_EQ(main.screen()->geometry().size(), QSize(800, 800));
  ASSERT_EQ(ScreenDotsPerInch(main), 96.0);
  main.Show();
  EXPECT_EQ(main.frameGeometry().size(), QSize(600, 600));

  // A main window of 900 x 677 pixels (outer size, its frame included) is
  // 13500 x 10155 twips; its eighth,
  // Int(1269.375) = 1269 twips, is 84.6 pixels: 85. A dialog 501 pixels
  // (7515 twips) wide goes to Int(6750 - 3757.5) = 2992 twips, 199.47
  // pixels; one 1003 pixels wide to Int(-772.5) = -773, -51.53 pixels.
  main.resize(QSize(900, 677) - (main.frameGeometry().size() - main.size()));
  ASSERT_EQ(main.frameGeometry().size(), QSize(900, 677));
  const std::pair<int, QPoint> dialogs[] = {{501, {199, 85}}, {1003, {-52, 85}}};
  for (const auto& [width, at] : dialogs) {
    QDialog dialog;
    dialog.setFixedSize(width, 300);
    PositionForm(dialog);
    EXPECT_EQ(dialog.pos(), at) << width;
  }
}

// Walks the menu depth first, as it shows: each entry as its name and
// caption, indented one blank per level below the bar.
void Collect(const QList<QAction*>& actions, int depth, std::vector<std::string>& out) {
  for (QAction* action : actions) {
    std::string name = action->objectName().toStdString();
    out.push_back(std::string(depth, ' ') + name + " " + action->text().toStdString());
    EXPECT_TRUE(action->isEnabled() && action->isVisible()) << name;
    EXPECT_TRUE(action->shortcut().isEmpty()) << name;
    if (QMenu* sub = action->menu()) Collect(sub->actions(), depth + 1, out);
  }
}

TEST_F(MainWindow, CarriesTheCaptionAndTheWholeMenuTreeInOrder) {
  mdiCorvantyMain& main = mdiCorvantyMain::Instance();
  EXPECT_EQ(main.windowTitle(), "Database Search Guide Administrator - Velmorastine Corvanty");
  std::vector<std::string> menu;
  Collect(main.menuBar()->actions(), 0, menu);
  const std::vector<std::string> expected = {
      "mnuFile &File",
      " mnuNew &New",
      "  mnuDbSG Db &Search Guide",
      " mnuDelete &Delete",
      " mnuExit &Exit",
      "mnuAdminister &Administer",
      " mnuConnections &Connections",
      " mnuSearchTables Db Search &Tables",
      " mnuSearchColumns Db Search &Columns",
      "mnuTools &Tools",
      " mnuTestDSG Test Db Search Guide",
      " mnuRebuildSearchEngine Rebuild Search Engine",
      " mnuRebuildControlTable Rebuild Control Table",
      "  mnuSearchGuideS Db_Search_Guides",
      "  mnuSearchGuideCols Db_Search_Guide_Cols",
      "  mnuSearchGuideTables Db_Search_Guide_Tables",
      "  mnuSearchGuideSQL Db_Search_Guide_SQL",
      "  mnuSearchGuideUnique Db_Search_Guide_Unique",
  };
  EXPECT_EQ(menu, expected);
}

const char* const kTables[] = {"Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols",
                               "Db_Search_Guide_SQL", "Db_Search_Guide_Unique"};

// The menu entries chosen on an active SQLite database holding one guide
// (its row, its tables row and two column rows) and a row in each scratch
// table.
class MenuEntries : public testing::GuideDialogTest {
 protected:
  void FillTables() {
    for (const char* table : kTables) testing::ExecSqlite(db_, std::string("DELETE FROM ") + table);
    AddGuides({"Orders"});
    testing::ExecSqlite(db_,
                        "INSERT INTO Db_Search_Guide_SQL VALUES (1, 1, 1, 'SELECT 1');"
                        "INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1);");
  }

  // The dialogs shown, with the selection dialog's Tag.
  static std::string Shown() {
    std::string shown = ShownDialogs();
    if (frmCorvantyDSGAdmin* dialog = frmCorvantyDSGAdmin::Existing())
      shown += " Tag=" + dialog->Tag.toStdString();
    return shown;
  }

  // The guide tables left without rows.
  std::string EmptyTables() {
    std::string empty;
    for (const char* table : kTables)
      if (Value(std::string("SELECT count(*) FROM ") + table) == "0") empty += table;
    return empty;
  }
};

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
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.entry) + " answered " + std::to_string(row.answer));
    CloseAllWindows();
    FillTables();
    boxes_->Clear();
    boxes_->QueueAnswer(row.answer);
    ChooseMenu(row.entry);
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(Boxes(), row.boxes);
    EXPECT_EQ(EmptyTables(), row.emptied);
  }
}

TEST_F(MenuEntries, AnOpenDialogIsBroughtForwardAsLoadedTheLastTagWinsAndExitLeavesItOpen) {
  AddGuides({"Orders", "Customers"});
  ChooseMenu("mnuSearchTables");
  frmCorvantyDSGAdmin* dialog = frmCorvantyDSGAdmin::Existing();
  ASSERT_NE(dialog, nullptr);
  ChooseMenu("mnuSearchColumns");
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), dialog);  // the same dialog, not a second one
  EXPECT_EQ(dialog->Tag, "SearchColumns");
  EXPECT_EQ(dialog->cmbAvailableDSG->count(), 2);  // each guide listed once
  ChooseMenu("mnuConnections");
  ChooseMenu("mnuConnections");
  EXPECT_EQ(frmCorvantyConnect::Existing()->cmbAvailableDb->count(), 1);
  EXPECT_EQ(ShownDialogs(), "frmCorvantyConnect frmCorvantyDSGAdmin");

  ChooseMenu("mnuExit");
  EXPECT_EQ(mdiCorvantyMain::Existing(), nullptr);
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), dialog);
  EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
}  // namespace corvanty
