// SPDX-License-Identifier: Apache-2.0
#pragma once
// Search indexes whose guide no longer exists, such as every index once
// Db_Search_Guides is rebuilt: their triggers would go on working on every
// write for a guide nobody can search, and a new guide given the same number
// would seem to have an index.
#include <cstdint>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

// Drops each index (SQLite: with its triggers, pending list and state row;
// PostgreSQL: its trigram indexes) whose DSG_ID is not in Db_Search_Guides,
// within the caller's transaction, which must have written already. Returns
// their guide numbers, in increasing order.
std::vector<int32_t> DropOrphanSearchIndexesWithin(rdo::rdoConnection& connection);

}  // namespace corvanty
