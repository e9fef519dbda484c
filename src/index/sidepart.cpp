// SPDX-License-Identifier: Apache-2.0
#include "index/sidepart.h"

#include <sstream>

#include "index/searchindexsql.h"
#include "statements/sqlliteral.h"

namespace corvanty {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

// The candidates of the guide's rows whose side row may meet the criteria:
// its entry holds the texts of an alternative, or, pending, one of its
// values as it is holds them all.
std::string CandidatesBySide(int32_t guide, size_t side, const IndexLayout& layout,
                             const IndexMatch& match) {
  const SidePart& part = layout.sides[side - 1];
  const std::string table = SidePartTable(guide, side);
  std::string holds;
  for (const std::vector<std::string>& texts : match.alternatives)
    for (size_t position : part.positions) {
      std::string all;
      for (const std::string& text : texts)
        all += (all.empty() ? "" : " AND ") + layout.values[position] + " LIKE '%" +
               QuoteApostrophes(text) + "%'";
      holds += (holds.empty() ? "(" : " OR (") + all + ")";
    }
  // A line break before the parenthesis: a WHERE clause may end in a --
  // comment.
  return "SELECT Db_k FROM (SELECT " + layout.candidate_qualifier + ".rowid AS Db_k, " +
         part.qualifier + ".rowid AS Db_s " + layout.rows +
         "\n) WHERE Db_s IN (SELECT rowid FROM main." + table + " WHERE " + table + " MATCH '" +
         QuoteApostrophes(match.query) + "' UNION ALL SELECT " + part.qualifier +
         ".rowid FROM main." + DoubleQuoted(part.table) + " AS " + part.qualifier + " WHERE " +
         part.qualifier + ".rowid IN (SELECT Row_id FROM main." + SidePendingTable(guide, side) +
         ") AND (" + holds + "))";
}

}  // namespace

std::string SidePartTable(int32_t guide, size_t side) {
  return SearchIndexTable(guide) + "_side" + std::to_string(side);
}

std::string SidePendingTable(int32_t guide, size_t side) {
  return SidePartTable(guide, side) + "_pending";
}

std::string CreateSidePart(int32_t guide, size_t side, size_t search_columns) {
  return CreateEntries(SidePartTable(guide, side), search_columns);
}

std::string CreateSidePendingTable(int32_t guide, size_t side) {
  return "CREATE TABLE " + SidePendingTable(guide, side) + " (Row_id INTEGER)";
}

std::string FillSidePart(int32_t guide, size_t side, const SidePart& part,
                         const std::vector<std::string>& values) {
  std::string selected = part.qualifier + ".rowid";
  for (size_t position : part.positions) selected += ", " + values[position];
  return "INSERT INTO " + SidePartTable(guide, side) + " (" + IndexColumns(part.positions.size()) +
         ") SELECT " + selected + " FROM " + DoubleQuoted(part.table) + " AS " + part.qualifier;
}

std::vector<std::string> OwnValues(std::vector<std::string> values,
                                   const std::vector<SidePart>& sides) {
  for (const SidePart& side : sides)
    for (size_t position : side.positions) values[position] = "NULL";
  return values;
}

std::string SidePartsText(const std::vector<SidePart>& sides) {
  std::vector<std::string> lines;
  for (const SidePart& side : sides) {
    std::string positions;
    for (size_t position : side.positions)
      positions += (positions.empty() ? "" : ",") + std::to_string(position);
    lines.push_back(side.table + "\t" + side.qualifier + "\t" + positions);
  }
  return Lines(lines);
}

std::vector<SidePart> SidePartsOf(const std::string& text) {
  std::vector<SidePart> sides;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    SidePart& side = sides.emplace_back();
    std::string positions;
    std::getline(fields, side.table, '\t');
    std::getline(fields, side.qualifier, '\t');
    std::getline(fields, positions);
    std::istringstream numbers(positions);
    for (std::string number; std::getline(numbers, number, ',');)
      side.positions.push_back(std::stoul(number));
  }
  return sides;
}

std::string SideFills(int32_t guide, const std::vector<SidePart>& sides,
                      const std::vector<std::string>& values) {
  std::vector<std::string> fills;
  for (size_t side = 1; side <= sides.size(); ++side)
    fills.push_back(FillSidePart(guide, side, sides[side - 1], values));
  return Lines(fills);
}

std::string CandidateCondition(int32_t guide, const IndexLayout& layout, const IndexMatch& match) {
  std::string candidates = OwnCandidates(guide, match.query);
  for (size_t side = 1; side <= layout.sides.size(); ++side)
    candidates += " UNION ALL " + CandidatesBySide(guide, side, layout, match);
  return layout.candidate_qualifier + ".rowid IN (" + candidates + ")";
}

}  // namespace corvanty
