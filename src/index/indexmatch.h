// SPDX-License-Identifier: Apache-2.0
#pragma once
// What a guide's search index can do for a search. The index finds the rows
// holding given texts (runs of three characters or more, ASCII letters in
// any case, like LIKE); the criteria's LIKE patterns each require the texts
// between their wildcards (% and _). So a query that asks for the required
// texts of each alternative finds every row the LIKE conditions find, and
// some more, which the statement's own conditions then reject.
#include <string>
#include <vector>

#include "statements/searchcriteria.h"

namespace corvanty {

struct IndexMatch {
  std::string query;   // the FTS5 MATCH text; empty when the index cannot serve
  std::string reason;  // why it cannot, for the explanation of the search
  // The texts the query asks for: any alternative, all texts of it.
  std::vector<std::vector<std::string>> alternatives;
};

IndexMatch IndexMatchFor(const SearchCriteria& criteria);

}  // namespace corvanty
