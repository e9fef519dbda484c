// SPDX-License-Identifier: Apache-2.0
#pragma once
// Takes a data source name, login and password, saves them as a new
// connection and makes it the active one.
#include "ui/forms/form.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QGroupBox;

namespace corvanty {

class frmCorvantyNewConnection : public SingleInstanceForm<frmCorvantyNewConnection> {
  Q_OBJECT

 public:
  frmCorvantyNewConnection();

  void cmdConnect_Click();

  QGroupBox* Frame1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLineEdit* txtDSN;
  QLineEdit* txtUID;
  QLineEdit* txtPWD;
  QPushButton* cmdConnect;

 protected:
  void Form_Load() override;
};

}  // namespace corvanty
