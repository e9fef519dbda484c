// SPDX-License-Identifier: Apache-2.0
#pragma once
// The columns editor's settings table: one slot per column of the guide that
// has settings, in the order the slots were made, which is also the order
// the rows are written in. Slot 0 is never used.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "statements/guidedefinition.h"

namespace corvanty {

// A slot: the column's row as OK writes it, and what the editor keeps beside
// it. The separator shown is the one the row's List_column_separator shows
// (ShownSeparator).
struct ColumnSlot {
  GuideColumn Row;
  std::optional<int> ListIndex;  // the entry of the column in the list; none when not listed
  // List_column_separator as it was read, so that a separator shown and
  // applied unchanged is written back exactly as it was stored.
  std::optional<std::string> StoredSeparator;
};

// The data type words in the order the editor offers them; the first is the
// default.
inline constexpr std::array<const char*, 6> kDataTypeWords = {"Char",    "Varchar", "Integer",
                                                              "Numeric", "Text",    "Datetime"};

// Sets the conversion flag and expression from the data type: the character
// types need none, every other type is converted with CONVERT(varchar,T.C).
void SetConversionFromDataType(GuideColumn& row);

// The rows of slots 1..n, in their order.
std::vector<GuideColumn> RowsOfSlots(const std::vector<ColumnSlot>& slots);

// The lowest slot from 1 upwards that holds list entry list_index, or 0.
int FirstSlotOf(const std::vector<ColumnSlot>& slots, int list_index);

// A list entry's text: "Total -> Orders", or with the column's index,
// "(3) Total -> Orders".
std::string ColumnEntryText(const std::string& table_name, const std::string& column_name);
std::string IndexedEntryText(int32_t index, const std::string& table_name,
                             const std::string& column_name);

namespace basCorvantyAdmin {

// The settings table of the columns editor that is open: slot 0 unused.
extern std::vector<ColumnSlot> gavarColumns;

}  // namespace basCorvantyAdmin

}  // namespace corvanty
