#include "ui/forms/controls.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

void LayOutFrameAndButtons(QDialog& dialog, QWidget* frame,
                           std::initializer_list<QPushButton*> left,
                           std::initializer_list<QPushButton*> right) {
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : left) buttons->addWidget(button);
  buttons->addStretch(1);
  for (QPushButton* button : right) buttons->addWidget(button);
  auto* outer = new QVBoxLayout(&dialog);
  outer->addWidget(frame);
  outer->addLayout(buttons);
}

}  // namespace corvanty
