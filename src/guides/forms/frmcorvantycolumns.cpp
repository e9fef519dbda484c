// SPDX-License-Identifier: Apache-2.0
#include "guides/forms/frmcorvantycolumns.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "connections/connectionstore.h"
#include "connections/sqlerrorreport.h"
#include "guides/columnindex.h"
#include "guides/columnloader.h"
#include "guides/columnsettings.h"
#include "guides/columnstore.h"
#include "guides/currentguide.h"
#include "guides/guidestore.h"
#include "guides/listseparator.h"
#include "index/forms/searchindexoffer.h"
#include "ui/forms/controls.h"
#include "ui/forms/positionform.h"
#include "ui/msgbox.h"

namespace corvanty {

using namespace basCorvantyAdmin;

namespace {

QCheckBox* NewCheckBox(const char* name, const QString& caption, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  box->setLayoutDirection(Qt::RightToLeft);  // the caption before the box, as its colon says
  return box;
}

QLabel* NewFieldLabel(const char* name, const QString& caption, QWidget* parent) {
  QLabel* label = NewLabel(name, caption, parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

// Showing in the result list and searching both rule out the key: checking
// one unchecks the key box and locks it; it unlocks when both are unchecked.
void RoleBoxChanged(const QCheckBox& changed, const QCheckBox& other, QCheckBox& key) {
  if (changed.isChecked()) {
    key.setChecked(false);
    key.setEnabled(false);
  } else if (!other.isChecked()) {
    key.setEnabled(true);
  }
}

}  // namespace

frmCorvantyColumns::frmCorvantyColumns() {
  setObjectName("frmCorvantyColumns");
  setWindowTitle("Search Column Administration");
  auto* body = new QWidget(this);
  Label1 = NewLabel("Label1", "Available Columns", body);
  lstAvailableCols = new QListWidget(body);
  lstAvailableCols->setObjectName("lstAvailableCols");
  lstAvailableCols->setSelectionMode(QAbstractItemView::SingleSelection);
  lstAvailableCols->setUniformItemSizes(true);  // fast with tens of thousands of columns
  lstAvailableCols->setMinimumSize(280, 300);

  Frame1 = new QGroupBox("Column Properties", body);
  Frame1->setObjectName("Frame1");
  Label2 = NewFieldLabel("Label2", "Data Type :", Frame1);
  cmbDataType = new QComboBox(Frame1);
  cmbDataType->setObjectName("cmbDataType");
  cmbDataType->setEditable(false);
  Label3 = NewFieldLabel("Label3", "List Column Separator :", Frame1);
  txtListColSep = NewTextBox("txtListColSep", Frame1);
  Label4 = NewFieldLabel("Label4", "Column Index :", Frame1);
  txtColIndex = NewTextBox("txtColIndex", Frame1);
  chkShowInList = NewCheckBox("chkShowInList", "Show In Result List :", Frame1);
  chkIsSearchCol = NewCheckBox("chkIsSearchCol", "Is Search Column :", Frame1);
  chkKeyColumn = NewCheckBox("chkKeyColumn", "Is Key Column :", Frame1);
  cmdApply = NewButton("cmdApply", "Apply", Frame1);
  cmdRemove = NewButton("cmdRemove", "Remove", Frame1);
  cmdOK = NewButton("cmdOK", "OK", this);
  cmdCancel = NewButton("cmdCancel", "Cancel", this);

  auto* fields = new QGridLayout(Frame1);
  int row = 0;
  for (auto [label, field] : {std::pair<QLabel*, QWidget*>{Label2, cmbDataType},
                              {Label3, txtListColSep},
                              {Label4, txtColIndex}}) {
    fields->addWidget(label, row, 0);
    fields->addWidget(field, row++, 1);
  }
  for (QCheckBox* box : {chkShowInList, chkIsSearchCol, chkKeyColumn})
    fields->addWidget(box, row++, 0, 1, 2, Qt::AlignLeft);
  auto* frame_buttons = new QHBoxLayout;
  frame_buttons->addStretch(1);
  frame_buttons->addWidget(cmdApply);
  frame_buttons->addWidget(cmdRemove);
  fields->setRowStretch(row, 1);
  fields->addLayout(frame_buttons, ++row, 0, 1, 2);

  auto* list_column = new QVBoxLayout;
  list_column->addWidget(Label1);
  list_column->addWidget(lstAvailableCols, 1);
  auto* columns = new QHBoxLayout(body);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->addLayout(list_column, 1);
  columns->addWidget(Frame1);
  LayOutFrameAndButtons(*this, body, {}, {cmdOK, cmdCancel});

  QWidget* tab_order[] = {lstAvailableCols, cmbDataType,    txtListColSep, txtColIndex,
                          chkShowInList,    chkIsSearchCol, chkKeyColumn,  cmdApply,
                          cmdRemove,        cmdOK,          cmdCancel};
  for (size_t i = 1; i < std::size(tab_order); ++i) setTabOrder(tab_order[i - 1], tab_order[i]);
  cmdApply->setDefault(true);  // Enter applies the column's settings; OK is a deliberate click

  connect(lstAvailableCols, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    lstAvailableCols_ItemCheck(lstAvailableCols->row(item));
  });
  // A click on the entry already selected changes no row but loads it too.
  connect(lstAvailableCols, &QListWidget::currentRowChanged, this,
          &frmCorvantyColumns::lstAvailableCols_Click);
  connect(lstAvailableCols, &QListWidget::itemClicked, this,
          &frmCorvantyColumns::lstAvailableCols_Click);
  connect(chkShowInList, &QCheckBox::toggled, this, &frmCorvantyColumns::chkShowInList_Click);
  connect(chkIsSearchCol, &QCheckBox::toggled, this, &frmCorvantyColumns::chkIsSearchCol_Click);
  connect(chkKeyColumn, &QCheckBox::toggled, this, &frmCorvantyColumns::chkKeyColumn_Click);
  connect(cmdApply, &QPushButton::clicked, this, &frmCorvantyColumns::cmdApply_Click);
  connect(cmdRemove, &QPushButton::clicked, this, &frmCorvantyColumns::cmdRemove_Click);
  connect(cmdOK, &QPushButton::clicked, this, &frmCorvantyColumns::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmCorvantyColumns::cmdCancel_Click);
}

void frmCorvantyColumns::Form_Load() {
  PositionForm(*this);
  cmdRemove->setEnabled(false);
  gavarColumns.assign(1, ColumnSlot{});
  for (const char* word : kDataTypeWords) cmbDataType->addItem(word);
  SetDataType(kDataTypeWords[0]);
  mblnKeyAssigned = false;

  const bool edit = gstrDSGMode == kModeEdit;
  // The list raises its events while it fills and while entry 0 is selected.
  mblnSkipItemCheck = mblnSkipClick = true;
  ColumnEditorContents contents;
  try {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
    contents = LoadColumnEditor(connection, gintDSGID, edit, gavarTables);
  } catch (const std::exception& error) {
    // Without the stored settings an OK would replace them with nothing, so
    // the editor does not open.
    ReportDialogError(error);
    Unload();
    return;
  }
  if (edit) gavarTables = std::move(contents.Tables);
  gavarColumns = std::move(contents.Slots);
  RememberFirstKeyColumn();
  FillList(contents.Entries);

  if (lstAvailableCols->count() > 0) lstAvailableCols->setCurrentRow(0);
  mblnSkipItemCheck = mblnSkipClick = false;
  // The controls show the selected entry's own settings, as a click on it
  // does: defaults beside a stored column would let Apply (the Enter button)
  // overwrite it. An existing guide gets no preset index either, so Enter
  // cannot add a column ahead of its stored ones.
  lstAvailableCols_Click();
  if (!edit) txtColIndex->setText("0");
}

void frmCorvantyColumns::FillList(const std::vector<ColumnListEntry>& entries) {
  mavarTableNames.clear();
  mavarColumnNames.clear();
  for (const ColumnListEntry& entry : entries) {
    // Checked before it joins the list, so no check event is raised.
    auto* item = new QListWidgetItem(QString::fromStdString(entry.Text));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.Checked ? Qt::Checked : Qt::Unchecked);
    lstAvailableCols->addItem(item);
    mavarTableNames.push_back(entry.TableName);
    mavarColumnNames.push_back(entry.ColumnName);
  }
}

void frmCorvantyColumns::SetDataType(const std::string& word) {
  QString text = QString::fromStdString(word);
  int index = cmbDataType->findText(text);
  if (index < 0) {
    // A word stored by other means stays selectable, so applying keeps it.
    cmbDataType->addItem(text);
    index = cmbDataType->count() - 1;
  }
  cmbDataType->setCurrentIndex(index);
}

void frmCorvantyColumns::LoadPropertyControls(const ColumnSlot& slot) {
  SetDataType(slot.Row.Column_data_type);
  chkShowInList->setChecked(slot.Row.Show_in_list != 0);
  chkIsSearchCol->setChecked(slot.Row.Is_search_column != 0);
  chkKeyColumn->setChecked(slot.Row.Is_key_column != 0);
  txtListColSep->setText(QString::fromStdString(ShownSeparator(slot.Row.List_column_separator)));
  txtColIndex->setText(QString::number(slot.Row.DSG_column_seq_no));
  mudtSlotShown = CurrentlyShown(slot.ListIndex.value_or(-1));
}

void frmCorvantyColumns::ResetPropertyControls() {
  SetDataType(kDataTypeWords[0]);
  chkShowInList->setChecked(false);
  chkIsSearchCol->setChecked(false);
  chkKeyColumn->setChecked(false);
  txtListColSep->clear();
  txtColIndex->clear();
  mudtSlotShown.reset();
}

frmCorvantyColumns::ShownSettings frmCorvantyColumns::CurrentlyShown(int entry) const {
  return {entry,
          cmbDataType->currentText().toStdString(),
          txtListColSep->text().toStdString(),
          txtColIndex->text().toStdString(),
          chkShowInList->isChecked(),
          chkIsSearchCol->isChecked(),
          chkKeyColumn->isChecked()};
}

void frmCorvantyColumns::lstAvailableCols_ItemCheck(int Item) {
  if (mblnSkipItemCheck) return;
  mintCurrentItem = Item;
  int slot = FirstSlotOf(gavarColumns, Item);
  if (slot == 0) {
    ResetPropertyControls();  // checking creates no settings; Apply does
    return;
  }
  QListWidgetItem* entry = lstAvailableCols->item(Item);
  if (entry->checkState() == Qt::Unchecked) {
    MsgBox("To remove an item please use the remove button.", vbOKOnly + vbExclamation);
    entry->setCheckState(Qt::Checked);  // runs this handler again, which loads the slot
    return;
  }
  LoadPropertyControls(gavarColumns[slot]);
}

void frmCorvantyColumns::lstAvailableCols_Click() {
  if (mblnSkipClick) return;
  int row = lstAvailableCols->currentRow();
  if (row < 0) return;
  cmdRemove->setEnabled(lstAvailableCols->item(row)->checkState() == Qt::Checked);
  int slot = FirstSlotOf(gavarColumns, row);
  if (slot == 0)
    ResetPropertyControls();
  else
    LoadPropertyControls(gavarColumns[slot]);
}

void frmCorvantyColumns::chkShowInList_Click() {
  RoleBoxChanged(*chkShowInList, *chkIsSearchCol, *chkKeyColumn);
}

void frmCorvantyColumns::chkIsSearchCol_Click() {
  RoleBoxChanged(*chkIsSearchCol, *chkShowInList, *chkKeyColumn);
}

void frmCorvantyColumns::chkKeyColumn_Click() {
  bool key = chkKeyColumn->isChecked();
  if (key) {
    chkShowInList->setChecked(false);
    chkIsSearchCol->setChecked(false);
  }
  chkShowInList->setEnabled(!key);
  chkIsSearchCol->setEnabled(!key);
}

void frmCorvantyColumns::RememberFirstKeyColumn() {
  mblnKeyAssigned = false;
  for (size_t slot = 1; slot < gavarColumns.size() && !mblnKeyAssigned; ++slot) {
    mblnKeyAssigned = gavarColumns[slot].Row.Is_key_column != 0;
    mintKeySlot = static_cast<int>(slot);
  }
}

bool frmCorvantyColumns::AskToTakeKey() {
  if (!mblnKeyAssigned || gavarColumns[mintKeySlot].ListIndex == mintCurrentItem) return false;
  std::string question = "Column '" + gavarColumns[mintKeySlot].Row.Column_name +
                         "' is already set as the key" +
                         " for this database search guide. Remove it and assign this column?";
  if (MsgBox(question, vbOKCancel) == vbOK) return true;
  chkKeyColumn->setChecked(false);
  return false;
}

void frmCorvantyColumns::TakeKey() {
  for (size_t slot = 1; slot < gavarColumns.size(); ++slot)
    if (gavarColumns[slot].ListIndex != mintCurrentItem) gavarColumns[slot].Row.Is_key_column = 0;
  mblnKeyAssigned = false;
}

void frmCorvantyColumns::StoreSlot(int slot, int32_t index) {
  ColumnSlot& settings = gavarColumns[slot];
  GuideColumn& row = settings.Row;
  settings.ListIndex = mintCurrentItem;
  row.Column_qualifier = mavarTableNames[mintCurrentItem];
  row.Column_name = mavarColumnNames[mintCurrentItem];
  row.Column_data_type = cmbDataType->currentText().toStdString();
  row.Show_in_list = chkShowInList->isChecked() ? 1 : 0;
  row.Is_search_column = chkIsSearchCol->isChecked() ? 1 : 0;
  row.List_column_separator =
      SeparatorToStore(settings.StoredSeparator, txtListColSep->text().toStdString());
  SetConversionFromDataType(row);
  row.DSG_column_seq_no = index;
  row.Is_key_column = chkKeyColumn->isChecked() ? 1 : 0;
  mudtSlotShown = CurrentlyShown(mintCurrentItem);

  if (row.Is_key_column != 0) {
    mblnKeyAssigned = true;
    mintKeySlot = slot;
  } else if (mblnKeyAssigned && mintKeySlot == slot) {
    RememberFirstKeyColumn();
  }
}

void frmCorvantyColumns::cmdApply_Click() {
  int row = lstAvailableCols->currentRow();
  if (row < 0) return;  // no entry to apply to
  // Settings applied as they were shown change nothing, so a stored row keeps
  // its exact values (a flag stored as -1, a conversion written by hand).
  if (mudtSlotShown == CurrentlyShown(row)) return;
  mintCurrentItem = row;
  // The key question comes before the index check; the answer takes effect
  // only once the index is accepted.
  const bool take_key = chkKeyColumn->isChecked() && AskToTakeKey();
  ColumnIndexInput index = ReadColumnIndex(txtColIndex->text().toStdString());
  if (index.refusal) {
    MsgBox(index.refusal, vbOKOnly);
    return;
  }
  if (take_key) TakeKey();

  // The list raises its events while an entry's text changes.
  mblnSkipItemCheck = mblnSkipClick = true;
  lstAvailableCols->item(row)->setText(QString::fromStdString(
      IndexedEntryText(index.value, mavarTableNames[row], mavarColumnNames[row])));
  mblnSkipItemCheck = mblnSkipClick = false;

  int slot = FirstSlotOf(gavarColumns, mintCurrentItem);
  if (slot == 0) {
    gavarColumns.emplace_back();
    slot = static_cast<int>(gavarColumns.size()) - 1;
  }
  StoreSlot(slot, index.value);
}

void frmCorvantyColumns::cmdRemove_Click() {
  int row = lstAvailableCols->currentRow();
  if (row < 0) return;  // no entry to remove
  if (int slot = FirstSlotOf(gavarColumns, row)) {
    gavarColumns.erase(gavarColumns.begin() + slot);
    if (mblnKeyAssigned && mintKeySlot > slot)
      --mintKeySlot;  // the later slots moved down by one
    else if (mblnKeyAssigned && mintKeySlot == slot)
      RememberFirstKeyColumn();
  }
  mblnSkipItemCheck = true;
  lstAvailableCols->item(row)->setCheckState(Qt::Unchecked);
  mblnSkipItemCheck = false;
  ResetPropertyControls();
}

void frmCorvantyColumns::cmdOK_Click() {
  bool changed = GuideChangedBefore;
  try {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
    changed = SaveColumnSettings(connection, gintDSGID, RowsOfSlots(gavarColumns)) || changed;
  } catch (const std::exception& error) {
    // Nothing was replaced; the settings stay for another try or Cancel.
    ReportDialogError(error);
    return;
  }
  Unload();
  if (changed) OfferSearchIndexRebuild(gintDSGID);
}

void frmCorvantyColumns::cmdCancel_Click() {
  if (gstrDSGMode != kModeEdit &&
      MsgBox("Do you want to keep the Database Search Guide definition?", vbYesNo) == vbNo) {
    try {
      rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
      DeleteGuide(connection, gintDSGID);
    } catch (const std::exception& error) {
      ReportDialogError(error);
      return;
    }
  }
  const bool changed = GuideChangedBefore;
  Unload();
  if (changed) OfferSearchIndexRebuild(gintDSGID);
}

}  // namespace corvanty
