// The main window: start-up through the splash, its size, the placing of
// dialogs on it, and its menu.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "app/forms/frmcorvantysplash.h"
#include "app/forms/mdicorvantymain.h"
#include "guides/forms/frmcorvantydsgadmin.h"
#include "support/forms/guitest.h"
#include "ui/forms/positionform.h"
#include "ui/twips.h"

namespace corvanty {
namespace {

using MainWindow = testing::GuiTest;

TEST_F(MainWindow, TheSplashShowsTheVersionAndStartsTheApplicationOnce) {
  frmCorvantySplash& splash = frmCorvantySplash::Instance();
  splash.Show();
  EXPECT_EQ(splash.lblVersion->text(), "Version 1.1.0");
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
  mdiCorvantyMain& main = mdiCorvantyMain::Instance();
  main.Show();
  double dpi = ScreenDotsPerInch(main);
  auto twips = [dpi](int pixels) { return PixelsToTwips(pixels, dpi); };
  QSize screen = main.screen()->geometry().size();
  TwipSize size = MainWindowSize(twips(screen.width()), twips(screen.height()));
  EXPECT_EQ(main.size(), QSize(TwipsToPixels(size.width, dpi), TwipsToPixels(size.height, dpi)));

  main.resize(900, 675);
  QDialog dialog;
  dialog.resize(500, 300);
  PositionForm(dialog);
  TwipPoint at =
      DialogPosition(twips(main.frameGeometry().width()), twips(main.frameGeometry().height()),
                     twips(dialog.frameGeometry().width()));
  EXPECT_EQ(dialog.pos(), QPoint(TwipsToPixels(at.left, dpi), TwipsToPixels(at.top, dpi)));
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

TEST_F(MainWindow, AMenuEntryBringsTheLoadedDialogForwardTheLastTagWinsAndExitLeavesItOpen) {
  ChooseMenu("mnuSearchTables");
  frmCorvantyDSGAdmin* dialog = frmCorvantyDSGAdmin::Existing();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  ChooseMenu("mnuSearchColumns");
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), dialog);  // the same dialog, not a second one
  EXPECT_EQ(dialog->Tag, "SearchColumns");

  ChooseMenu("mnuExit");
  EXPECT_EQ(mdiCorvantyMain::Existing(), nullptr);
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), dialog);
  EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
}  // namespace corvanty
