// SPDX-License-Identifier: Apache-2.0
#include "ui/forms/positionform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/forms/mainwindow.h"
#include "ui/twips.h"

namespace corvanty {

double ScreenDotsPerInch(const QWidget& widget) {
  QScreen* screen = widget.screen() ? widget.screen() : QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInch() : 96.0;
}

void PositionForm(QWidget& dialog) {
  QWidget* main_window = MainWindow();
  if (!main_window) return;  // nothing to place it by
  QWidget& main = *main_window;
  double dpi = ScreenDotsPerInch(main);
  if (!dialog.isVisible()) dialog.adjustSize();
  TwipPoint at = DialogPosition(PixelsToTwips(main.frameGeometry().width(), dpi),
                                PixelsToTwips(main.frameGeometry().height(), dpi),
                                PixelsToTwips(dialog.frameGeometry().width(), dpi));
  dialog.move(TwipsToPixels(at.left, dpi), TwipsToPixels(at.top, dpi));
}

}  // namespace corvanty
