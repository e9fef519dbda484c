// SPDX-License-Identifier: Apache-2.0
#pragma once
// The side parts (see sidepart.h) as objects of the database: the parts
// each guide's row of Db_Search_Index_State names, making and dropping
// them. A part may serve several guides: it is made again whole by each
// guide's build (its entries are the same whichever guide fills them), and
// dropped once no guide names it.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "index/searchindexupkeep.h"

namespace corvanty {

// The parts each guide's row of Db_Search_Index_State names, by DSG_ID.
std::map<int32_t, std::set<std::string>> PartsNamedByGuides(rdo::SqlSession& connection);

// Drops whatever there is of the part named: its triggers, its FTS5 table
// and its pending list.
void DropPart(rdo::rdoConnection& connection, const std::string& part);

// Drops every part no guide's row names: those of a dropped index only.
void DropUnnamedParts(rdo::rdoConnection& connection);

// Makes the part again from the rows of its table, with its triggers.
// values: all the searched values of the guide that builds it.
void MakePart(rdo::rdoConnection& connection, const KeptSide& kept,
              const std::vector<std::string>& values, long long merge_at);

}  // namespace corvanty
