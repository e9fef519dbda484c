// SPDX-License-Identifier: Apache-2.0
#pragma once
// Writes the columns editor's settings: every stored row of the guide is
// replaced, unless none would change, in one transaction on the connection
// it is given. Failures come out as rdo::DatabaseError, with nothing changed.
#include <cstdint>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "statements/guidedefinition.h"

namespace corvanty {

// The INSERT that stores one column row of guide id.
std::string ColumnInsertStatement(rdo::Dialect dialect, int32_t id, const GuideColumn& row);

// Deletes the guide's column rows and inserts rows in their order; writes
// nothing, and returns false, when the stored rows hold the same values
// already.
bool SaveColumnSettings(rdo::rdoConnection& connection, int32_t id,
                        const std::vector<GuideColumn>& rows);

}  // namespace corvanty
