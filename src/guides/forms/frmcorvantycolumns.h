// SPDX-License-Identifier: Apache-2.0
#pragma once
// The columns editor: which columns of the guide's tables are shown in the
// result line, searched, or its key, with their separators, data types and
// positions. It edits the settings table in memory; OK replaces the guide's
// stored column rows with it in one transaction, Cancel discards it.
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ui/forms/form.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace corvanty {

struct ColumnListEntry;
struct ColumnSlot;

class frmCorvantyColumns : public SingleInstanceForm<frmCorvantyColumns> {
  Q_OBJECT

 public:
  frmCorvantyColumns();

  void lstAvailableCols_ItemCheck(int Item);
  void lstAvailableCols_Click();
  void chkShowInList_Click();
  void chkIsSearchCol_Click();
  void chkKeyColumn_Click();
  void cmdApply_Click();
  void cmdRemove_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

  QLabel* Label1;
  QListWidget* lstAvailableCols;
  QGroupBox* Frame1;
  QLabel* Label2;
  QComboBox* cmbDataType;
  QLabel* Label3;
  QLineEdit* txtListColSep;
  QLabel* Label4;
  QLineEdit* txtColIndex;
  QCheckBox* chkShowInList;
  QCheckBox* chkIsSearchCol;
  QCheckBox* chkKeyColumn;
  QPushButton* cmdApply;
  QPushButton* cmdRemove;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  // Set by the tables editor when its OK changed the guide's clauses: the
  // question about a stale search index comes once, when this editor closes.
  bool GuideChangedBefore = false;

 protected:
  void Form_Load() override;
  void Form_QueryUnload() override { cmdCancel_Click(); }

 private:
  // What the property controls show for a list entry.
  struct ShownSettings {
    int entry = -1;
    std::string data_type, separator, index;
    bool show = false, search = false, key = false;
    bool operator==(const ShownSettings& other) const {
      return std::tie(entry, data_type, separator, index, show, search, key) ==
             std::tie(other.entry, other.data_type, other.separator, other.index, other.show,
                      other.search, other.key);
    }
  };

  void FillList(const std::vector<ColumnListEntry>& entries);
  void LoadPropertyControls(const ColumnSlot& slot);
  void ResetPropertyControls();
  void SetDataType(const std::string& word);
  ShownSettings CurrentlyShown(int entry) const;
  // Remembers the first slot whose column is the key, if any.
  void RememberFirstKeyColumn();
  // When another entry's column is the remembered key, asks whether the
  // column being applied takes the key over; Cancel unchecks the key box.
  bool AskToTakeKey();
  // Every other column loses the key, so the guide keeps exactly one.
  void TakeKey();
  // Stores the property controls in the slot for the current entry.
  void StoreSlot(int slot, int32_t index);

  std::vector<std::string> mavarTableNames;   // table of each list entry
  std::vector<std::string> mavarColumnNames;  // column of each list entry
  int mintCurrentItem = -1;
  bool mblnSkipItemCheck = false;
  bool mblnSkipClick = false;
  bool mblnKeyAssigned = false;  // a key column is remembered, in slot mintKeySlot
  int mintKeySlot = 0;
  // The controls as last loaded from or stored to a slot; none after a reset.
  std::optional<ShownSettings> mudtSlotShown;
};

}  // namespace corvanty
