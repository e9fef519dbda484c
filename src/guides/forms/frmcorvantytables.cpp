// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/frmcorvantytables.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "connections/connectionstore.h"
#include "connections/sqlerrorreport.h"
#include "guides/currentguide.h"
#include "guides/forms/frmcorvantycolumns.h"
#include "guides/forms/movelistitems.h"
#include "guides/fromlist.h"
#include "guides/guideclauses.h"
#include "guides/guidestore.h"
#include "guides/syntaxcheck.h"
#include "ui/forms/controls.h"
#include "ui/forms/positionform.h"
#include "ui/msgbox.h"

namespace corvanty {

using namespace basCorvantyAdmin;

namespace {

QListWidget* NewListBox(const char* name, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(name);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setUniformItemSizes(true);  // quick with thousands of tables
  return list;
}

std::string TextOf(const QPlainTextEdit& box) { return box.toPlainText().toStdString(); }

std::string SelectedText(const QListWidget& list) {
  return list.item(ListIndex(list))->text().toStdString();
}

// A table's name within a list entry: its first word (an entry read back
// from a hand-typed clause may carry blanks or an alias).
std::string TableNameOf(const std::string& entry) {
  size_t first = entry.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return entry.substr(first, entry.find(' ', first) - first);
}

std::string From(const std::string& clause, size_t keyword_length) {
  return clause.size() > keyword_length ? clause.substr(keyword_length) : "";
}

}  // namespace

frmCorvantyTables::frmCorvantyTables() {
  setObjectName("frmCorvantyTables");
  setWindowTitle("Db Search Guide Table(s)");
  Frame1 = new QGroupBox("Hint", this);
  Frame1->setObjectName("Frame1");
  Label1 = NewLabel(
      "Label1",
      "Choose tables that are related to one another as well as to the Database Search Guide.",
      Frame1);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setWordWrap(true);
  (new QVBoxLayout(Frame1))->addWidget(Label1);

  Label2 = NewLabel("Label2", "Available Tables", this);
  lstAvailableTbls = NewListBox("lstAvailableTbls", this);
  cmdOneRight = NewButton("cmdOneRight", ">", this);
  cmdOneLeft = NewButton("cmdOneLeft", "<", this);
  Label3 = NewLabel("Label3", "Selected Tables", this);
  lstSelectedTbls = NewListBox("lstSelectedTbls", this);
  Label4 = NewLabel("Label4", "FROM :", this);
  Label4->setAlignment(Qt::AlignRight | Qt::AlignTop);
  txtFROM = NewMultiLineTextBox("txtFROM", this);
  Label5 = NewLabel("Label5", "WHERE :", this);
  Label5->setAlignment(Qt::AlignRight | Qt::AlignTop);
  txtWHERE = NewMultiLineTextBox("txtWHERE", this);
  cmdVerifySyntax = NewButton("cmdVerifySyntax", "Verify Syntax", this);
  cmdOK = NewButton("cmdOK", "OK", this);
  cmdCancel = NewButton("cmdCancel", "Cancel", this);
  cmdOK->setDefault(true);

  auto* moves = new QVBoxLayout;
  moves->addStretch(1);
  moves->addWidget(cmdOneRight);
  moves->addWidget(cmdOneLeft);
  moves->addStretch(1);
  auto* lists = new QGridLayout;
  lists->addWidget(Label2, 0, 0);
  lists->addWidget(Label3, 0, 2);
  lists->addWidget(lstAvailableTbls, 1, 0);
  lists->addLayout(moves, 1, 1);
  lists->addWidget(lstSelectedTbls, 1, 2);
  auto* clauses = new QGridLayout;
  clauses->addWidget(Label4, 0, 0);
  clauses->addWidget(txtFROM, 0, 1);
  clauses->addWidget(Label5, 1, 0);
  clauses->addWidget(txtWHERE, 1, 1);
  txtFROM->setFixedHeight(60);
  txtWHERE->setFixedHeight(80);
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(Frame1);
  outer->addLayout(lists, 1);
  outer->addLayout(clauses);
  outer->addLayout(NewButtonRow({cmdVerifySyntax}, {cmdOK, cmdCancel}));
  resize(560, 520);

  setTabOrder(lstAvailableTbls, cmdOneRight);
  setTabOrder(cmdOneRight, cmdOneLeft);
  setTabOrder(cmdOneLeft, lstSelectedTbls);
  setTabOrder(lstSelectedTbls, txtFROM);
  setTabOrder(txtFROM, txtWHERE);
  setTabOrder(txtWHERE, cmdVerifySyntax);
  setTabOrder(cmdVerifySyntax, cmdOK);
  setTabOrder(cmdOK, cmdCancel);

  connect(cmdOneRight, &QPushButton::clicked, this, &frmCorvantyTables::cmdOneRight_Click);
  connect(cmdOneLeft, &QPushButton::clicked, this, &frmCorvantyTables::cmdOneLeft_Click);
  connect(lstAvailableTbls, &QListWidget::itemDoubleClicked, this,
          &frmCorvantyTables::lstAvailableTbls_DblClick);
  connect(lstSelectedTbls, &QListWidget::itemDoubleClicked, this,
          &frmCorvantyTables::lstSelectedTbls_DblClick);
  // A check passed holds only for the texts it ran on.
  for (QPlainTextEdit* box : {txtFROM, txtWHERE})
    connect(box, &QPlainTextEdit::textChanged, this, [this] { mblnSyntaxVerified = false; });
  connect(cmdVerifySyntax, &QPushButton::clicked, this, &frmCorvantyTables::cmdVerifySyntax_Click);
  connect(cmdOK, &QPushButton::clicked, this, &frmCorvantyTables::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmCorvantyTables::cmdCancel_Click);
}

void frmCorvantyTables::Form_Load() {
  PositionForm(*this);
  mblnSyntaxVerified = false;
  try {
    LoadTables();
  } catch (const std::exception& error) {
    // Empty boxes would pass the check, and OK would overwrite the stored
    // clauses with them, so the editor does not open.
    ReportDialogError(error);
    Unload();
  }
}

void frmCorvantyTables::LoadTables() {
  // In mode Edit the stored FROM clause, as a comma-bracketed list, tells
  // which user tables are the guide's already.
  rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
  std::optional<StoredClauses> stored;
  std::string guide_tables;
  if (gstrDSGMode == kModeEdit) {
    stored = LoadGuideClauses(connection, gintDSGID);
    if (stored) guide_tables = CommaBracketedTables(stored->FROM_clause);
  }
  for (const std::string& table : ListUserTables(connection))
    if (!ListNamesTable(guide_tables, table))
      lstAvailableTbls->addItem(QString::fromStdString(table));
  if (!stored) return;  // a new guide, or one kept without its tables row: empty boxes
  for (const std::string& table : TablesOfList(guide_tables))
    lstSelectedTbls->addItem(QString::fromStdString(table));
  txtFROM->setPlainText(QString::fromStdString(From(stored->FROM_clause, 5)));
  txtWHERE->setPlainText(QString::fromStdString(From(stored->WHERE_clause, 6)));
}

void frmCorvantyTables::cmdOneRight_Click() {
  if (ListIndex(*lstAvailableTbls) < 0) return;
  txtFROM->setPlainText(
      QString::fromStdString(FromTextWithTable(TextOf(*txtFROM), SelectedText(*lstAvailableTbls))));
  MoveListItems(*lstAvailableTbls, *lstSelectedTbls, "Right");
}

void frmCorvantyTables::cmdOneLeft_Click() {
  if (ListIndex(*lstSelectedTbls) < 0) return;
  const std::string table = TableNameOf(SelectedText(*lstSelectedTbls));
  if (gstrDSGMode == kModeEdit) {
    if (MsgBox("Warning! If you remove this table, all column settings for this table will be "
               "lost!",
               vbOKCancel + vbExclamation) != vbOK)
      return;
    try {
      rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
      DeleteTableColumnSettings(connection, gintDSGID, table);
    } catch (const std::exception& error) {
      ReportDialogError(error);
      return;
    }
  }
  txtFROM->setPlainText(QString::fromStdString(FromTextWithoutTable(TextOf(*txtFROM), table)));
  MoveListItems(*lstAvailableTbls, *lstSelectedTbls, "Left");
}

void frmCorvantyTables::lstAvailableTbls_DblClick() { cmdOneRight_Click(); }

void frmCorvantyTables::lstSelectedTbls_DblClick() { cmdOneLeft_Click(); }

void frmCorvantyTables::cmdVerifySyntax_Click() {
  const std::string from = TextOf(*txtFROM);
  const std::string where = TextOf(*txtWHERE);
  if (lstSelectedTbls->count() > 1 && where.empty() &&
      MsgBox("More than one table is selected, and there is no join in the WHERE clause. Is this "
             "correct?",
             vbYesNo) != vbYes)
    return;
  std::string refusal, errors, server;
  try {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
    server = rdo::ServerName(connection.GetDialect());
    refusal = CutOffRefusal(from, where, connection.GetDialect());
    if (refusal.empty())
      errors = SqlErrorReport(CheckGuideSyntax(connection, from, where), kSyntaxCheckMarks);
  } catch (const std::exception& error) {
    ReportDialogError(error);  // the connection failed: nothing was checked
    return;
  }
  if (!refusal.empty()) {
    MsgBox(refusal);
    return;
  }
  if (!errors.empty()) {
    MsgBox("Syntax Invalid: " + server + " returned the following error(s) -" + errors);
    return;
  }
  MsgBox("Query Syntax OK.");
  mblnSyntaxVerified = true;
}

void frmCorvantyTables::cmdOK_Click() {
  if (!mblnSyntaxVerified) cmdVerifySyntax_Click();
  if (!mblnSyntaxVerified) return;
  bool changed = false;
  try {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
    changed = SaveGuideClauses(connection, gintDSGID, gstrDSGMode == kModeEdit, TextOf(*txtFROM),
                               TextOf(*txtWHERE));
  } catch (const std::exception& error) {
    ReportDialogError(error);
    return;
  }
  gavarTables.assign(1, std::string());
  for (int i = 0; i < lstSelectedTbls->count(); ++i)
    gavarTables.push_back(lstSelectedTbls->item(i)->text().toStdString());
  frmCorvantyColumns& columns = frmCorvantyColumns::Instance();
  columns.GuideChangedBefore = changed;
  columns.Show();
  Unload();
}

void frmCorvantyTables::cmdCancel_Click() {
  if (gstrDSGMode == kModeNew &&
      MsgBox("Do you want to keep the Database Search Guide definition?", vbYesNo) == vbNo) {
    try {
      rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
      DeleteGuide(connection, gintDSGID);
    } catch (const std::exception& error) {
      ReportDialogError(error);
    }
  }
  Unload();
}

}  // namespace corvanty
