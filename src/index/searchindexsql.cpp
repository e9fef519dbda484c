// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexsql.h"

#include <set>
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

}  // namespace

std::string SearchIndexTable(int32_t guide) { return kSearchIndexPrefix + Number(guide); }

std::string PendingTable(int32_t guide) { return SearchIndexTable(guide) + "_pending"; }

std::string CreatePendingTable(int32_t guide) {
  return "CREATE TABLE " + PendingTable(guide) + " (Row_id INTEGER)";
}

std::string CreateEntries(const std::string& table, size_t search_columns,
                          const std::string& texts) {
  std::string columns;
  for (size_t i = 1; i <= search_columns; ++i) columns += "c" + std::to_string(i) + ", ";
  // The texts are kept, by the FTS5 table or in texts: taking an entry out
  // needs the texts it was made from, and the rows they came from have
  // changed by then. columnsize=0: no ranking, so no sizes to keep.
  return "CREATE VIRTUAL TABLE " + table + " USING fts5(" + columns +
         (texts.empty() ? "" : "content='" + texts + "', ") + "tokenize='trigram', columnsize=0)";
}

std::vector<std::string> SettleEntries(const std::string& table) {
  return {"INSERT INTO " + table + " (" + table + ") VALUES ('optimize')",
          "INSERT INTO " + table + " (" + table + ", rank) VALUES ('automerge', 8)"};
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

std::string SchemaSignatureQuery(int32_t guide, const std::vector<std::string>& parts) {
  const std::string prefix = SearchIndexTriggerPrefix(guide);
  const std::string triggers = "type = 'trigger' AND substr(name, 1, " +
                               std::to_string(prefix.size()) + ") = '" + prefix + "'";
  // A part's objects: its FTS5 table with its own tables, its pending list,
  // its triggers.
  std::string objects = "name = '" + SearchIndexTable(guide) + "'";
  for (const std::string& part : parts) objects += " OR name GLOB '" + part + "*'";
  return "SELECT group_concat(name || char(10) || coalesce(sql, ''), char(10)) FROM (SELECT name, "
         "sql FROM main.sqlite_master WHERE " +
         objects + " OR " + triggers +
         " OR type IN ('table', 'index') AND tbl_name IN (SELECT tbl_name FROM main.sqlite_master "
         "WHERE " +
         triggers + ") ORDER BY name)";
}

std::string SchemaUnchanged(int32_t guide, const std::vector<std::string>& parts) {
  // The signature is read only once the schema version differs: it reads the
  // whole schema.
  return "CASE WHEN Schema_version = (SELECT schema_version FROM main.pragma_schema_version) "
         "THEN 1 "
         "ELSE Schema_signature <> '' AND Schema_signature IS (" +
         SchemaSignatureQuery(guide, parts) + ") END";
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

std::string FreshCondition(int32_t guide, const std::vector<std::string>& names,
                           const std::vector<std::string>& parts) {
  return "(coalesce((SELECT Is_fresh <> 0 AND " + SchemaUnchanged(guide, parts) +
         " FROM main.Db_Search_Index_State WHERE DSG_ID = " + Number(guide) +
         "), 0) AND NOT EXISTS (" + HidingTablesQuery(guide, names) + "))";
}

std::string OwnCandidates(int32_t guide, const std::string& match_query) {
  const std::string table = SearchIndexTable(guide);
  return "SELECT rowid FROM main." + table + " WHERE " + table + " MATCH '" +
         QuoteApostrophes(match_query) + "' UNION ALL SELECT Row_id FROM main." +
         PendingTable(guide);
}

std::string CandidateCondition(int32_t guide, const std::string& candidate_qualifier,
                               const std::string& match_query) {
  return candidate_qualifier + ".rowid IN (" + OwnCandidates(guide, match_query) + ")";
}

}  // namespace corvanty
