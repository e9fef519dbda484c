// SPDX-License-Identifier: Apache-2.0
#pragma once
// Which way each guide of a search runs on SQLite: narrowed by the guide's
// search index when the index is fresh and can serve the criteria, else the
// plain scan of the guide's rows. On PostgreSQL a guide with trigram indexes
// runs in the union shape (see UnionStatement), whose branches they serve. Either way the
// statement's own conditions decide which rows are found: the index only spares it the rows that
// cannot match. The indexed statement checks the index is still fresh as
// it runs, and scans when it is not (see IndexedStatement).
#include <string>
#include <string_view>
#include <vector>

#include "connections/rdo.h"
#include "statements/guidedefinition.h"
#include "statements/searchstatements.h"

namespace corvanty {

struct SearchPath {
  int32_t DSG_ID = 0;
  bool indexed = false;
  std::string why;  // which way and why, for the explanation of a search
};

// For each statement (errors already excluded) of guides found in
// definitions: its path, and its SQL replaced by the indexed statement
// where the index serves.
std::vector<SearchPath> ChooseSearchPaths(rdo::SqlSession& connection,
                                          const std::vector<GuideDefinition>& definitions,
                                          const SearchCriteria& criteria,
                                          std::vector<GuideStatement>& statements);

}  // namespace corvanty
