// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/frmcorvantynewdsg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "connections/connectionstore.h"
#include "connections/sqlerrorreport.h"
#include "guides/currentguide.h"
#include "guides/forms/frmcorvantytables.h"
#include "guides/guidestore.h"
#include "ui/forms/controls.h"
#include "ui/forms/positionform.h"
#include "ui/msgbox.h"

namespace corvanty {

using namespace basCorvantyAdmin;

frmCorvantyNewDSG::frmCorvantyNewDSG() {
  setObjectName("frmCorvantyNewDSG");
  setWindowTitle("New Db Search Guide");
  Frame1 = new QGroupBox(this);
  Frame1->setObjectName("Frame1");
  Label1 = NewLabel("Label1", "Search Guide Name :", Frame1);
  Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  txtDSGName = NewTextBox("txtDSGName", Frame1);
  Label2 = NewLabel("Label2", "Description :", Frame1);
  Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
  txtDSGDescription = NewMultiLineTextBox("txtDSGDescription", Frame1);
  txtDSGDescription->setFixedHeight(80);
  cmdOK = NewButton("cmdOK", "OK", this);
  cmdCancel = NewButton("cmdCancel", "Cancel", this);

  auto* fields = new QGridLayout(Frame1);
  fields->addWidget(Label1, 0, 0);
  fields->addWidget(txtDSGName, 0, 1);
  fields->addWidget(Label2, 1, 0);
  fields->addWidget(txtDSGDescription, 1, 1);
  txtDSGName->setMinimumWidth(260);
  LayOutFrameAndButtons(*this, Frame1, {}, {cmdOK, cmdCancel});

  setTabOrder(txtDSGName, txtDSGDescription);
  setTabOrder(txtDSGDescription, cmdOK);
  setTabOrder(cmdOK, cmdCancel);
  connect(cmdOK, &QPushButton::clicked, this, &frmCorvantyNewDSG::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmCorvantyNewDSG::cmdCancel_Click);
}

void frmCorvantyNewDSG::Form_Load() { PositionForm(*this); }

void frmCorvantyNewDSG::cmdCancel_Click() { Unload(); }

void frmCorvantyNewDSG::cmdOK_Click() {
  gstrDSGMode = kModeNew;
  std::string name = txtDSGName->text().toStdString();
  if (name.empty()) {
    MsgBox("You need to supply a Database Search Guide name.", vbOKOnly, kAppTitle);
    return;
  }
  std::string description = txtDSGDescription->toPlainText().toStdString();
  if (auto refusal = GuideTextTooLong(name, description)) {
    MsgBox(*refusal, vbOKOnly + vbExclamation);
    return;
  }
  try {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
    if (GuideNameExists(connection, name)) {
      MsgBox("Database Search Guide name exists. Please choose another.", vbOKOnly + vbExclamation);
      return;
    }
    gintDSGID = InsertGuide(connection, name, description);
  } catch (const std::exception& error) {
    ReportDialogError(error);
    return;
  }
  frmCorvantyTables::Instance().Show();
  Unload();
}

}  // namespace corvanty
