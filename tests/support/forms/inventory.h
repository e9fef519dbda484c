// SPDX-License-Identifier: Apache-2.0
#pragma once
// A dialog's controls checked from one table: each row names a control and
// says what the user sees of it. The live dialog is described in the same
// words and the two descriptions are compared whole, so a changed caption,
// tooltip, alignment, tab stop or default button fails with both texts shown.
#include <string>
#include <vector>

class QWidget;

namespace corvanty::testing {

enum class Align { None, Left, Right, Centre };

struct ControlRow {
  const char* name;  // object name
  const char* kind;  // Qt class name, "QPushButton"
  const char* text;  // caption, label or title; "" for none
  Align align = Align::None;
  int tab = 0;  // place in the tab order from 1; 0 for a control that takes no tab stop
  const char* tooltip = "";
  bool is_default = false;  // the button Enter presses
};

// The dialog's caption and controls described from the table.
std::string DescribeInventory(const std::string& caption, const std::vector<ControlRow>& rows);

// The live dialog described in the same words: each named control looked up
// by its object name (a missing one reads "missing"), its tab place counted
// along the dialog's focus chain.
std::string DescribeDialog(const QWidget& dialog, const std::vector<ControlRow>& rows);

}  // namespace corvanty::testing

// Checks the shown dialog against the table.
#define EXPECT_INVENTORY(dialog, caption, rows)                    \
  EXPECT_EQ(::corvanty::testing::DescribeDialog((dialog), (rows)), \
            ::corvanty::testing::DescribeInventory((caption), (rows)))
