#include "guides/forms/frmcorvantynewdsg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "connections/sqlerrorreport.h"
#include "guides/currentguide.h"
#include "guides/forms/frmcorvantytables.h"
#include "guides/guidestore.h"
#include "shell/forms/positionform.h"
#include "shell/msgbox.h"

namespace corvanty {

using namespace basCorvantyAdmin;

frmCorvantyNewDSG::frmCorvantyNewDSG() {
  setObjectName("frmCorvantyNewDSG");
  setWindowTitle("New Db Search Guide");
  Frame1 = new QGroupBox(this);
  Frame1->setObjectName("Frame1");
  Label1 = new QLabel("Search Guide Name :", Frame1);
  Label1->setObjectName("Label1");
  Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  txtDSGName = new QLineEdit(Frame1);
  txtDSGName->setObjectName("txtDSGName");
  Label2 = new QLabel("Description :", Frame1);
  Label2->setObjectName("Label2");
  Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
  txtDSGDescription = new QPlainTextEdit(Frame1);
  txtDSGDescription->setObjectName("txtDSGDescription");
  txtDSGDescription->setTabChangesFocus(true);
  txtDSGDescription->setFixedHeight(80);
  cmdOK = new QPushButton("OK", this);
  cmdOK->setObjectName("cmdOK");
  cmdCancel = new QPushButton("Cancel", this);
  cmdCancel->setObjectName("cmdCancel");

  auto* fields = new QGridLayout(Frame1);
  fields->addWidget(Label1, 0, 0);
  fields->addWidget(txtDSGName, 0, 1);
  fields->addWidget(Label2, 1, 0);
  fields->addWidget(txtDSGDescription, 1, 1);
  txtDSGName->setMinimumWidth(260);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(Frame1);
  outer->addLayout(buttons);

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
    if (GuideNameExists(name)) {
      MsgBox("Database Search Guide name exists. Please choose another.", vbOKOnly + vbExclamation);
      return;
    }
    gintDSGID = InsertGuide(name, description);
  } catch (const std::exception& error) {
    ReportDialogError(error);
    return;
  }
  frmCorvantyTables::Instance().Show();
  Unload();
}

}  // namespace corvanty
