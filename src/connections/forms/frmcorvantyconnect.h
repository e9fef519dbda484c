// SPDX-License-Identifier: Apache-2.0
#pragma once
// Lists the saved connections and makes the chosen one active; closing it
// runs the readiness check for the active connection.
#include "ui/forms/form.h"

class QComboBox;
class QLabel;
class QPushButton;
class QGroupBox;

namespace corvanty {

class frmCorvantyConnect : public SingleInstanceForm<frmCorvantyConnect> {
  Q_OBJECT

 public:
  frmCorvantyConnect();

  void cmdConnect_Click();
  void cmdNew_Click();
  void cmdCancel_Click();

  QGroupBox* Frame1;
  QLabel* Label1;
  QComboBox* cmbAvailableDb;
  QPushButton* cmdNew;
  QPushButton* cmdConnect;
  QPushButton* cmdCancel;

 protected:
  void Form_Load() override;
  void Form_Unload() override;
  void Form_QueryUnload() override { cmdCancel_Click(); }
};

// Runs the readiness check for the active connection; an error coming out
// of it is reported, the tool goes on and the result is false.
bool RunReadinessCheckReportingErrors();

}  // namespace corvanty
