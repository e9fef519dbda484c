// SPDX-License-Identifier: Apache-2.0
#include "guides/columnsettings.h"

namespace corvanty {

namespace basCorvantyAdmin {
std::vector<ColumnSlot> gavarColumns(1);
}

void SetConversionFromDataType(GuideColumn& row) {
  if (row.Column_data_type == "Char" || row.Column_data_type == "Varchar") {
    row.Conv_required = 0;
    row.Conversion_expression.clear();
  } else {
    row.Conv_required = -1;
    row.Conversion_expression =
        "CONVERT(varchar," + row.Column_qualifier + "." + row.Column_name + ")";
  }
}

std::vector<GuideColumn> RowsOfSlots(const std::vector<ColumnSlot>& slots) {
  std::vector<GuideColumn> rows;
  for (size_t slot = 1; slot < slots.size(); ++slot) rows.push_back(slots[slot].Row);
  return rows;
}

int FirstSlotOf(const std::vector<ColumnSlot>& slots, int list_index) {
  for (size_t slot = 1; slot < slots.size(); ++slot)
    if (slots[slot].ListIndex == list_index) return static_cast<int>(slot);
  return 0;
}

std::string ColumnEntryText(const std::string& table_name, const std::string& column_name) {
  return column_name + " -> " + table_name;
}

std::string IndexedEntryText(int32_t index, const std::string& table_name,
                             const std::string& column_name) {
  return "(" + std::to_string(index) + ") " + ColumnEntryText(table_name, column_name);
}

}  // namespace corvanty
