// SPDX-License-Identifier: Apache-2.0
#include "ui/forms/qtprompter.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>

namespace corvanty {

namespace {
// Room the window frame's title bar takes besides the title: the window's
// icon and its minimise, maximise and close buttons.
constexpr int kTitleBarControlsWidth = 180;

// Keeps the box at least wide enough for its title bar to show the whole
// title; long texts still wrap. Done last: setting the icon or the buttons
// lays the box out anew and would drop it.
void FitTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarControlsWidth;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}
}  // namespace

int QtPrompter::Ask(const MessageBoxRequest& request) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(QString::fromStdString(request.title));
  box.setText(QString::fromStdString(request.prompt));
  box.setIcon(StyleHasExclamation(request.style) ? QMessageBox::Warning : QMessageBox::NoIcon);
  if (StyleIsYesNo(request.style)) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else if (StyleHasCancel(request.style)) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
  }
  FitTitle(box);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return vbYes;
    case QMessageBox::No:
      return vbNo;
    case QMessageBox::Cancel:
      return vbCancel;
    default:
      return StyleHasCancel(request.style) && box.clickedButton() == nullptr ? vbCancel : vbOK;
  }
}

}  // namespace corvanty
