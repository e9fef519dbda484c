#pragma once
// Helpers for driving the real dialogs: scripted message boxes, clicking
// buttons and menu entries, and letting deferred deletions happen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "support/odbcfixture.h"
#include "support/tempdir.h"
#include "ui/msgbox.h"

namespace corvanty::testing {

class GuiTest : public ::testing::Test {
 protected:
  // Each test starts as the tool does: no active connection, no current guide.
  void SetUp() override;
  void TearDown() override;

  // Processes pending events, deferred deletions included.
  static void Settle();

  // Closes every window, the main window included, as a test's end does.
  static void CloseAllWindows();

  // The object names of the visible windows but the main window, sorted and
  // separated by blanks: which dialogs the user sees.
  static std::string ShownDialogs();

  // Clicks the button of that object name inside parent.
  static void Click(QWidget& parent, const char* button_name);

  // Chooses an entry of the main window's menu, as a click on it would.
  static void ChooseMenu(const char* name);

  // Every message box shown, one a line: its style and text, and its title
  // when it is not the tool's usual one: "4 Delete this item?\n".
  std::string Boxes() const;

  // Exactly one message box was shown, with this text, style and title.
  void ExpectOnlyBox(const std::string& prompt, int style,
                     const std::string& title = kDefaultMsgBoxTitle) const;

  // Creates SQLite database name.db with a data source of the same name,
  // saves it as connection 1, makes it active and runs the readiness check
  // (which builds the guide tables). Returns the database file.
  std::string ActivateNewDatabase(const std::string& name);

  // Every dialog test has its own registry and ODBC configuration.
  TempRegistry registry_;
  OdbcFixture odbc_;
  std::shared_ptr<ScriptedPrompter> boxes_ = std::make_shared<ScriptedPrompter>();
  std::vector<std::string> sent_;  // every statement sent, in order

 private:
  std::shared_ptr<Prompter> previous_;
};

}  // namespace corvanty::testing
