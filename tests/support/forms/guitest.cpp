#include "support/forms/guitest.h"

#include "shell/forms/mdicorvantymain.h"

namespace corvanty::testing {

void GuiTest::TearDown() {
  // Close every window a test left open, so the next test starts clean.
  for (QWidget* window : QApplication::topLevelWidgets()) window->close();
  if (mdiCorvantyMain* main = mdiCorvantyMain::Existing()) main->Unload();
  Settle();
  SetPrompter(previous_);
}

void GuiTest::Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

void GuiTest::Click(QWidget& parent, const char* button_name) {
  auto* button = Child<QPushButton>(parent, button_name);
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace corvanty::testing
