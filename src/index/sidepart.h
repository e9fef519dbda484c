// SPDX-License-Identifier: Apache-2.0
#pragma once
// The side parts of guides' search indexes on SQLite: the searched values
// that read one table's row alone (a customer's name, read from the
// customers table of the customers guide or of the orders guide), kept on
// that table's rows, once for every guide that searches the same value of
// the same table (whatever it calls the table): a write to a customer's
// name makes one entry again, not one per guide, nor one per order. A part
// is the FTS5 table Db_Search_Part_H (H: 16 hex digits naming the table and
// value it is filled from), one entry per row id of the table, whatever the
// guides' rows, with the texts of its entries (..._text) and its own
// pending list (..._pending); the guides' own entries hold NULL for those
// values. A part lives while a guide's row of Db_Search_Index_State names
// it (sidepartobjects.h). Its upkeep: KeepSide (searchindexupkeep.h);
// which values have one: PlanSides (upkeepplan.h).
#include <cstdint>
#include <string>
#include <vector>

#include "index/indexmatch.h"

namespace corvanty {

// One value of a guide kept in a part: positions are those of the guide's
// searched values that are this same value (usually one), from 0.
struct SidePart {
  std::string table;      // in main
  std::string qualifier;  // as the guide's FROM clause names it
  std::vector<size_t> positions;
  std::string name;  // the part's FTS5 table: PartName
};

inline constexpr char kPartPrefix[] = "Db_Search_Part_";
// The length of every part's name: each of its objects' names begins with it.
inline constexpr size_t kPartNameLength = sizeof(kPartPrefix) - 1 + 16;

// A part reads its table under this name, whatever the guides call it.
inline constexpr char kPartQualifier[] = "Db_r";

// The value as the part reads it: qualifier followed by a dot replaced by
// kPartQualifier (or by as: NEW, in a trigger). A qualifier written
// otherwise (in brackets, a blank before its dot) is left: the value then
// fails to compile as the part reads it, and is kept in the guide's own
// entries.
std::string PartValue(const std::string& value, const std::string& qualifier,
                      const std::string& as = kPartQualifier);

// The part that keeps part_value (a PartValue) read from table: the same
// for every guide that searches it.
std::string PartName(const std::string& table, const std::string& part_value);

// The part's pending list (Row_id, Value): the row ids whose entries may be
// out of date, each with the part's value as the write that noted it left
// the row (NULL where that write took the row away). The row's value as it
// is now is always among those noted since its entry was made, so a search
// matches the list's values and reads no row of the table for them.
std::string SidePendingTable(const SidePart& part);
// The texts the part's entries are made of (rowid, c1): the part's FTS5
// table reads them from there, and a merge compares them with the rows.
std::string PartTextsTable(const SidePart& part);
// The part's texts table, then its FTS5 table.
std::vector<std::string> CreateSidePart(const SidePart& part);
std::string CreateSidePendingTable(const SidePart& part);

// Fills the part's texts from every row of its table; values: all the
// guide's searched values. IndexPartTexts then makes its entries of them.
std::string FillSidePart(const SidePart& part, const std::vector<std::string>& values);
std::string IndexPartTexts(const SidePart& part);

// Makes the entries of the part's pending row ids again from the rows as
// they are now, and empties the list.
std::string MergeSidePart(const SidePart& part, const std::vector<std::string>& values);

// The values the guide's own entries hold: NULL where a side part holds it.
std::vector<std::string> OwnValues(std::vector<std::string> values,
                                   const std::vector<SidePart>& sides);

// The side parts as Db_Search_Index_State's Side_parts keeps them, one a
// line, and read back; no table or qualifier of a side part holds a tab or
// a line break. Side_fills keeps the statements that filled them and the
// definitions of their pending lists, compared whole with the guide
// definition a search reads (a part built with another list is not read).
std::string SidePartsText(const std::vector<SidePart>& sides);
std::vector<SidePart> SidePartsOf(const std::string& text);
std::string SideFills(const std::vector<SidePart>& sides, const std::vector<std::string>& values);
std::vector<std::string> PartNames(const std::vector<SidePart>& sides);

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
