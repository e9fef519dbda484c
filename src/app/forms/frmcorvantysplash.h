// SPDX-License-Identifier: Apache-2.0
#pragma once
// The splash window: product name, version and maker; any key, a click on
// it or ten seconds dismiss it and start the application.
#include "ui/forms/form.h"

class QLabel;
class QTimer;

namespace corvanty {

class ClickableFrame;

class frmCorvantySplash : public SingleInstanceForm<frmCorvantySplash> {
  Q_OBJECT

 public:
  frmCorvantySplash();

  void Frame1_Click();
  void Timer1_Timer();

  ClickableFrame* Frame1;
  QTimer* Timer1;
  QLabel* imgLogo;
  QLabel* lblProductName;
  QLabel* lblVersion;
  QLabel* lblPlatform;
  QLabel* lblWarning;
  QLabel* lblCompanyProduct;
  QLabel* lblCompany;

 protected:
  void Form_Load() override;
  void keyPressEvent(QKeyEvent* event) override;
  void Form_KeyPress(int key_ascii);

 private:
  void Dismiss();
};

// "Version 1.1.0" for the running build.
QString VersionCaption();

}  // namespace corvanty
