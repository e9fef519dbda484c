#include "shell/forms/positionform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "shell/forms/mdicorvantymain.h"
#include "shell/twips.h"

namespace corvanty {

double ScreenDotsPerInch(const QWidget& widget) {
  QScreen* screen = widget.screen() ? widget.screen() : QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInch() : 96.0;
}

void PositionForm(QWidget& dialog) {
  QWidget& main = mdiCorvantyMain::Instance();
  double dpi = ScreenDotsPerInch(main);
  if (!dialog.isVisible()) dialog.adjustSize();
  TwipPoint at = DialogPosition(PixelsToTwips(main.frameGeometry().width(), dpi),
                                PixelsToTwips(main.frameGeometry().height(), dpi),
                                PixelsToTwips(dialog.frameGeometry().width(), dpi));
  dialog.move(TwipsToPixels(at.left, dpi), TwipsToPixels(at.top, dpi));
}

}  // namespace corvanty
