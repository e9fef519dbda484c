// SPDX-License-Identifier: Apache-2.0
#pragma once
// Runs one guide against typed criteria through the search control and
// shows the result lines. It shows itself from its load, and only when
// there is a guide to test. The search runs in the background, so the
// window stays usable (and Cancel works) while a large result is read.
#include <atomic>
#include <memory>
#include <string>

#include "search/velmorastinesearch.h"
#include "ui/forms/form.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace corvanty {

struct TestSearchOutcome;

class frmCorvantyTest : public SingleInstanceForm<frmCorvantyTest> {
  Q_OBJECT

 public:
  frmCorvantyTest();

  void cmdSearch_Click();
  void cmdCancel_Click();

  QLabel* Label1;
  QComboBox* cmbAvailableDSG;
  QLabel* Label2;
  QLineEdit* txtCriteria;
  QPushButton* cmdSearch;
  QPlainTextEdit* txtResults;
  QPushButton* cmdCancel;
  // The search control the dialog sets; each search runs on a copy of it.
  std::shared_ptr<VelmorastineSearch::Corvanty> Corvanty1 =
      std::make_shared<VelmorastineSearch::Corvanty>();

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  void ShowOutcome(const TestSearchOutcome& outcome);
  void ShowResults(std::shared_ptr<const std::string> text, size_t from);
  void SearchEnded();
  // Set when the dialog goes, so a search still running stops reading.
  std::shared_ptr<std::atomic<bool>> cancelled_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace corvanty
