// SPDX-License-Identifier: Apache-2.0
#pragma once
// The tables a guide's FROM clause names, where each is named and the name
// its columns are qualified with. Subqueries are left out.
#include <string>
#include <vector>

namespace corvanty {

struct TableInFrom {
  size_t at = 0;          // where table begins in the clause
  std::string table;      // as written, schema-qualified when it is
  std::string name;       // its own name: the last word of table
  std::string qualifier;  // its alias, else its own name
  bool aliased = false;
};

std::vector<TableInFrom> TablesInFrom(const std::string& from);

}  // namespace corvanty
