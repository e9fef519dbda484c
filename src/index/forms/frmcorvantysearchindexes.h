// SPDX-License-Identifier: Apache-2.0
#pragma once
// Lists each guide's search index (state, rows, size) and builds, rebuilds
// or drops the selected guide's. Reading the list and every change run in
// the background, so the window stays usable while a large index is built.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "index/searchindexstate.h"
#include "ui/forms/form.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace corvanty {

class frmCorvantySearchIndexes : public SingleInstanceForm<frmCorvantySearchIndexes> {
  Q_OBJECT

 public:
  frmCorvantySearchIndexes();

  // Shows the dialog and builds the guide's index, after any work running.
  void ShowBuilding(int32_t guide);

  void lvwIndexes_Click();
  void cmdBuild_Click();
  void cmdDrop_Click();
  void cmdRefresh_Click();
  void cmdClose_Click();

  QLabel* Label1;
  QTreeWidget* lvwIndexes;
  QLabel* lblStatus;
  QPushButton* cmdBuild;
  QPushButton* cmdDrop;
  QPushButton* cmdRefresh;
  QPushButton* cmdClose;

 protected:
  void Form_Load() override;

 private:
  // What a change does on its own connection; returns what to say when done.
  using Change = std::function<std::string(rdo::rdoConnection&)>;
  struct Outcome;

  // Runs the change (none: only reads the list) and then reads the list, in
  // the background, saying `doing` meanwhile.
  void StartWork(const std::string& doing, Change change);
  void StartBuild(int32_t guide);
  void ShowOutcome(const Outcome& outcome);
  std::optional<SearchIndexListing> Selected() const;

  std::vector<SearchIndexListing> listed_;
  bool busy_ = false;
  std::optional<int32_t> build_next_;  // asked for while other work ran
};

}  // namespace corvanty
