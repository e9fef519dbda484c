// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/frmcorvantytest.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "connections/connectionstore.h"
#include "guides/forms/guidechooser.h"
#include "guides/testsearch.h"
#include "ui/forms/backgroundwork.h"
#include "ui/forms/controls.h"
#include "ui/forms/positionform.h"
#include "ui/msgbox.h"

namespace corvanty {

using namespace basCorvantyAdmin;

frmCorvantyTest::frmCorvantyTest() {
  setObjectName("frmCorvantyTest");
  setWindowTitle("Test Db Search Guide");
  Label1 = NewLabel("Label1", "Search Guide :", this);
  cmbAvailableDSG = new QComboBox(this);
  cmbAvailableDSG->setObjectName("cmbAvailableDSG");
  cmbAvailableDSG->setMinimumWidth(240);
  Label2 = NewLabel("Label2", "Search for :", this);
  txtCriteria = NewTextBox("txtCriteria", this);
  cmdSearch = NewButton("cmdSearch", "Search!", this);
  txtResults = NewMultiLineTextBox("txtResults", this);
  txtResults->setReadOnly(true);
  txtResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtResults->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtResults->setMinimumSize(520, 260);
  cmdCancel = NewButton("cmdCancel", "Cancel", this);
  cmdSearch->setDefault(true);

  auto* fields = new QGridLayout;
  fields->addWidget(Label1, 0, 0);
  fields->addWidget(cmbAvailableDSG, 0, 1);
  fields->addWidget(Label2, 1, 0);
  fields->addWidget(txtCriteria, 1, 1);
  fields->addWidget(cmdSearch, 1, 2);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(fields);
  outer->addWidget(txtResults, 1);
  outer->addLayout(NewButtonRow({}, {cmdCancel}));

  setTabOrder(cmbAvailableDSG, txtCriteria);
  setTabOrder(txtCriteria, cmdSearch);
  setTabOrder(cmdSearch, txtResults);
  setTabOrder(txtResults, cmdCancel);
  connect(cmdSearch, &QPushButton::clicked, this, &frmCorvantyTest::cmdSearch_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmCorvantyTest::cmdCancel_Click);
}

void frmCorvantyTest::Form_Load() {
  Corvanty1->DataSourceName = gstrDSN;
  Corvanty1->UserID = gstrUID;
  Corvanty1->Password = gstrPWD;
  PositionForm(*this);
  std::optional<std::vector<GuideEntry>> guides = ListGuidesReportingErrors();
  if (guides && guides->empty()) MsgBox("There are no Database Search Guides to test!");
  if (!guides || guides->empty()) {
    Unload();  // discarded, so the next Tools command loads the list afresh
    return;
  }
  FillGuideList(*cmbAvailableDSG, *guides);
  show();
  txtCriteria->setFocus();  // type, then Enter searches
}

void frmCorvantyTest::Form_Unload() { cancelled_->store(true); }

void frmCorvantyTest::cmdSearch_Click() {
  if (!cmdSearch->isEnabled()) return;  // a search is running
  Corvanty1->SearchGuide = cmbAvailableDSG->currentText().toStdString();
  Corvanty1->Criteria = txtCriteria->text().toStdString();
  cmdSearch->setEnabled(false);
  setCursor(Qt::BusyCursor);
  auto outcome = std::make_shared<TestSearchOutcome>();
  // The search thread gets a control of its own: nothing it reads or
  // changes is the dialog's.
  RunInBackground(
      this,
      [control = std::make_shared<VelmorastineSearch::Corvanty>(*Corvanty1), cancelled = cancelled_,
       outcome] { *outcome = RunTestSearch(*control, *cancelled); },
      [this, outcome] { ShowOutcome(*outcome); });
}

void frmCorvantyTest::ShowOutcome(const TestSearchOutcome& outcome) {
  if (outcome.found && outcome.error.empty()) {
    txtResults->clear();
    return ShowResults(std::make_shared<const std::string>(outcome.text), 0);
  }
  if (!outcome.error.empty())
    MsgBox(outcome.error, vbOKOnly + vbExclamation);
  else
    MsgBox("No results for criteria.");
  txtResults->clear();  // once the message is read: earlier results would pass for this search's
  SearchEnded();
}

void frmCorvantyTest::ShowResults(std::shared_ptr<const std::string> text, size_t from) {
  // A large result goes in a piece at a time, so the window keeps repainting
  // and Cancel keeps working while the box fills.
  constexpr int kLinesPerPiece = 2000;
  size_t end = from;
  for (int line = 0; line < kLinesPerPiece && end < text->size(); ++line)
    end = text->find('\n', end) + 1;  // every result line ends with CR LF
  QTextCursor cursor(txtResults->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(QString::fromStdString(text->substr(from, end - from)));
  if (end < text->size())
    QTimer::singleShot(0, this, [this, text, end] { ShowResults(text, end); });
  else
    SearchEnded();
}

void frmCorvantyTest::SearchEnded() {
  cmdSearch->setEnabled(true);
  unsetCursor();
}

void frmCorvantyTest::cmdCancel_Click() { Unload(); }

}  // namespace corvanty
