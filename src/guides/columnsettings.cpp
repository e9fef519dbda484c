// SPDX-License-Identifier: Apache-2.0
#include "guides/columnsettings.h"

namespace corvanty {

namespace basCorvantyAdmin {
std::vector<ColumnSlot> gavarColumns(1);
}

void SetConversionFromDataType(ColumnSlot& slot) {
  if (slot.DataType == "Char" || slot.DataType == "Varchar") {
    slot.ConvRequired = 0;
    slot.ConversionExpression.clear();
  } else {
    slot.ConvRequired = -1;
    slot.ConversionExpression = "CONVERT(varchar," + slot.TableName + "." + slot.ColumnName + ")";
  }
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
