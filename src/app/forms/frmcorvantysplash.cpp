// SPDX-License-Identifier: Apache-2.0
#include "app/forms/frmcorvantysplash.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "app/forms/startup.h"
#include "ui/forms/controls.h"
#include "ui/msgbox.h"

namespace corvanty {

class ClickableFrame : public QFrame {
 public:
  using QFrame::QFrame;
  std::function<void()> on_click;

 protected:
  void mouseReleaseEvent(QMouseEvent*) override {
    if (on_click) on_click();
  }
};

namespace {
QLabel* SplashLabel(const char* name, const char* caption, int point_size, QWidget* parent) {
  QLabel* label = NewLabel(name, caption, parent);
  label->setFont(QFont("Arial", point_size));
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}
}  // namespace

QString VersionCaption() { return QString("Version ") + CORVANTY_VERSION; }

frmCorvantySplash::frmCorvantySplash() {
  setObjectName("frmCorvantySplash");
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
  Frame1 = new ClickableFrame(this);
  Frame1->setObjectName("Frame1");
  Frame1->setFrameShape(QFrame::Box);
  Frame1->on_click = [this] { Frame1_Click(); };
  imgLogo = new QLabel(Frame1);
  imgLogo->setObjectName("imgLogo");
  imgLogo->setText("<b style='font-size:28pt;color:#1c4f8c'>&#9670;</b>");
  imgLogo->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblCompanyProduct = SplashLabel("lblCompanyProduct", "Velmorastine", 12, Frame1);
  lblProductName = SplashLabel("lblProductName", "Corvanty", 26, Frame1);
  lblPlatform = SplashLabel("lblPlatform", "For : MS SQL Server", 12, Frame1);
  lblVersion = SplashLabel("lblVersion", "Version 1.1", 12, Frame1);
  lblWarning = SplashLabel("lblWarning", "Warning", 8, Frame1);
  lblCompany = SplashLabel("lblCompany", "Velmorastine, Inc.", 10, Frame1);

  auto* inner = new QVBoxLayout(Frame1);
  inner->setContentsMargins(30, 24, 30, 24);
  for (QLabel* label : {imgLogo, lblCompanyProduct, lblProductName, lblPlatform, lblVersion,
                        lblWarning, lblCompany})
    inner->addWidget(label);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(Frame1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(10000);
  connect(Timer1, &QTimer::timeout, this, &frmCorvantySplash::Timer1_Timer);
  Timer1->start();
}

void frmCorvantySplash::Form_Load() {
  lblVersion->setText(VersionCaption());
  lblProductName->setText(kAppTitle);
}

void frmCorvantySplash::keyPressEvent(QKeyEvent* event) { Form_KeyPress(event->key()); }

void frmCorvantySplash::Form_KeyPress(int) { Dismiss(); }
void frmCorvantySplash::Frame1_Click() { Dismiss(); }
void frmCorvantySplash::Timer1_Timer() { Dismiss(); }

void frmCorvantySplash::Dismiss() {
  // The first of the three events starts the application; the window is
  // gone before another can arrive.
  if (IsUnloading()) return;
  Timer1->stop();
  Main();
  Unload();
}

}  // namespace corvanty
