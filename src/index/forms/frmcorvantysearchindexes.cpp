// SPDX-License-Identifier: Apache-2.0
#include "index/forms/frmcorvantysearchindexes.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "connections/connectionstore.h"
#include "connections/serverdialect.h"
#include "connections/sqlerrorreport.h"
#include "index/searchindexbuild.h"
#include "index/searchindexes.h"
#include "ui/forms/backgroundwork.h"
#include "ui/forms/controls.h"
#include "ui/forms/positionform.h"
#include "ui/msgbox.h"

namespace corvanty {

using basCorvantyAdmin::gstrConnect;

namespace {
std::string Guide(int32_t guide) { return "Database Search Guide " + std::to_string(guide); }
}  // namespace

struct frmCorvantySearchIndexes::Outcome {
  std::string done;         // what the change did
  std::string error;        // why the change, or reading the list, failed
  std::string refusal;      // why this database keeps no indexes
  bool counts_rows = true;  // PostgreSQL's indexes count none
  std::vector<SearchIndexListing> listed;
};

frmCorvantySearchIndexes::frmCorvantySearchIndexes() {
  setObjectName("frmCorvantySearchIndexes");
  setWindowTitle("Search Indexes");
  Label1 = NewLabel("Label1", "Search indexes of the Database Search Guides :", this);
  lvwIndexes = new QTreeWidget(this);
  lvwIndexes->setObjectName("lvwIndexes");
  lvwIndexes->setHeaderLabels({"DSG_ID", "State", "Rows", "Bytes", "Name"});
  lvwIndexes->setRootIsDecorated(false);
  lvwIndexes->setSelectionMode(QAbstractItemView::SingleSelection);
  lvwIndexes->setMinimumSize(520, 200);
  lvwIndexes->header()->setStretchLastSection(true);
  lblStatus = NewLabel("lblStatus", "", this);
  lblStatus->setWordWrap(true);
  cmdBuild = NewButton("cmdBuild", "Build", this);
  cmdDrop = NewButton("cmdDrop", "Drop", this);
  cmdRefresh = NewButton("cmdRefresh", "Refresh", this);
  cmdClose = NewButton("cmdClose", "Close", this);
  cmdRefresh->setDefault(true);  // Enter reads the list again; it changes nothing

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(Label1);
  outer->addWidget(lvwIndexes, 1);
  outer->addWidget(lblStatus);
  outer->addLayout(NewButtonRow({cmdBuild, cmdDrop, cmdRefresh}, {cmdClose}));

  setTabOrder(lvwIndexes, cmdBuild);
  setTabOrder(cmdBuild, cmdDrop);
  setTabOrder(cmdDrop, cmdRefresh);
  setTabOrder(cmdRefresh, cmdClose);
  connect(lvwIndexes, &QTreeWidget::itemSelectionChanged, this,
          &frmCorvantySearchIndexes::lvwIndexes_Click);
  connect(cmdBuild, &QPushButton::clicked, this, &frmCorvantySearchIndexes::cmdBuild_Click);
  connect(cmdDrop, &QPushButton::clicked, this, &frmCorvantySearchIndexes::cmdDrop_Click);
  connect(cmdRefresh, &QPushButton::clicked, this, &frmCorvantySearchIndexes::cmdRefresh_Click);
  connect(cmdClose, &QPushButton::clicked, this, &frmCorvantySearchIndexes::cmdClose_Click);
}

void frmCorvantySearchIndexes::Form_Load() {
  PositionForm(*this);
  if (build_next_) {
    const int32_t guide = *build_next_;
    build_next_.reset();
    StartBuild(guide);
  } else {
    StartWork("Reading the search indexes...", nullptr);
  }
}

void frmCorvantySearchIndexes::ShowBuilding(int32_t guide) {
  build_next_ = guide;
  Show();
  if (!busy_ && build_next_) {  // loaded before: nothing else will start it
    build_next_.reset();
    StartBuild(guide);
  }
}

void frmCorvantySearchIndexes::StartWork(const std::string& doing, Change change) {
  busy_ = true;
  for (QPushButton* button : {cmdBuild, cmdDrop, cmdRefresh}) button->setEnabled(false);
  lblStatus->setText(QString::fromStdString(doing));
  setCursor(Qt::BusyCursor);
  auto outcome = std::make_shared<Outcome>();
  RunInBackground(
      this,
      [connect = gstrConnect, change, outcome] {
        try {
          rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
          outcome->refusal = NoSearchIndexesReason(connection);
          outcome->counts_rows = SearchIndexesOf(connection) != SearchIndexKind::PgTrigram;
          if (!outcome->refusal.empty()) return;
          try {
            if (change) outcome->done = change(connection);
          } catch (const std::exception& error) {
            outcome->error = DialogErrorText(error);
          }
          outcome->listed = ListGuideSearchIndexes(connection);
        } catch (const std::exception& error) {
          outcome->error += DialogErrorText(error);
        }
      },
      [this, outcome] { ShowOutcome(*outcome); });
}

void frmCorvantySearchIndexes::StartBuild(int32_t guide) {
  StartWork("Building the search index of " + Guide(guide) + "...",
            [guide](rdo::rdoConnection& connection) {
              BuildGuideSearchIndex(connection, guide);
              return "Built the search index of " + Guide(guide) + ".";
            });
}

void frmCorvantySearchIndexes::ShowOutcome(const Outcome& outcome) {
  busy_ = false;
  unsetCursor();
  const std::optional<SearchIndexListing> selected = Selected();
  listed_ = outcome.listed;
  lvwIndexes->clear();
  for (const SearchIndexListing& entry : listed_) {
    const bool absent = entry.index.state == IndexState::Absent;
    auto* item = new QTreeWidgetItem(lvwIndexes);
    item->setText(0, QString::number(entry.DSG_ID));
    item->setText(1, IndexStateName(entry.index.state));
    item->setText(2, absent || !outcome.counts_rows ? "-" : QString::number(entry.index.rows));
    item->setText(3, entry.bytes ? QString::number(*entry.bytes) : "-");
    item->setText(4, QString::fromStdString(entry.DSG_name.value_or("(no such guide)")));
    for (int column : {0, 2, 3}) item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    if (selected && selected->DSG_ID == entry.DSG_ID) lvwIndexes->setCurrentItem(item);
  }
  for (int column = 0; column < 4; ++column) lvwIndexes->resizeColumnToContents(column);
  lblStatus->setText(
      QString::fromStdString(outcome.refusal.empty() ? outcome.done : outcome.refusal));
  cmdRefresh->setEnabled(outcome.refusal.empty());
  lvwIndexes_Click();
  if (!outcome.error.empty()) MsgBox(outcome.error, vbOKOnly + vbExclamation);
  if (build_next_) {
    const int32_t guide = *build_next_;
    build_next_.reset();
    StartBuild(guide);
  }
}

std::optional<SearchIndexListing> frmCorvantySearchIndexes::Selected() const {
  const int row = lvwIndexes->indexOfTopLevelItem(lvwIndexes->currentItem());
  if (row < 0 || static_cast<size_t>(row) >= listed_.size()) return std::nullopt;
  return listed_[row];
}

void frmCorvantySearchIndexes::lvwIndexes_Click() {
  const std::optional<SearchIndexListing> entry = Selected();
  const bool indexed = entry && entry->index.state != IndexState::Absent;
  // A guide that is gone cannot be indexed again; its index can go.
  cmdBuild->setText(indexed ? "Rebuild" : "Build");
  cmdBuild->setEnabled(!busy_ && entry && entry->DSG_name);
  cmdDrop->setEnabled(!busy_ && indexed);
}

void frmCorvantySearchIndexes::cmdBuild_Click() {
  if (const std::optional<SearchIndexListing> entry = Selected()) StartBuild(entry->DSG_ID);
}

void frmCorvantySearchIndexes::cmdDrop_Click() {
  const std::optional<SearchIndexListing> entry = Selected();
  if (!entry) return;
  const int32_t guide = entry->DSG_ID;
  StartWork("Dropping the search index of " + Guide(guide) + "...",
            [guide](rdo::rdoConnection& connection) {
              return DropGuideSearchIndex(connection, guide)
                         ? "Dropped the search index of " + Guide(guide) + "."
                         : Guide(guide) + " has no search index.";
            });
}

void frmCorvantySearchIndexes::cmdRefresh_Click() {
  StartWork("Reading the search indexes...", nullptr);
}

void frmCorvantySearchIndexes::cmdClose_Click() { Unload(); }

}  // namespace corvanty
