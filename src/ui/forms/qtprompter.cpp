#include "ui/forms/qtprompter.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>

namespace corvanty {

int QtPrompter::Ask(const MessageBoxRequest& request) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(QString::fromStdString(request.title));
  box.setText(QString::fromStdString(request.prompt));
  // Wide enough for the title to show whole; long texts still wrap.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(320, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  box.setIcon(StyleHasExclamation(request.style) ? QMessageBox::Warning : QMessageBox::NoIcon);
  if (StyleIsYesNo(request.style)) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else if (StyleHasCancel(request.style)) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
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
