// SPDX-License-Identifier: Apache-2.0
#include "connections/forms/frmcorvantynewconnection.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "connections/connectionstore.h"
#include "connections/datasourcecheck.h"
#include "connections/forms/frmcorvantyconnect.h"
#include "connections/registryfile.h"
#include "connections/sqlerrorreport.h"
#include "ui/forms/controls.h"
#include "ui/forms/positionform.h"
#include "ui/msgbox.h"

namespace corvanty {

using namespace basCorvantyAdmin;

namespace {
const char* const kRegistryMismatch =
    " [New Connection] Connection received from registry does not match entered connection.";
const char* const kSavedButNotOpened =
    "The connection was saved and is now your active connection, but it could not be opened.";

}  // namespace

frmCorvantyNewConnection::frmCorvantyNewConnection() {
  setObjectName("frmCorvantyNewConnection");
  setWindowTitle("New Connection");
  Frame1 = new QGroupBox(this);
  Frame1->setObjectName("Frame1");
  Label1 = NewLabel("Label1", "Data Source Name :", Frame1);
  Label2 = NewLabel("Label2", "User ID :", Frame1);
  Label3 = NewLabel("Label3", "Password :", Frame1);
  txtDSN = NewTextBox("txtDSN", Frame1);
  txtUID = NewTextBox("txtUID", Frame1);
  txtPWD = NewTextBox("txtPWD", Frame1);
  txtPWD->setEchoMode(QLineEdit::Password);
  txtPWD->setStyleSheet("lineedit-password-character: 42");  // '*'
  cmdConnect = NewButton("cmdConnect", "Connect", this);
  cmdConnect->setDefault(true);

  auto* fields = new QFormLayout(Frame1);
  fields->addRow(Label1, txtDSN);
  fields->addRow(Label2, txtUID);
  fields->addRow(Label3, txtPWD);
  LayOutFrameAndButtons(*this, Frame1, {}, {cmdConnect});
  txtDSN->setMinimumWidth(220);

  setTabOrder(txtDSN, txtUID);
  setTabOrder(txtUID, txtPWD);
  setTabOrder(txtPWD, cmdConnect);
  connect(cmdConnect, &QPushButton::clicked, this, &frmCorvantyNewConnection::cmdConnect_Click);
}

void frmCorvantyNewConnection::Form_Load() { PositionForm(*this); }

void frmCorvantyNewConnection::cmdConnect_Click() {
  std::string missing;
  if (txtDSN->text().isEmpty()) missing = "Data Source Name, ";
  if (txtUID->text().isEmpty()) missing += "User ID, ";
  if (!missing.empty()) {
    missing.erase(missing.size() - 2);
    MsgBox("You must fill in " + missing + " to establish a connection.", vbOKCancel);
    return;
  }
  std::string dsn = txtDSN->text().toStdString();
  // Saved, such a name would fail every connection made with it.
  if (std::string problem = rdo::DataSourceNameProblem(dsn); !problem.empty()) {
    MsgBox(problem, vbExclamation);
    return;
  }
  int16_t number = 0;
  try {
    // The number is chosen and the entry written in one step of the store:
    // another tool saving at the same moment gets another number.
    number = SaveNewConnection(dsn, txtUID->text().toStdString(), txtPWD->text().toStdString());
    LoadConnection(number);
  } catch (const RegistryError& error) {
    ReportDialogError(error);  // nothing changed: the administrator may try again
    return;
  }
  gintActiveConnection = number;
  bool opened = RunReadinessCheckReportingErrors();
  if (gstrDSN != dsn) {
    MsgBox(kRegistryMismatch, vbOKOnly + vbExclamation);
    return;
  }
  if (opened)
    MsgBox("Connection successfully created. This is now your active connection.", vbOKCancel);
  else
    MsgBox(kSavedButNotOpened, vbOKOnly + vbExclamation);
  Unload();
}

}  // namespace corvanty
