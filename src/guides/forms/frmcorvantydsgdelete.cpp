// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/frmcorvantydsgdelete.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "connections/connectionstore.h"
#include "connections/sqlerrorreport.h"
#include "ui/forms/controls.h"
#include "ui/forms/positionform.h"
#include "ui/msgbox.h"

namespace corvanty {

frmCorvantyDSGDelete::frmCorvantyDSGDelete() {
  setObjectName("frmCorvantyDSGDelete");
  setWindowTitle("Delete Db Search Guide");
  GuideChooser chooser = MakeGuideChooser(*this);
  Frame1 = chooser.Frame1;
  Label1 = chooser.Label1;
  cmbAvailableDSG = chooser.cmbAvailableDSG;
  cmdDelete = NewButton("cmdDelete", "Delete", this);
  cmdCancel = NewButton("cmdCancel", "Cancel", this);
  LayOutFrameAndButtons(*this, Frame1, {}, {cmdDelete, cmdCancel});
  connect(cmdDelete, &QPushButton::clicked, this, &frmCorvantyDSGDelete::cmdDelete_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmCorvantyDSGDelete::cmdCancel_Click);
}

void frmCorvantyDSGDelete::Form_Load() {
  PositionForm(*this);
  std::optional<std::vector<GuideEntry>> guides = ListGuidesReportingErrors();
  if (guides && guides->empty()) MsgBox("There are no Database Search Guides to delete!");
  if (!guides || guides->empty()) {
    // Discarded, so the next menu request loads the list afresh.
    Unload();
    return;
  }
  FillGuideList(*cmbAvailableDSG, *guides);
  show();
}

void frmCorvantyDSGDelete::cmdDelete_Click() {
  if (MsgBox("Delete this item?", vbYesNo) == vbYes) {
    try {
      rdo::rdoConnection connection = rdo::rdoConnection::Open(basCorvantyAdmin::gstrConnect);
      DeleteGuide(connection, SelectedGuideId(*cmbAvailableDSG));
    } catch (const std::exception& error) {
      // Nothing was deleted; the dialog stays for another try or Cancel.
      ReportDialogError(error);
      return;
    }
  }
  Unload();
}

void frmCorvantyDSGDelete::cmdCancel_Click() { Unload(); }

}  // namespace corvanty
