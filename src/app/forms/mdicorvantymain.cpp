// SPDX-License-Identifier: Apache-2.0
#include "app/forms/mdicorvantymain.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>

#include "connections/connectionstore.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "connections/session.h"
#include "guides/forms/frmcorvantydsgadmin.h"
#include "guides/forms/frmcorvantydsgdelete.h"
#include "guides/forms/frmcorvantynewdsg.h"
#include "guides/forms/frmcorvantytest.h"
#include "index/forms/frmcorvantysearchindexes.h"
#include "index/searchindexorphans.h"
#include "schema/rebuildcommands.h"
#include "ui/forms/mainwindow.h"
#include "ui/forms/positionform.h"
#include "ui/msgbox.h"
#include "ui/twips.h"

namespace corvanty {

using basCorvantyAdmin::gstrConnect;
using basCorvantyAdmin::kNoActiveConnectionMessage;

namespace {
mdiCorvantyMain* g_instance = nullptr;

using Handler = void (mdiCorvantyMain::*)();

// One row per menu entry, in menu order: its level, name, caption and, for
// a command, its handler (nullptr for a submenu) and whether it works on the
// active connection.
struct MenuRow {
  int level;
  const char* name;
  const char* caption;
  Handler handler;
  bool needs_connection = true;
};

const MenuRow kMenu[] = {
    {1, "mnuFile", "&File", nullptr},
    {2, "mnuNew", "&New", nullptr},
    {3, "mnuDbSG", "Db &Search Guide", &mdiCorvantyMain::mnuDbSG_Click},
    {2, "mnuDelete", "&Delete", &mdiCorvantyMain::mnuDelete_Click},
    {2, "mnuExit", "&Exit", &mdiCorvantyMain::mnuExit_Click, false},
    {1, "mnuAdminister", "&Administer", nullptr},
    {2, "mnuConnections", "&Connections", &mdiCorvantyMain::mnuConnections_Click, false},
    {2, "mnuSearchTables", "Db Search &Tables", &mdiCorvantyMain::mnuSearchTables_Click},
    {2, "mnuSearchColumns", "Db Search &Columns", &mdiCorvantyMain::mnuSearchColumns_Click},
    {1, "mnuTools", "&Tools", nullptr},
    {2, "mnuTestDSG", "Test Db Search Guide", &mdiCorvantyMain::mnuTestDSG_Click},
    {2, "mnuRebuildSearchEngine", "Rebuild Search Engine",
     &mdiCorvantyMain::mnuRebuildSearchEngine_Click},
    {2, "mnuRebuildControlTable", "Rebuild Control Table", nullptr},
    {3, "mnuSearchGuideS", "Db_Search_Guides", &mdiCorvantyMain::mnuSearchGuideS_Click},
    {3, "mnuSearchGuideCols", "Db_Search_Guide_Cols", &mdiCorvantyMain::mnuSearchGuideCols_Click},
    {3, "mnuSearchGuideTables", "Db_Search_Guide_Tables",
     &mdiCorvantyMain::mnuSearchGuideTables_Click},
    {3, "mnuSearchGuideSQL", "Db_Search_Guide_SQL", &mdiCorvantyMain::mnuSearchGuideSQL_Click},
    {3, "mnuSearchGuideUnique", "Db_Search_Guide_Unique",
     &mdiCorvantyMain::mnuSearchGuideUnique_Click},
    {2, "mnuSearchIndexes", "Search &Indexes", &mdiCorvantyMain::mnuSearchIndexes_Click},
};
}  // namespace

mdiCorvantyMain& mdiCorvantyMain::Instance() {
  if (!g_instance) g_instance = new mdiCorvantyMain();
  return *g_instance;
}

mdiCorvantyMain* mdiCorvantyMain::Existing() { return g_instance; }

mdiCorvantyMain::mdiCorvantyMain() {
  setObjectName("mdiCorvantyMain");
  setWindowTitle("Database Search Guide Administrator - Velmorastine Corvanty");
  setCentralWidget(new QMdiArea(this));
  BuildMenu();
  SetMainWindow(this);
}

void mdiCorvantyMain::Forget() {
  if (g_instance == this) g_instance = nullptr;
  if (MainWindow() == this) SetMainWindow(nullptr);
}

void mdiCorvantyMain::BuildMenu() {
  // The menu at each level that new entries go into; level 1 goes on the bar.
  QMenu* parents[4] = {nullptr, nullptr, nullptr, nullptr};
  for (const MenuRow& row : kMenu) {
    QString caption = QString::fromUtf8(row.caption);
    QAction* action = nullptr;
    if (row.handler) {
      action = parents[row.level - 1]->addAction(caption);
      connect(action, &QAction::triggered, this, [this, row] {
        // Without an active connection there is no database to work on.
        if (row.needs_connection && gstrConnect.empty())
          MsgBox(
              std::string(kNoActiveConnectionMessage) + " Choose one in Administer > Connections.",
              vbExclamation);
        else
          (this->*row.handler)();
      });
    } else {
      QMenu* menu =
          row.level == 1 ? menuBar()->addMenu(caption) : parents[row.level - 1]->addMenu(caption);
      menu->setObjectName(row.name);
      parents[row.level] = menu;
      action = menu->menuAction();
    }
    action->setObjectName(row.name);
  }
}

void mdiCorvantyMain::Show() {
  // Shown before its load opens the Connect dialog, so the dialog comes up
  // in front of the main window rather than behind it.
  show();
  raise();
  if (!loaded_) {
    loaded_ = true;
    MDIForm_Load();
  }
}

void mdiCorvantyMain::MDIForm_Load() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  double dpi = ScreenDotsPerInch(*this);
  QSize pixels = screen->geometry().size();
  TwipSize size =
      MainWindowSize(PixelsToTwips(pixels.width(), dpi), PixelsToTwips(pixels.height(), dpi));
  // The figures are the window's outer size: its frame, where known, comes off.
  QSize frame = frameGeometry().size() - this->size();
  resize(TwipsToPixels(size.width, dpi) - frame.width(),
         TwipsToPixels(size.height, dpi) - frame.height());
  frmCorvantyConnect::Instance().Show();
}

void mdiCorvantyMain::Unload() {
  if (unloading_) return;
  unloading_ = true;
  Forget();
  close();
  deleteLater();
}

void mdiCorvantyMain::closeEvent(QCloseEvent* event) {
  if (!unloading_) {
    unloading_ = true;
    Forget();
    deleteLater();
  }
  QMainWindow::closeEvent(event);
}

void mdiCorvantyMain::mnuDbSG_Click() { frmCorvantyNewDSG::Instance().Show(); }

void mdiCorvantyMain::mnuDelete_Click() { frmCorvantyDSGDelete::Instance().Load(); }

void mdiCorvantyMain::mnuExit_Click() { Unload(); }

void mdiCorvantyMain::mnuConnections_Click() { frmCorvantyConnect::Instance().Show(); }

void mdiCorvantyMain::mnuSearchTables_Click() {
  frmCorvantyDSGAdmin::Instance().Tag = "SearchTables";
  frmCorvantyDSGAdmin::Instance().Show();
}

void mdiCorvantyMain::mnuSearchColumns_Click() {
  frmCorvantyDSGAdmin::Instance().Tag = "SearchColumns";
  frmCorvantyDSGAdmin::Instance().Show();
}

void mdiCorvantyMain::mnuTestDSG_Click() { frmCorvantyTest::Instance().Load(); }

void mdiCorvantyMain::mnuRebuildSearchEngine_Click() {
  Session session(gstrConnect);
  RebuildSearchEngineCommand(session);
}

void mdiCorvantyMain::mnuSearchGuideS_Click() {
  // The search indexes are the tool's own: none outlives its guide.
  Session session(gstrConnect);
  RebuildControlTableCommand(session, "Db_Search_Guides", [](rdo::rdoConnection& connection) {
    DropOrphanSearchIndexesWithin(connection);
  });
}

void mdiCorvantyMain::RebuildTable(const char* table_name) {
  Session session(gstrConnect);
  RebuildControlTableCommand(session, table_name);
}

void mdiCorvantyMain::mnuSearchGuideCols_Click() { RebuildTable("Db_Search_Guide_Cols"); }

void mdiCorvantyMain::mnuSearchGuideTables_Click() { RebuildTable("Db_Search_Guide_Tables"); }

void mdiCorvantyMain::mnuSearchGuideSQL_Click() { RebuildTable("Db_Search_Guide_SQL"); }

void mdiCorvantyMain::mnuSearchGuideUnique_Click() { RebuildTable("Db_Search_Guide_Unique"); }

void mdiCorvantyMain::mnuSearchIndexes_Click() { frmCorvantySearchIndexes::Instance().Show(); }

}  // namespace corvanty
