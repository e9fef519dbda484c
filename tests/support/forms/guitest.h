// SPDX-License-Identifier: Apache-2.0
#pragma once
// Helpers for driving the real dialogs: scripted message boxes, clicking
// buttons and menu entries, and letting deferred deletions happen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <string>

#include "support/databasetest.h"
#include "support/tempdir.h"

namespace corvanty::testing {

// A database test that also drives the dialogs, with a registry of its own.
class GuiTest : public DatabaseTest {
 protected:
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

  // The ways a user leaves a dialog without OK: its Cancel button, the
  // Escape key, and the window's close button.
  static constexpr const char* kWaysToCancel[] = {"cmdCancel", "Escape", "close"};
  // Leaves dialog in one of kWaysToCancel.
  static void LeaveBy(QWidget& dialog, const std::string& way);

  // Chooses an entry of the main window's menu, as a click on it would.
  static void ChooseMenu(const char* name);

  // Every message box shown, one a line: its style and text, and its title
  // when it is not the tool's usual one: "4 Delete this item?\n".
  std::string Boxes() const;

  // Creates database name (see UseNewDatabase), saves its data source as
  // connection 1, makes it active and runs the readiness check (which builds
  // the guide tables).
  void ActivateNewDatabase(const std::string& name);

  TempRegistry registry_;
};

}  // namespace corvanty::testing
