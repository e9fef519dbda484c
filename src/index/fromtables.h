// SPDX-License-Identifier: Apache-2.0
#pragma once
// The tables a guide's FROM clause names, where each is named and the name
// its columns are qualified with, and whether an outer join may give its
// columns as NULL on a row. Tables inside a subquery or a parenthesized
// join are listed as nested; a subquery itself is left out.
#include <string>
#include <vector>

namespace corvanty {

struct TableInFrom {
  size_t at = 0;          // where table begins in the clause
  std::string table;      // as written, schema-qualified when it is
  std::string name;       // its own name: the last word of table
  std::string qualifier;  // its alias, else its own name
  bool aliased = false;
  bool nested = false;  // inside parentheses
  // Its columns may be NULL on a row for want of a match: the optional side
  // of a LEFT, RIGHT or FULL join, or nested.
  bool optional = false;
};

std::vector<TableInFrom> TablesInFrom(const std::string& from);

}  // namespace corvanty
