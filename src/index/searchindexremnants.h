// SPDX-License-Identifier: Apache-2.0
#pragma once
// What is left of a guide's search index on SQLite when part of it was
// dropped by hand: triggers without the index table they write (every
// write to the tables they watch then fails), an index table or a state
// row without the triggers that keep it, the upkeep's own tables gone.
// `corvanty index GUIDE --drop` removes whatever is left of an index
// (its table, triggers and state row) and nothing else.
#include <cstdint>
#include <string>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

struct IndexRemnant {
  int32_t DSG_ID = 0;
  std::string what;                  // what is left, and what is missing
  std::vector<std::string> failing;  // the tables whose writes fail, sorted
};

// The incomplete indexes of the connection's database, by DSG_ID; none on
// a server other than SQLite.
std::vector<IndexRemnant> FindIndexRemnants(rdo::SqlSession& connection);

// One line: the guide, what is left, the writes that fail, and the command
// that repairs it.
std::string RemnantWarning(const IndexRemnant& remnant);

}  // namespace corvanty
