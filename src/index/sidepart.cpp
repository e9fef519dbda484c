// SPDX-License-Identifier: Apache-2.0
#include "index/sidepart.h"

#include <cstdio>
#include <sstream>

#include "index/searchindexsql.h"
#include "statements/sqlliteral.h"
#include "statements/sqltokens.h"

namespace corvanty {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

// FNV-1a: a part's name from what fills it, the same in every build.
std::string Hash64(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}

// The candidates of the guide's rows whose side row may meet the criteria:
// its entry holds the texts of an alternative, or, pending, a value noted
// for it holds them all (LIKE, as the statement reads the value).
std::string CandidatesBySide(const SidePart& part, const IndexLayout& layout,
                             const IndexMatch& match) {
  const std::string& table = part.name;
  std::string holds;
  for (const std::vector<std::string>& texts : match.alternatives) {
    std::string all;
    for (const std::string& text : texts)
      all += (all.empty() ? "" : " AND ") + std::string("Value LIKE '%") + QuoteApostrophes(text) +
             "%'";
    holds += (holds.empty() ? "(" : " OR (") + all + ")";
  }
  // A line break before the parenthesis: a WHERE clause may end in a --
  // comment.
  return "SELECT Db_k FROM (SELECT " + layout.candidate_qualifier + ".rowid AS Db_k, " +
         part.qualifier + ".rowid AS Db_s " + layout.rows +
         "\n) WHERE Db_s IN (SELECT rowid FROM main." + table + " WHERE " + table + " MATCH '" +
         QuoteApostrophes(match.query) + "' UNION ALL SELECT Row_id FROM main." +
         SidePendingTable(part) + " WHERE " + holds + ")";
}

}  // namespace

std::string PartValue(const std::string& value, const std::string& qualifier,
                      const std::string& as) {
  std::string read;
  size_t copied = 0;
  for (const SqlPiece& piece : WordsAndQuotes(value)) {
    const size_t end = piece.at + piece.text.size();
    const std::string_view name =
        piece.quoted && piece.text.size() >= 2 && piece.text.front() == '"'
            ? piece.text.substr(1, piece.text.size() - 2)
            : piece.text;
    if ((!piece.quoted || name.size() < piece.text.size()) && IsKeyword(name, qualifier) &&
        end < value.size() && value[end] == '.') {
      read += value.substr(copied, piece.at - copied) + as;
      copied = end;
    }
  }
  return read + value.substr(copied);
}

std::string PartName(const std::string& table, const std::string& part_value) {
  return kPartPrefix + Hash64(table + "\t" + part_value);
}

std::string SidePendingTable(const SidePart& part) { return part.name + "_pending"; }

std::string PartTextsTable(const SidePart& part) { return part.name + "_text"; }

std::vector<std::string> CreateSidePart(const SidePart& part) {
  return {"CREATE TABLE " + PartTextsTable(part) + " (Row_id INTEGER PRIMARY KEY, c1)",
          CreateEntries(part.name, 1, PartTextsTable(part))};
}

std::string CreateSidePendingTable(const SidePart& part) {
  return "CREATE TABLE " + SidePendingTable(part) + " (Row_id INTEGER, Value)";
}

std::string FillSidePart(const SidePart& part, const std::vector<std::string>& values) {
  return "INSERT INTO " + PartTextsTable(part) + " (" + IndexColumns(1) + ") SELECT " +
         kPartQualifier + ".rowid, " + PartValue(values[part.positions.front()], part.qualifier) +
         " FROM " + DoubleQuoted(part.table) + " AS " + kPartQualifier;
}

std::string MergeSidePart(const SidePart& part, const std::vector<std::string>& values) {
  const std::string texts = PartTextsTable(part), pending = SidePendingTable(part);
  const std::string ids = "SELECT Row_id FROM " + pending;
  // A row noted has changed (an update that changes nothing read notes
  // nothing). A row taken away was noted without a value: only those are
  // looked for among the rows. The kept texts are rewritten where they lie
  // (deleting and inserting them again split and joined their pages), by
  // an upsert, whose DO UPDATE the writer's own OR IGNORE or OR ABORT does
  // not reach.
  return "INSERT INTO " + part.name + " (" + part.name +
         ", rowid, c1) SELECT 'delete', rowid, c1 FROM " + texts + " WHERE rowid IN (" + ids +
         "); DELETE FROM " + texts + " WHERE rowid IN (SELECT Row_id FROM " + pending +
         " WHERE Value IS NULL) AND NOT EXISTS (SELECT 1 FROM " + DoubleQuoted(part.table) +
         " AS " + kPartQualifier + " WHERE " + kPartQualifier + ".rowid = " + texts + ".rowid); " +
         FillSidePart(part, values) + " WHERE " + kPartQualifier + ".rowid IN (" + ids +
         ") ON CONFLICT (Row_id) DO UPDATE SET c1 = excluded.c1; INSERT INTO " + part.name +
         " (rowid, c1) SELECT rowid, c1 FROM " + texts + " WHERE rowid IN (" + ids +
         "); DELETE FROM " + pending + "; ";
}

std::string IndexPartTexts(const SidePart& part) {
  return "INSERT INTO " + part.name + " (" + part.name + ") VALUES ('rebuild')";
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
    lines.push_back(side.table + "\t" + side.qualifier + "\t" + positions + "\t" + side.name);
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
    std::getline(fields, positions, '\t');
    std::getline(fields, side.name);
    std::istringstream numbers(positions);
    for (std::string number; std::getline(numbers, number, ',');)
      side.positions.push_back(std::stoul(number));
  }
  return sides;
}

std::string SideFills(const std::vector<SidePart>& sides, const std::vector<std::string>& values) {
  std::vector<std::string> fills;
  for (const SidePart& side : sides)
    fills.push_back(FillSidePart(side, values) + "; " + CreateSidePendingTable(side));
  return Lines(fills);
}

std::vector<std::string> PartNames(const std::vector<SidePart>& sides) {
  std::vector<std::string> names;
  for (const SidePart& side : sides) names.push_back(side.name);
  return names;
}

std::string CandidateCondition(int32_t guide, const IndexLayout& layout, const IndexMatch& match) {
  std::string candidates = OwnCandidates(guide, match.query);
  for (const SidePart& part : layout.sides)
    candidates += " UNION ALL " + CandidatesBySide(part, layout, match);
  return layout.candidate_qualifier + ".rowid IN (" + candidates + ")";
}

}  // namespace corvanty
