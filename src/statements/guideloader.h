// SPDX-License-Identifier: Apache-2.0
#pragma once
// Reads what the statement generator needs of the listed guides from the
// guide tables.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "statements/guidedefinition.h"

namespace corvanty {

// The Db_Search_Guide_Cols row the result set stands on; it selects every
// column of the row.
GuideColumn ReadGuideColumn(const rdo::rdoResultset& row);

// The definitions of the listed guides that have column rows or a tables
// row, in ascending DSG_ID order, columns in DSG_column_seq_no order.
std::vector<GuideDefinition> LoadGuideDefinitions(rdo::SqlSession& connection,
                                                  const std::vector<int32_t>& guide_ids);

// The name of guide id, if there is such a guide.
std::optional<std::string> FindGuideName(rdo::SqlSession& connection, int32_t id);

// The DSG_ID of the guide with exactly this name, if there is one.
std::optional<int32_t> FindGuideByName(rdo::SqlSession& connection, const std::string& name);

}  // namespace corvanty
