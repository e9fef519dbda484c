// SPDX-License-Identifier: Apache-2.0
#pragma once
// The guides' search indexes whichever server keeps them (SQLite: FTS5
// tables, PostgreSQL: trigram indexes), as the index command and the search
// index dialog list, build and drop them.
#include <cstdint>
#include <vector>

#include "connections/rdo.h"
#include "index/searchindexstate.h"

namespace corvanty {

// Every guide with its index state, by DSG_ID; on SQLite also each index
// whose guide is gone. PostgreSQL's indexes are never stale and count no
// rows: "fresh" for a guide that has them, with their bytes.
std::vector<SearchIndexListing> ListGuideSearchIndexes(rdo::rdoConnection& connection);

// Builds (or rebuilds) the guide's index in one transaction. Throws
// SearchIndexRefused or rdo::DatabaseError, with the database as it was.
void BuildGuideSearchIndex(rdo::rdoConnection& connection, int32_t guide);

// Drops the guide's index in one transaction; false when it had none.
bool DropGuideSearchIndex(rdo::rdoConnection& connection, int32_t guide);

}  // namespace corvanty
