// SPDX-License-Identifier: Apache-2.0
#pragma once
// The side parts of a guide's search index on SQLite: the searched values
// of one qualifier other than the candidate table's that read that table's
// row alone, kept on its rows (a customer's name once, not once in the entry
// of each of the customer's orders). Side k of guide N is the FTS5 table
// Db_Search_Index_N_sidek, one entry per row id of the table, whatever the
// guide's rows, with its own pending list; the guide's own entries hold NULL
// for those values. Their upkeep: KeepSide (searchindexupkeep.h); which
// qualifiers have one: PlanSides (upkeepplan.h).
#include <cstdint>
#include <string>
#include <vector>

#include "index/indexmatch.h"

namespace corvanty {

struct SidePart {
  std::string table;              // in main
  std::string qualifier;          // as the guide's FROM clause names it
  std::vector<size_t> positions;  // of the guide's searched values, from 0
};

std::string SidePartTable(int32_t guide, size_t side);  // side from 1
std::string SidePendingTable(int32_t guide, size_t side);
std::string CreateSidePart(int32_t guide, size_t side, size_t search_columns);
std::string CreateSidePendingTable(int32_t guide, size_t side);

// Fills the side part from every row of its table; values: all the guide's
// searched values.
std::string FillSidePart(int32_t guide, size_t side, const SidePart& part,
                         const std::vector<std::string>& values);

// The values the guide's own entries hold: NULL where a side part holds it.
std::vector<std::string> OwnValues(std::vector<std::string> values,
                                   const std::vector<SidePart>& sides);

// The side parts as Db_Search_Index_State's Side_parts keeps them, one a
// line, and read back; no table or qualifier of a side part holds a tab or
// a line break. Side_fills keeps the statements that filled them, compared
// whole with the guide definition a search reads.
std::string SidePartsText(const std::vector<SidePart>& sides);
std::vector<SidePart> SidePartsOf(const std::string& text);
std::string SideFills(int32_t guide, const std::vector<SidePart>& sides,
                      const std::vector<std::string>& values);

// The guide's rows and searched values, its candidate table's qualifier and
// its side parts, as its indexed statement narrows them.
struct IndexLayout {
  std::string rows;
  std::string candidate_qualifier;
  std::vector<std::string> values;
  std::vector<SidePart> sides;
};

// The condition the guide's indexed statement adds (see CandidateCondition
// in searchindexsql.h), with its side parts. A row meets an alternative of
// the criteria when one of its searched values holds every text of it: a
// value of its own entry, or of the entry of a side part's row it is made
// with, unless that entry is pending. So the candidates are those its own
// entries give, with those of the guide's rows whose side rows' entries meet
// the FTS5 query, or whose pending side rows' values hold the texts now
// (read by LIKE, as the statement reads them).
std::string CandidateCondition(int32_t guide, const IndexLayout& layout, const IndexMatch& match);

}  // namespace corvanty
