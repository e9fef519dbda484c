#include "support/forms/guitest.h"

#include <QAction>

#include "connections/connectionstore.h"
#include "engine/readiness.h"
#include "guides/currentguide.h"
#include "shell/forms/mdicorvantymain.h"

namespace corvanty::testing {

namespace {
void ForgetActiveConnectionAndGuide() {
  basCorvantyAdmin::ResetConnectionParameters();
  basCorvantyAdmin::gintDSGID = 0;
  basCorvantyAdmin::gstrDSGMode.clear();
}
}  // namespace

void GuiTest::SetUp() {
  previous_ = SetPrompter(boxes_);
  ForgetActiveConnectionAndGuide();
}

void GuiTest::TearDown() {
  // Close every window a test left open, so the next test starts clean.
  for (QWidget* window : QApplication::topLevelWidgets()) window->close();
  if (mdiCorvantyMain* main = mdiCorvantyMain::Existing()) main->Unload();
  Settle();
  SetPrompter(previous_);
  ForgetActiveConnectionAndGuide();
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

void GuiTest::ChooseMenu(const char* name) {
  auto* entry = mdiCorvantyMain::Instance().findChild<QAction*>(name);
  ASSERT_NE(entry, nullptr) << "no menu entry named " << name;
  entry->trigger();
}

void GuiTest::ExpectOnlyBox(const std::string& prompt, int style, const std::string& title) {
  ASSERT_EQ(boxes_->Shown().size(), 1u);
  EXPECT_EQ(boxes_->Shown()[0].prompt, prompt);
  EXPECT_EQ(boxes_->Shown()[0].style, style);
  EXPECT_EQ(boxes_->Shown()[0].title, title);
}

std::string GuiTest::ActivateNewDatabase(const std::string& name) {
  odbc_.AddSqliteDatabase(name);
  EXPECT_TRUE(basCorvantyAdmin::SaveConnection(1, name, "u", ""));
  EXPECT_TRUE(basCorvantyAdmin::LoadConnection(1));
  basCorvantyAdmin::gintActiveConnection = 1;
  EXPECT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness());
  return odbc_.File(name + ".db");
}

}  // namespace corvanty::testing
