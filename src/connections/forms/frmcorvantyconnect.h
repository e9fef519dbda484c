// SPDX-License-Identifier: Apache-2.0
#pragma once
// Lists the saved connections and makes the chosen one active; closing it
// runs the readiness check for the active connection.
#include <functional>

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

// The readiness check for the active connection stands on a floor above the
// connections: the program gives it once at start-up. It reports its own
// errors, the tool goes on, and it answers whether the check passed.
using ReadinessCheck = std::function<bool()>;
void SetReadinessCheck(ReadinessCheck check);

// Runs the check given. Throws std::logic_error when none was given: the
// dialogs would otherwise take every connection for ready.
bool RunReadinessCheckReportingErrors();

}  // namespace corvanty
