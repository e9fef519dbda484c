#pragma once
// Controls made with their object names, the names the handlers and the
// dialog tests know them by, and the common dialog layout: a frame above a
// row of buttons.
#include <initializer_list>

class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace corvanty {

QPushButton* NewButton(const char* name, const QString& caption, QWidget* parent);
QLabel* NewLabel(const char* name, const QString& caption, QWidget* parent);
QLineEdit* NewTextBox(const char* name, QWidget* parent);

// Puts frame at the top of dialog and a row of buttons below it: left ones
// at the left edge, right ones at the right.
void LayOutFrameAndButtons(QDialog& dialog, QWidget* frame,
                           std::initializer_list<QPushButton*> left,
                           std::initializer_list<QPushButton*> right);

}  // namespace corvanty
