// SPDX-License-Identifier: Apache-2.0
#include "connections/forms/frmcorvantyconnect.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "connections/connectionstore.h"
#include "connections/forms/frmcorvantynewconnection.h"
#include "connections/registryfile.h"
#include "connections/session.h"
#include "connections/sqlerrorreport.h"
#include "schema/readiness.h"
#include "ui/forms/controls.h"
#include "ui/forms/mainwindow.h"
#include "ui/forms/positionform.h"

namespace corvanty {

using namespace basCorvantyAdmin;

bool RunReadinessCheckReportingErrors() {
  try {
    Session session(gstrConnect);
    CheckDatabaseReadiness(session);
    return true;
  } catch (const std::exception& error) {
    ReportDialogError(error);
    return false;
  }
}

frmCorvantyConnect::frmCorvantyConnect() {
  setObjectName("frmCorvantyConnect");
  setWindowTitle("Corvanty Admin Db Connect");
  Frame1 = new QGroupBox(this);
  Frame1->setObjectName("Frame1");
  Label1 = NewLabel("Label1", "Connect To :", Frame1);
  cmbAvailableDb = new QComboBox(Frame1);
  cmbAvailableDb->setObjectName("cmbAvailableDb");
  cmbAvailableDb->setEditable(false);
  cmbAvailableDb->setMinimumWidth(220);
  cmbAvailableDb->setToolTip("Displays a list of databases available for administration.");
  cmdNew = NewButton("cmdNew", "New", this);
  cmdConnect = NewButton("cmdConnect", "Connect", this);
  cmdConnect->setToolTip("Connect to selected database.");
  cmdConnect->setDefault(true);
  cmdCancel = NewButton("cmdCancel", "Cancel", this);
  cmdCancel->setToolTip("Quit the Velmorastine Corvanty Administrator");

  auto* chooser = new QHBoxLayout(Frame1);
  chooser->addWidget(Label1);
  chooser->addWidget(cmbAvailableDb, 1);
  LayOutFrameAndButtons(*this, Frame1, {cmdNew}, {cmdConnect, cmdCancel});

  setTabOrder(cmbAvailableDb, cmdNew);
  setTabOrder(cmdNew, cmdConnect);
  setTabOrder(cmdConnect, cmdCancel);

  connect(cmdConnect, &QPushButton::clicked, this, &frmCorvantyConnect::cmdConnect_Click);
  connect(cmdNew, &QPushButton::clicked, this, &frmCorvantyConnect::cmdNew_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmCorvantyConnect::cmdCancel_Click);
}

void frmCorvantyConnect::Form_Load() {
  PositionForm(*this);
  std::vector<std::string> connections;
  try {
    ListConnections(connections);
  } catch (const RegistryError& error) {
    ReportDialogError(error);  // the list stays empty: New and Cancel still work
  }
  for (size_t i = 1; i < connections.size(); ++i)
    cmbAvailableDb->addItem(QString::fromStdString(connections[i]), static_cast<int>(i));
  if (connections.size() > 1) cmbAvailableDb->setCurrentIndex(0);
}

void frmCorvantyConnect::cmdConnect_Click() {
  // With no saved connection there is nothing to connect to.
  if (cmbAvailableDb->currentIndex() < 0) return;
  auto number = static_cast<int16_t>(cmbAvailableDb->currentData().toInt());
  try {
    LoadConnection(number);
  } catch (const RegistryError& error) {
    ReportDialogError(error);  // the active connection stays as it was
    return;
  }
  gintActiveConnection = number;
  Unload();
}

void frmCorvantyConnect::cmdNew_Click() {
  frmCorvantyNewConnection::Instance().Show(Modality::Modal);
}

void frmCorvantyConnect::cmdCancel_Click() {
  Unload();
  if (gstrConnect.empty()) {
    if (QWidget* main = MainWindow()) main->close();  // the tool ends
  }
}

void frmCorvantyConnect::Form_Unload() { RunReadinessCheckReportingErrors(); }

}  // namespace corvanty
