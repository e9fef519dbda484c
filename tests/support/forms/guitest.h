#pragma once
// Helpers for driving the real dialogs: scripted message boxes, finding
// controls by object name, clicking, and letting deferred deletions happen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "shell/msgbox.h"
#include "support/odbcfixture.h"
#include "support/tempdir.h"

namespace corvanty::testing {

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = SetPrompter(boxes_); }
  void TearDown() override;

  // Processes pending events, deferred deletions included.
  static void Settle();

  template <class Widget = QWidget>
  static Widget* Child(QWidget& parent, const char* name) {
    Widget* found = parent.findChild<Widget*>(name);
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
  }

  static void Click(QWidget& parent, const char* button_name);

  // Every dialog test has its own registry and ODBC configuration.
  TempRegistry registry_;
  OdbcFixture odbc_;
  std::shared_ptr<ScriptedPrompter> boxes_ = std::make_shared<ScriptedPrompter>();

 private:
  std::shared_ptr<Prompter> previous_;
};

}  // namespace corvanty::testing
