// SPDX-License-Identifier: Apache-2.0
#include "support/forms/inventory.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>
#include <map>

namespace corvanty::testing {

namespace {

Align AlignOf(const QWidget& widget) {
  Qt::Alignment alignment;
  if (auto* label = qobject_cast<const QLabel*>(&widget))
    alignment = label->alignment();
  else if (auto* box = qobject_cast<const QLineEdit*>(&widget))
    alignment = box->alignment();
  else
    return Align::None;
  if (alignment & Qt::AlignRight) return Align::Right;
  return alignment & Qt::AlignHCenter ? Align::Centre : Align::Left;
}

// The caption, label, title or text the user reads on the control.
QString TextOf(const QWidget& widget) {
  for (const char* property : {"text", "title", "plainText", "currentText"})
    if (QVariant value = widget.property(property); value.isValid()) return value.toString();
  return {};
}

std::string Line(const std::string& name, const std::string& kind, const std::string& text,
                 Align align, int tab, const std::string& tooltip, bool is_default) {
  const char* const kAlignWords[] = {"-", "left", "right", "centre"};  // in Align order
  return name + " " + kind + " \"" + text + "\" align=" + kAlignWords[static_cast<int>(align)] +
         " tab=" + std::to_string(tab) + (tooltip.empty() ? "" : " tip=\"" + tooltip + "\"") +
         (is_default ? " default" : "") + "\n";
}

// The tab place of each widget in the dialog's focus chain that takes a tab
// stop, counted from 1 in chain order starting at the dialog.
std::map<const QWidget*, int> TabPlaces(const QWidget& dialog) {
  std::map<const QWidget*, int> places;
  const QWidget* widget = dialog.nextInFocusChain();
  for (int place = 0; widget && widget != &dialog && !places.count(widget);
       widget = widget->nextInFocusChain()) {
    if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
        dialog.isAncestorOf(widget))
      places[widget] = ++place;
  }
  return places;
}

}  // namespace

std::string DescribeInventory(const std::string& caption, const std::vector<ControlRow>& rows) {
  std::string text = "caption \"" + caption + "\"\n";
  for (const ControlRow& row : rows)
    text += Line(row.name, row.kind, row.text, row.align, row.tab, row.tooltip, row.is_default);
  return text;
}

std::string DescribeDialog(const QWidget& dialog, const std::vector<ControlRow>& rows) {
  std::string text = "caption \"" + dialog.windowTitle().toStdString() + "\"\n";
  std::map<const QWidget*, int> tabs = TabPlaces(dialog);
  for (const ControlRow& row : rows) {
    const QWidget* widget = dialog.findChild<const QWidget*>(row.name);
    if (!widget) {
      text += std::string(row.name) + " missing\n";
      continue;
    }
    auto* button = qobject_cast<const QPushButton*>(widget);
    text += Line(row.name, widget->metaObject()->className(), TextOf(*widget).toStdString(),
                 AlignOf(*widget), tabs.count(widget) ? tabs[widget] : 0,
                 widget->toolTip().toStdString(), button && button->isDefault());
  }
  return text;
}

}  // namespace corvanty::testing
