#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "guides/forms/frmcorvantydsgadmin.h"
#include "guides/forms/frmcorvantydsgdelete.h"
#include "shell/forms/mdicorvantymain.h"
#include "support/forms/guitest.h"

namespace corvanty {
namespace {

using testing::GuiTest;

struct Entry {
  int level;
  QString name;
  QString caption;
};

// Walks the menu bar depth first, as the menu shows it.
void Collect(const QList<QAction*>& actions, int level, std::vector<Entry>& out) {
  for (QAction* action : actions) {
    out.push_back({level, action->objectName(), action->text()});
    EXPECT_TRUE(action->isEnabled() && action->isVisible()) << action->objectName().toStdString();
    EXPECT_TRUE(action->shortcut().isEmpty()) << action->objectName().toStdString();
    if (QMenu* sub = action->menu()) Collect(sub->actions(), level + 1, out);
  }
}

class MainWindow : public GuiTest {};

TEST_F(MainWindow, CarriesTheCaptionAndTheWholeMenuTreeInOrder) {
  mdiCorvantyMain& main = mdiCorvantyMain::Instance();
  EXPECT_EQ(main.windowTitle(), "Database Search Guide Administrator - Velmorastine Corvanty");
  std::vector<Entry> menu;
  Collect(main.menuBar()->actions(), 1, menu);
  const std::vector<Entry> expected = {
      {1, "mnuFile", "&File"},
      {2, "mnuNew", "&New"},
      {3, "mnuDbSG", "Db &Search Guide"},
      {2, "mnuDelete", "&Delete"},
      {2, "mnuExit", "&Exit"},
      {1, "mnuAdminister", "&Administer"},
      {2, "mnuConnections", "&Connections"},
      {2, "mnuSearchTables", "Db Search &Tables"},
      {2, "mnuSearchColumns", "Db Search &Columns"},
      {1, "mnuTools", "&Tools"},
      {2, "mnuTestDSG", "Test Db Search Guide"},
      {2, "mnuRebuildSearchEngine", "Rebuild Search Engine"},
      {2, "mnuRebuildControlTable", "Rebuild Control Table"},
      {3, "mnuSearchGuideS", "Db_Search_Guides"},
      {3, "mnuSearchGuideCols", "Db_Search_Guide_Cols"},
      {3, "mnuSearchGuideTables", "Db_Search_Guide_Tables"},
      {3, "mnuSearchGuideSQL", "Db_Search_Guide_SQL"},
      {3, "mnuSearchGuideUnique", "Db_Search_Guide_Unique"},
  };
  ASSERT_EQ(menu.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(menu[i].level, expected[i].level) << i;
    EXPECT_EQ(menu[i].name, expected[i].name) << i;
    EXPECT_EQ(menu[i].caption, expected[i].caption) << i;
  }
}

TEST_F(MainWindow, AMenuEntryBringsTheLoadedDialogForwardAndTheLastTagWins) {
  ChooseMenu("mnuSearchTables");
  frmCorvantyDSGAdmin* first = frmCorvantyDSGAdmin::Existing();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->Tag, "SearchTables");

  ChooseMenu("mnuSearchColumns");
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), first);  // the same dialog, not a second one
  EXPECT_EQ(first->Tag, "SearchColumns");
}

TEST_F(MainWindow, AnUnloadedDialogIsCreatedAfreshOnTheNextRequest) {
  ChooseMenu("mnuSearchTables");
  frmCorvantyDSGAdmin* first = frmCorvantyDSGAdmin::Existing();
  ASSERT_NE(first, nullptr);
  first->Unload();
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing(), nullptr);
  Settle();
  ChooseMenu("mnuSearchColumns");
  ASSERT_NE(frmCorvantyDSGAdmin::Existing(), nullptr);
  EXPECT_EQ(frmCorvantyDSGAdmin::Existing()->Tag, "SearchColumns");
}

TEST_F(MainWindow, ExitUnloadsTheMainWindowAndLeavesOpenDialogsToTheUser) {
  ChooseMenu("mnuSearchTables");
  ChooseMenu("mnuExit");
  EXPECT_EQ(mdiCorvantyMain::Existing(), nullptr);
  ASSERT_NE(frmCorvantyDSGAdmin::Existing(), nullptr);
  EXPECT_TRUE(frmCorvantyDSGAdmin::Existing()->isVisible());
}

}  // namespace
}  // namespace corvanty
