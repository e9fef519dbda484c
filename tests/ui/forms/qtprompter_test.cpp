// SPDX-License-Identifier: Apache-2.0
// The message box the admin tool shows: real Qt message boxes, answered from
// a timer by key or click as the administrator would.
#include "ui/forms/qtprompter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace corvanty {
namespace {

const QMessageBox::StandardButton kButtons[] = {QMessageBox::Ok, QMessageBox::Cancel,
                                                QMessageBox::Yes, QMessageBox::No};

// Asks through the Qt prompter and, once the box is up, describes it into
// shown ("title|text|OK Cancel|warning|OK": its buttons, icon and default
// button), then presses Enter (action 0), Esc (1) or clicks the box's button
// number action - 2. A box the answer leaves open is closed after a second
// and marked so.
int Ask(int style, size_t action, std::string& shown) {
  QTimer::singleShot(0, [&] {
    QMessageBox& box = *qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QStringList names;
    QString preset = "none";
    std::vector<QAbstractButton*> buttons;
    for (QMessageBox::StandardButton kind : kButtons) {
      if (auto* button = qobject_cast<QPushButton*>(box.button(kind))) {
        buttons.push_back(button);
        names << button->text().remove('&');
        if (button->isDefault()) preset = names.back();
      }
    }
    const char* icon = box.icon() == QMessageBox::Warning  ? "warning"
                       : box.icon() == QMessageBox::NoIcon ? "none"
                                                           : "other";
    shown = QStringList({box.windowTitle(), box.text(), names.join(' '), icon, preset})
                .join('|')
                .toStdString();
    // The title bar holds the whole title beside the window's icon and its
    // three buttons (46 pixels each on Windows).
    int title = box.fontMetrics().horizontalAdvance(box.windowTitle());
    EXPECT_GE(box.width(), title + 3 * 46 + 24) << shown;
    QTimer::singleShot(1000, &box, [&shown, open = &box] {
      shown += " (left open)";
      open->done(0);
    });
    if (action < 2)
      QTest::keyClick(&box, action == 0 ? Qt::Key_Return : Qt::Key_Escape);
    else if (action - 2 < buttons.size())
      QTest::mouseClick(buttons[action - 2], Qt::LeftButton);
  });
  return QtPrompter().Ask({"'Db_Search_Guides' created.", style, kDefaultMsgBoxTitle});
}

TEST(QtPrompter, EachStyleShowsItsButtonsAndIconAndAnswersEveryKeyAndButton) {
  // {style, what the box shows, the answers to Enter, to Esc and to a click
  // on each button in the order shown}
  const struct {
    int style;
    const char* shown;
    std::vector<int> answers;
  } rows[] = {
      {0, "OK|none|OK", {vbOK, vbOK, vbOK}},
      {1, "OK Cancel|none|OK", {vbOK, vbCancel, vbOK, vbCancel}},
      {4, "Yes No|none|Yes", {vbYes, vbNo, vbYes, vbNo}},
      {48, "OK|warning|OK", {vbOK, vbOK, vbOK}},
      {49, "OK Cancel|warning|OK", {vbOK, vbCancel, vbOK, vbCancel}},
      {52, "Yes No|warning|Yes", {vbYes, vbNo, vbYes, vbNo}},
  };
  for (const auto& row : rows) {
    std::vector<int> answers;
    for (size_t action = 0; action < row.answers.size(); ++action) {
      std::string shown;
      answers.push_back(Ask(row.style, action, shown));
      EXPECT_EQ(shown,
                std::string("Velmorastine: Corvanty|'Db_Search_Guides' created.|") + row.shown)
          << row.style << " action " << action;
    }
    EXPECT_EQ(answers, row.answers) << row.style;
  }
}

}  // namespace
}  // namespace corvanty
