// SPDX-License-Identifier: Apache-2.0
#include "ui/forms/controls.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvanty {

QPushButton* NewButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QLabel* NewLabel(const char* name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

QLineEdit* NewTextBox(const char* name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  return box;
}

QPlainTextEdit* NewMultiLineTextBox(const char* name, QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(name);
  box->setTabChangesFocus(true);
  return box;
}

int ListIndex(const QListWidget& list) {
  const QList<QListWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? -1 : list.row(selected.first());
}

QHBoxLayout* NewButtonRow(std::initializer_list<QPushButton*> left,
                          std::initializer_list<QPushButton*> right) {
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : left) buttons->addWidget(button);
  buttons->addStretch(1);
  for (QPushButton* button : right) buttons->addWidget(button);
  return buttons;
}

void LayOutFrameAndButtons(QDialog& dialog, QWidget* frame,
                           std::initializer_list<QPushButton*> left,
                           std::initializer_list<QPushButton*> right) {
  auto* outer = new QVBoxLayout(&dialog);
  outer->addWidget(frame);
  outer->addLayout(NewButtonRow(left, right));
}

}  // namespace corvanty
