// SPDX-License-Identifier: Apache-2.0
#pragma once
// What the statement generator reads of one Database Search Guide: its row of
// Db_Search_Guide_Tables and its rows of Db_Search_Guide_Cols. Members carry
// the names of the table columns they come from. Flags are ints: 0 means no,
// any other value yes. A column row is also what the columns editor reads and
// writes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvanty {

// One row of Db_Search_Guide_Cols; the defaults are the table's. The data
// type and sequence number, which only the columns editor uses, come last.
struct GuideColumn {
  std::string Column_qualifier;
  std::string Column_name;
  int32_t Show_in_list = -1;
  int32_t Is_search_column = -1;
  std::string List_column_separator = "+ ' ' +";  // a SQL fragment
  int32_t Conv_required = 0;
  std::string Conversion_expression = "(none)";  // SQL yielding the value as text
  int32_t Is_key_column = 0;
  std::string Column_data_type = "(none)";
  int32_t DSG_column_seq_no = 0;
};

struct GuideDefinition {
  int32_t DSG_ID = 0;
  bool HasTablesRow = false;                // false: no Db_Search_Guide_Tables row
  std::optional<std::string> FROM_clause;   // as stored, "FROM " included
  std::optional<std::string> WHERE_clause;  // as stored, "WHERE " included
  std::vector<GuideColumn> Columns;         // in DSG_column_seq_no order
};

}  // namespace corvanty
