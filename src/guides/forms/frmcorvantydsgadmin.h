// SPDX-License-Identifier: Apache-2.0
#pragma once
// Lists the guides; the chosen one goes to the tables or the columns editor,
// as the dialog's Tag says.
#include "guides/forms/guidechooser.h"
#include "ui/forms/form.h"

class QPushButton;

namespace corvanty {

class frmCorvantyDSGAdmin : public SingleInstanceForm<frmCorvantyDSGAdmin> {
  Q_OBJECT

 public:
  frmCorvantyDSGAdmin();

  void cmdOK_Click();
  void cmdNew_Click();
  void cmdCancel_Click();

  QGroupBox* Frame1;
  QLabel* Label1;
  QComboBox* cmbAvailableDSG;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  QPushButton* cmdNew;

 protected:
  void Form_Load() override;
};

}  // namespace corvanty
