// SPDX-License-Identifier: Apache-2.0
#pragma once
// The main window: a multiple-document frame that carries the menu and
// nothing else. Each menu command opens a dialog or runs a command.
#include <QMainWindow>

class QMenu;

namespace corvanty {

class mdiCorvantyMain : public QMainWindow {
  Q_OBJECT

 public:
  static mdiCorvantyMain& Instance();
  static mdiCorvantyMain* Existing();

  void Show();
  void Unload();

  void mnuDbSG_Click();
  void mnuDelete_Click();
  void mnuExit_Click();
  void mnuConnections_Click();
  void mnuSearchTables_Click();
  void mnuSearchColumns_Click();
  void mnuTestDSG_Click();
  void mnuRebuildSearchEngine_Click();
  void mnuSearchGuideS_Click();
  void mnuSearchGuideCols_Click();
  void mnuSearchGuideTables_Click();
  void mnuSearchGuideSQL_Click();
  void mnuSearchGuideUnique_Click();
  void mnuSearchIndexes_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  mdiCorvantyMain();
  void MDIForm_Load();
  void BuildMenu();
  // Rebuilds one guide table on a session of the active connection.
  void RebuildTable(const char* table_name);
  void Forget();  // no longer the one instance nor the main window
  bool loaded_ = false;
  bool unloading_ = false;
};

}  // namespace corvanty
