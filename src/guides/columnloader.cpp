// SPDX-License-Identifier: Apache-2.0
#include "guides/columnloader.h"

#include <map>
#include <utility>

#include "connections/rdo.h"
#include "connections/serverdialect.h"
#include "guides/replaceall.h"
#include "statements/guideloader.h"
#include "statements/sqlliteral.h"

namespace corvanty {

namespace {

std::string Trimmed(const std::string& text) {
  const char* const kBlanks = " \t\r\n";
  size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The stored FROM clause of the guide; empty when it has no tables row.
std::string ReadFromClause(rdo::rdoConnection& connection, int32_t id) {
  rdo::rdoResultset row = connection.OpenResultset(GuideFromClauseQuery(id));
  return row.IsEOF() ? std::string() : row.Text("FROM_clause");
}

// One entry per catalogue row; a column with settings is marked in its
// first slot and listed checked with its index.
std::vector<ColumnListEntry> ReadEntries(rdo::rdoConnection& connection,
                                         const std::vector<std::string>& tables,
                                         std::vector<ColumnSlot>& slots) {
  std::vector<ColumnListEntry> entries;
  if (tables.size() < 2) return entries;  // no table to ask about
  std::map<std::pair<std::string, std::string>, size_t> first_slot;
  for (size_t slot = 1; slot < slots.size(); ++slot)
    first_slot.emplace(std::pair(slots[slot].Row.Column_qualifier, slots[slot].Row.Column_name),
                       slot);

  rdo::rdoResultset rows = connection.OpenResultset(
      ForDialect(connection.GetDialect()).ColumnCatalogueQuery(QuotedTableList(tables)));
  for (; !rows.IsEOF(); rows.MoveNext()) {
    ColumnListEntry& entry = entries.emplace_back();
    entry.TableName = rows.Text("TableName");
    entry.ColumnName = rows.Text("ColName");
    auto found = first_slot.find({entry.TableName, entry.ColumnName});
    if (found == first_slot.end()) {
      entry.Text = ColumnEntryText(entry.TableName, entry.ColumnName);
      continue;
    }
    ColumnSlot& slot = slots[found->second];
    slot.ListIndex = static_cast<int>(entries.size() - 1);
    entry.Text = IndexedEntryText(slot.Row.DSG_column_seq_no, entry.TableName, entry.ColumnName);
    entry.Checked = true;
  }
  return entries;
}

}  // namespace

std::string GuideFromClauseQuery(int32_t id) {
  return "SELECT DSG_ID, FROM_clause FROM Db_Search_Guide_Tables WHERE DSG_ID = " +
         std::to_string(id);
}

std::string GuideColumnsQuery(int32_t id) {
  return std::string(
             "SELECT DSG_column_seq_no, Column_qualifier, Column_name, Column_data_type, "
             "Show_in_list,") +
         "Is_search_column, List_column_separator, Conv_required, Conversion_expression" +
         ", Is_key_column" + " FROM Db_Search_Guide_Cols" + " WHERE DSG_ID = " + std::to_string(id);
}

std::vector<std::string> TablesOfFromClause(std::string from_clause) {
  std::string text = basCorvantyAdmin::ReplaceAll(from_clause, "FROM ", "");
  std::vector<std::string> tables(2);
  while (!text.empty()) {
    size_t comma = text.find(',');
    if (comma == std::string::npos) {
      tables.push_back(Trimmed(text));
      break;
    }
    tables.push_back(Trimmed(text.substr(0, comma)));
    text.erase(0, comma + 1);
  }
  return tables;
}

std::string QuotedTableList(const std::vector<std::string>& tables) {
  std::string list;
  for (size_t i = 1; i < tables.size(); ++i)
    list += (i > 1 ? ",'" : "'") + QuoteApostrophes(tables[i]) + "'";
  return list;
}

ColumnEditorContents LoadColumnEditor(rdo::rdoConnection& connection, int32_t id, bool edit,
                                      const std::vector<std::string>& tables) {
  ColumnEditorContents contents;
  contents.Slots.resize(1);
  if (edit) {
    contents.Tables = TablesOfFromClause(ReadFromClause(connection, id));
    for (GuideColumn& row : ReadStoredRows(connection, id)) {
      std::string stored = row.List_column_separator;
      contents.Slots.push_back({std::move(row), std::nullopt, std::move(stored)});
    }
  } else {
    contents.Tables = tables;
  }
  contents.Entries = ReadEntries(connection, contents.Tables, contents.Slots);
  return contents;
}

std::vector<GuideColumn> ReadStoredRows(rdo::rdoConnection& connection, int32_t id) {
  rdo::rdoResultset found = connection.OpenResultset(GuideColumnsQuery(id));
  std::vector<GuideColumn> rows;
  for (; !found.IsEOF(); found.MoveNext()) rows.push_back(ReadGuideColumn(found));
  return rows;
}

}  // namespace corvanty
