// SPDX-License-Identifier: Apache-2.0
#include "support/forms/guitest.h"

#include <QAction>

#include "app/forms/mdicorvantymain.h"
#include "connections/connectionstore.h"
#include "schema/readiness.h"

namespace corvanty::testing {

void GuiTest::TearDown() {
  CloseAllWindows();  // so the next test starts clean
  DatabaseTest::TearDown();
}

void GuiTest::Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

void GuiTest::CloseAllWindows() {
  for (QWidget* window : QApplication::topLevelWidgets()) window->close();
  if (mdiCorvantyMain* main = mdiCorvantyMain::Existing()) main->Unload();
  Settle();
}

std::string GuiTest::ShownDialogs() {
  QStringList names;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window != mdiCorvantyMain::Existing()) names << window->objectName();
  names.sort();
  return names.join(' ').toStdString();
}

void GuiTest::Click(QWidget& parent, const char* button_name) {
  auto* button = parent.findChild<QPushButton*>(button_name);
  ASSERT_NE(button, nullptr) << "no button named " << button_name;
  QTest::mouseClick(button, Qt::LeftButton);
}

void GuiTest::LeaveBy(QWidget& dialog, const std::string& way) {
  if (way == "Escape") {
    QTest::keyClick(&dialog, Qt::Key_Escape);
  } else if (way == "close") {
    dialog.close();  // the close event the window's close button sends
  } else {
    ASSERT_EQ(way, "cmdCancel");
    Click(dialog, "cmdCancel");
  }
}

void GuiTest::ChooseMenu(const char* name) {
  auto* entry = mdiCorvantyMain::Instance().findChild<QAction*>(name);
  ASSERT_NE(entry, nullptr) << "no menu entry named " << name;
  entry->trigger();
}

std::string GuiTest::Boxes() const {
  std::string shown;
  for (const MessageBoxRequest& box : boxes_->Shown())
    shown += std::to_string(box.style) + " " + box.prompt +
             (box.title == kDefaultMsgBoxTitle ? "" : " [" + box.title + "]") + "\n";
  return shown;
}

void GuiTest::ActivateNewDatabase(const std::string& name) {
  const PostgresLogin login;
  EXPECT_EQ(basCorvantyAdmin::SaveNewConnection(UseNewDatabase(name), postgres() ? login.user : "u",
                                                postgres() ? login.password : ""),
            1);
  EXPECT_TRUE(basCorvantyAdmin::LoadConnection(1));
  basCorvantyAdmin::gintActiveConnection = 1;
  Session session(basCorvantyAdmin::gstrConnect);  // as the Connect dialog checks it
  EXPECT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
}

}  // namespace corvanty::testing
