// SPDX-License-Identifier: Apache-2.0
#pragma once
// Removes one guide with its tables row, column settings and search index. It shows
// itself from its load, and only when there is a guide to delete.
#include "guides/forms/guidechooser.h"
#include "ui/forms/form.h"

class QPushButton;

namespace corvanty {

class frmCorvantyDSGDelete : public SingleInstanceForm<frmCorvantyDSGDelete> {
  Q_OBJECT

 public:
  frmCorvantyDSGDelete();

  void cmdDelete_Click();
  void cmdCancel_Click();

  QGroupBox* Frame1;
  QLabel* Label1;
  QComboBox* cmbAvailableDSG;
  QPushButton* cmdDelete;
  QPushButton* cmdCancel;

 protected:
  void Form_Load() override;
};

}  // namespace corvanty
