// SPDX-License-Identifier: Apache-2.0
#pragma once
// Takes a name and a description, refuses a name that exists, inserts the
// guide and hands it to the tables editor.
#include "ui/forms/form.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace corvanty {

class frmCorvantyNewDSG : public SingleInstanceForm<frmCorvantyNewDSG> {
  Q_OBJECT

 public:
  frmCorvantyNewDSG();

  void cmdOK_Click();
  void cmdCancel_Click();

  QGroupBox* Frame1;
  QLabel* Label1;
  QLineEdit* txtDSGName;
  QLabel* Label2;
  QPlainTextEdit* txtDSGDescription;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

 protected:
  void Form_Load() override;
};

}  // namespace corvanty
