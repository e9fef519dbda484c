// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/frmcorvantydsgadmin.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "connections/sqlerrorreport.h"
#include "guides/currentguide.h"
#include "guides/forms/frmcorvantycolumns.h"
#include "guides/forms/frmcorvantynewdsg.h"
#include "guides/forms/frmcorvantytables.h"
#include "ui/forms/controls.h"
#include "ui/forms/positionform.h"

namespace corvanty {

using namespace basCorvantyAdmin;

namespace {
const char* const kNewEntry = "(NEW)";
}

frmCorvantyDSGAdmin::frmCorvantyDSGAdmin() {
  setObjectName("frmCorvantyDSGAdmin");
  setWindowTitle("Administer Db Search Guides");
  GuideChooser chooser = MakeGuideChooser(*this);
  Frame1 = chooser.Frame1;
  Label1 = chooser.Label1;
  cmbAvailableDSG = chooser.cmbAvailableDSG;
  cmdOK = NewButton("cmdOK", "OK", this);
  cmdCancel = NewButton("cmdCancel", "Cancel", this);
  cmdNew = NewButton("cmdNew", "New", this);
  LayOutFrameAndButtons(*this, Frame1, {cmdNew}, {cmdOK, cmdCancel});
  connect(cmdOK, &QPushButton::clicked, this, &frmCorvantyDSGAdmin::cmdOK_Click);
  connect(cmdNew, &QPushButton::clicked, this, &frmCorvantyDSGAdmin::cmdNew_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmCorvantyDSGAdmin::cmdCancel_Click);
}

void frmCorvantyDSGAdmin::Form_Load() {
  PositionForm(*this);
  // A list that cannot be read stays empty; New still starts a guide.
  std::vector<GuideEntry> guides = ListGuidesReportingErrors().value_or(std::vector<GuideEntry>{});
  if (guides.empty()) {
    cmbAvailableDSG->addItem(kNewEntry);
    cmbAvailableDSG->setCurrentIndex(0);
  } else {
    FillGuideList(*cmbAvailableDSG, guides);
  }
}

void frmCorvantyDSGAdmin::cmdOK_Click() {
  if (cmbAvailableDSG->currentText() == kNewEntry) {
    frmCorvantyNewDSG::Instance().Show();
    Unload();
    return;
  }
  if (cmbAvailableDSG->currentIndex() < 0) return;
  gintDSGID = SelectedGuideId(*cmbAvailableDSG);
  gstrDSGMode = kModeEdit;
  if (Tag == "SearchTables") {
    frmCorvantyTables::Instance().Show();
    Unload();
  } else if (Tag == "SearchColumns") {
    frmCorvantyColumns::Instance().Show();
    Unload();
  }
}

void frmCorvantyDSGAdmin::cmdNew_Click() {
  gstrDSGMode = kModeNew;
  frmCorvantyNewDSG::Instance().Show();
  Unload();
}

void frmCorvantyDSGAdmin::cmdCancel_Click() { Unload(); }

}  // namespace corvanty
