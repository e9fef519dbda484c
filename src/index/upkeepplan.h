// SPDX-License-Identifier: Apache-2.0
#pragma once
// How a guide's search index on SQLite follows the changes of each table its
// rows are read from: kept up to date (see searchindexupkeep.h), or marked
// stale at the first change where an exact upkeep is impossible; and
// whether it may outlive changes to the rest of the schema.
#include <optional>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "index/searchindexupkeep.h"

namespace corvanty {

struct TableUpkeep {
  std::string name;
  std::optional<KeptTable> kept;  // none: its changes mark the index stale
  std::string why_not_kept;
};

struct UpkeepPlan {
  std::vector<TableUpkeep> tables;  // in the order of the tables given
  // False when any schema change may invalidate the index (see
  // Db_Search_Index_State's Schema_signature).
  bool outlives_other_schema_changes = false;
};

// from: the guide's FROM clause, with which indexed.rows begins; tables:
// the tables the guide's rows are read from.
UpkeepPlan PlanUpkeep(rdo::rdoConnection& connection, const std::string& from,
                      const IndexedRows& indexed, const std::vector<std::string>& tables);

// The side parts of an index (see SidePart): one for each searched value
// that reads the row alone of a table named once in the FROM clause, on
// every row, kept up to date (by plan), whose row ids are its INTEGER
// PRIMARY KEY; the candidate table's too, so that guides searching the same
// value share its entries. qualifiers: the qualifier of each of
// indexed.values.
std::vector<KeptSide> PlanSides(rdo::rdoConnection& connection, const std::string& from,
                                const IndexedRows& indexed,
                                const std::vector<std::string>& qualifiers, const UpkeepPlan& plan);

}  // namespace corvanty
