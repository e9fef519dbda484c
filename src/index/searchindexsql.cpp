// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexsql.h"

#include <set>
#include <sstream>
#include <string_view>

#include "statements/sqlliteral.h"
#include "statements/sqltokens.h"

namespace corvanty {
namespace {

std::string Number(int32_t guide) { return std::to_string(guide); }

std::string MarkStale(int32_t guide) {
  return " BEGIN UPDATE Db_Search_Index_State SET Is_fresh = 0 WHERE DSG_ID = " + Number(guide) +
         " AND Is_fresh <> 0; END";
}

std::string CreateEntries(const std::string& table, size_t search_columns) {
  std::string columns;
  for (size_t i = 1; i <= search_columns; ++i) columns += "c" + std::to_string(i) + ", ";
  // The texts are kept: taking an entry out needs the texts it was made
  // from, and the rows they came from have changed by then. columnsize=0:
  // no ranking, so no sizes to keep.
  return "CREATE VIRTUAL TABLE " + table + " USING fts5(" + columns +
         "tokenize='trigram', columnsize=0)";
}

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

std::string SearchIndexTable(int32_t guide) { return kSearchIndexPrefix + Number(guide); }

std::string PendingTable(int32_t guide) { return SearchIndexTable(guide) + "_pending"; }

std::string CreatePendingTable(int32_t guide) {
  return "CREATE TABLE " + PendingTable(guide) + " (Row_id INTEGER)";
}

std::string CreateSearchIndexTable(int32_t guide, size_t search_columns) {
  return CreateEntries(SearchIndexTable(guide), search_columns);
}

std::string FillSearchIndex(int32_t guide, const std::string& rows,
                            const std::string& candidate_qualifier,
                            const std::vector<std::string>& searched_values) {
  std::string values = candidate_qualifier + ".rowid";
  for (const std::string& value : searched_values)
    values += ", group_concat(" + value + ", char(10))";
  // A line break before GROUP BY: a WHERE clause may end in a -- comment.
  return "INSERT INTO " + SearchIndexTable(guide) + " (" + IndexColumns(searched_values.size()) +
         ") SELECT " + values + " " + rows + "\nGROUP BY " + candidate_qualifier + ".rowid";
}

std::vector<std::string> WatchTable(int32_t guide, size_t table, const std::string& table_name) {
  const std::string name = SearchIndexTriggerPrefix(guide) + "t" + std::to_string(table) + "_";
  const std::string on = " ON " + DoubleQuoted(table_name) + MarkStale(guide);
  return {"CREATE TRIGGER " + name + "insert AFTER INSERT" + on,
          "CREATE TRIGGER " + name + "update AFTER UPDATE" + on,
          "CREATE TRIGGER " + name + "delete AFTER DELETE" + on};
}

std::vector<std::string> WatchGuideRows(int32_t guide, const std::string& guide_table) {
  const std::string name = SearchIndexTriggerPrefix(guide) + guide_table + "_";
  const std::string on = " ON " + guide_table + " WHEN ";
  const std::string id = " = " + Number(guide);
  return {
      "CREATE TRIGGER " + name + "insert AFTER INSERT" + on + "NEW.DSG_ID" + id + MarkStale(guide),
      "CREATE TRIGGER " + name + "update AFTER UPDATE" + on + "OLD.DSG_ID" + id + " OR NEW.DSG_ID" +
          id + MarkStale(guide),
      "CREATE TRIGGER " + name + "delete AFTER DELETE" + on + "OLD.DSG_ID" + id + MarkStale(guide)};
}

std::string SearchIndexTriggerPrefix(int32_t guide) { return SearchIndexTable(guide) + "_"; }

std::string IndexColumns(size_t search_columns) {
  std::string columns = "rowid";
  for (size_t i = 1; i <= search_columns; ++i) columns += ", c" + std::to_string(i);
  return columns;
}

std::string SchemaSignatureQuery(int32_t guide) {
  const std::string prefix = SearchIndexTriggerPrefix(guide);
  const std::string triggers = "type = 'trigger' AND substr(name, 1, " +
                               std::to_string(prefix.size()) + ") = '" + prefix + "'";
  return "SELECT group_concat(name || char(10) || coalesce(sql, ''), char(10)) FROM (SELECT name, "
         "sql FROM main.sqlite_master WHERE name = '" +
         SearchIndexTable(guide) + "' OR name GLOB '" + SearchIndexTable(guide) +
         "_side[0-9]*' OR " + triggers +
         " OR type IN ('table', 'index') AND tbl_name IN (SELECT tbl_name FROM main.sqlite_master "
         "WHERE " +
         triggers + ") ORDER BY name)";
}

std::string SchemaUnchanged(int32_t guide) {
  // The signature is read only once the schema version differs: it reads the
  // whole schema.
  return "CASE WHEN Schema_version = (SELECT schema_version FROM main.pragma_schema_version) "
         "THEN 1 "
         "ELSE Schema_signature <> '' AND Schema_signature IS (" +
         SchemaSignatureQuery(guide) + ") END";
}

std::vector<std::string> NamesLookedUp(const std::string& rows,
                                       const std::vector<std::string>& values) {
  std::set<std::string> names;
  auto add = [&](const std::string& text) {
    for (const SqlPiece& piece : WordsAndQuotes(text)) {
      std::string_view word = piece.text;
      if (piece.quoted && word.front() == '\'') continue;  // a literal
      if (piece.quoted) word = word.substr(1, word.size() - 2);
      std::string name(word);
      for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      names.insert(name);
    }
  };
  add(rows);
  for (const std::string& value : values) add(value);
  return {names.begin(), names.end()};
}

std::string HidingTablesQuery(int32_t guide, const std::vector<std::string>& names) {
  const std::string prefix = SearchIndexTriggerPrefix(guide);
  std::string listed;
  for (const std::string& name : names)
    listed += (listed.empty() ? "'" : ", '") + QuoteApostrophes(name) + "'";
  // main.pragma_table_list: no temporary table of that name hides it.
  return "SELECT schema, name FROM main.pragma_table_list WHERE schema <> 'main' AND (lower(name) "
         "IN (" +
         (listed.empty() ? "NULL" : listed) +
         ") OR lower(name) IN (SELECT lower(tbl_name) FROM main.sqlite_master WHERE type = "
         "'trigger' AND substr(name, 1, " +
         std::to_string(prefix.size()) + ") = '" + prefix + "'))";
}

std::string FreshCondition(int32_t guide, const std::vector<std::string>& names) {
  return "(coalesce((SELECT Is_fresh <> 0 AND " + SchemaUnchanged(guide) +
         " FROM main.Db_Search_Index_State WHERE DSG_ID = " + Number(guide) +
         "), 0) AND NOT EXISTS (" + HidingTablesQuery(guide, names) + "))";
}

std::string CandidateCondition(int32_t guide, const std::string& candidate_qualifier,
                               const std::string& match_query) {
  const std::string table = SearchIndexTable(guide);
  return candidate_qualifier + ".rowid IN (SELECT rowid FROM main." + table + " WHERE " + table +
         " MATCH '" + QuoteApostrophes(match_query) + "' UNION ALL SELECT Row_id FROM main." +
         PendingTable(guide) + ")";
}

}  // namespace corvanty

namespace corvanty {

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
  std::string condition = CandidateCondition(guide, layout.candidate_qualifier, match.query);
  if (layout.sides.empty()) return condition;
  condition.pop_back();  // its closing parenthesis
  for (size_t side = 1; side <= layout.sides.size(); ++side)
    condition += " UNION ALL " + CandidatesBySide(guide, side, layout, match);
  return condition + ")";
}

}  // namespace corvanty
