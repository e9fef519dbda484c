// SPDX-License-Identifier: Apache-2.0
#pragma once
// Whether a guide's search index may be used: absent, fresh (nothing it
// reads has changed since it was built) or stale. A search reads the state
// in the same transaction as the rows it then searches, so that the index
// and the rows belong to the same moment.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

enum class IndexState { Absent, Fresh, Stale };

struct SearchIndexState {
  IndexState state = IndexState::Absent;
  std::string why_stale;               // for the explanation of a search
  std::string candidate_qualifier;     // the table whose row ids it gives
  std::string fill_statement;          // the statement that filled it
  std::string unkept_tables;           // whose changes mark it stale, ", " between them
  std::string side_parts, side_fills;  // see Db_Search_Index_State
  long long rows = 0;                  // rows of the guide it covered when built
};

SearchIndexState ReadSearchIndexState(rdo::SqlSession& connection, int32_t guide);

struct SearchIndexListing {
  int32_t DSG_ID = 0;
  std::optional<std::string> DSG_name;  // none: the guide is gone, its index not
  SearchIndexState index;
  std::optional<long long> bytes;  // the index's pages; none when absent
};

// Every guide, and every index of a guide that no longer exists, by DSG_ID.
std::vector<SearchIndexListing> ListSearchIndexes(rdo::rdoConnection& connection);

// The size of the guide's index: the pages of its tables.
long long SearchIndexBytes(rdo::rdoConnection& connection, int32_t guide);

// "absent", "fresh" or "stale".
const char* IndexStateName(IndexState state);

long long SchemaVersion(rdo::rdoConnection& connection);

// False also on a server other than SQLite, which keeps no search indexes.
bool SearchIndexStateTableExists(rdo::SqlSession& connection);

}  // namespace corvanty
