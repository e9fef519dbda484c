// SPDX-License-Identifier: Apache-2.0
#pragma once
// Controls made with their object names, the names the handlers and the
// dialog tests know them by, and the common dialog layout: a frame above a
// row of buttons.
#include <initializer_list>

class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QString;
class QWidget;

namespace corvanty {

QPushButton* NewButton(const char* name, const QString& caption, QWidget* parent);
QLabel* NewLabel(const char* name, const QString& caption, QWidget* parent);
QLineEdit* NewTextBox(const char* name, QWidget* parent);
// A multi-line text box that Tab leaves rather than types into.
QPlainTextEdit* NewMultiLineTextBox(const char* name, QWidget* parent);

// The index of a list's selected entry, -1 when none is selected.
int ListIndex(const QListWidget& list);

// A row of buttons: left ones at the left edge, right ones at the right.
QHBoxLayout* NewButtonRow(std::initializer_list<QPushButton*> left,
                          std::initializer_list<QPushButton*> right);

// Puts frame at the top of dialog and a row of buttons below it: left ones
// at the left edge, right ones at the right.
void LayOutFrameAndButtons(QDialog& dialog, QWidget* frame,
                           std::initializer_list<QPushButton*> left,
                           std::initializer_list<QPushButton*> right);

}  // namespace corvanty
