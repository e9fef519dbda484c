// SPDX-License-Identifier: Apache-2.0
#pragma once
// The tables editor: which tables a guide searches and how they are joined,
// kept as the guide's FROM and WHERE clauses. Tables move between the
// database's user tables and the guide's; the clauses are checked on the
// server before they are saved, and OK hands the tables to the columns editor.
#include "ui/forms/form.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace corvanty {

class frmCorvantyTables : public SingleInstanceForm<frmCorvantyTables> {
  Q_OBJECT

 public:
  frmCorvantyTables();

  void cmdOneRight_Click();
  void cmdOneLeft_Click();
  void lstAvailableTbls_DblClick();
  void lstSelectedTbls_DblClick();
  void cmdVerifySyntax_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

  QGroupBox* Frame1;
  QLabel* Label1;
  QLabel* Label2;
  QListWidget* lstAvailableTbls;
  QLabel* Label3;
  QListWidget* lstSelectedTbls;
  QPushButton* cmdOneRight;
  QPushButton* cmdOneLeft;
  QLabel* Label4;
  QPlainTextEdit* txtFROM;
  QLabel* Label5;
  QPlainTextEdit* txtWHERE;
  QPushButton* cmdVerifySyntax;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

 protected:
  void Form_Load() override;
  void Form_QueryUnload() override { cmdCancel_Click(); }

 private:
  void LoadTables();
  bool mblnSyntaxVerified = false;
};

}  // namespace corvanty
