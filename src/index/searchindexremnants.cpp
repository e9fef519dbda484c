// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexremnants.h"

#include <map>
#include <set>

#include "index/searchindexsql.h"

namespace corvanty {
namespace {

// What sqlite_master and the state table hold of one guide's index.
struct IndexParts {
  bool table = false;
  std::set<std::string> shadow_tables;  // of the FTS5 table: _data, _idx, ...
  std::set<std::string> watched;        // the tables its triggers are on
  bool keeps = false;                   // a trigger keeps it up to date (needs the pending table)
  bool state_row = false;
};

// The guide number a name of the index's objects begins with, and the rest
// after it ("" for the index table itself); -1 for other names.
int32_t GuideOf(const std::string& name, std::string& rest) {
  const std::string prefix = kSearchIndexPrefix;
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
  size_t end = prefix.size();
  int64_t guide = 0;
  while (end < name.size() && name[end] >= '0' && name[end] <= '9' && guide <= INT32_MAX)
    guide = guide * 10 + (name[end++] - '0');
  if (end == prefix.size() || guide > INT32_MAX || (end < name.size() && name[end] != '_'))
    return -1;
  rest = name.substr(end);
  return static_cast<int32_t>(guide);
}

bool HasTable(rdo::SqlSession& connection, const std::string& name) {
  return !connection
              .OpenResultset("SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = '" +
                             name + "'")
              .IsEOF();
}

std::map<int32_t, IndexParts> ReadParts(rdo::SqlSession& connection) {
  std::map<int32_t, IndexParts> parts;
  rdo::rdoResultset objects = connection.OpenResultset(
      "SELECT type, name, tbl_name FROM main.sqlite_master WHERE name LIKE 'Db!_Search!_Index!_%' "
      "ESCAPE '!'");
  for (; !objects.IsEOF(); objects.MoveNext()) {
    std::string rest;
    const int32_t guide = GuideOf(objects.Text("name"), rest);
    if (guide < 0) continue;
    IndexParts& index = parts[guide];
    if (objects.Text("type") == "trigger") {
      index.watched.insert(objects.Text("tbl_name"));
      index.keeps = index.keeps || rest.find("_before") != std::string::npos;
    } else if (rest.empty()) {
      index.table = true;
    } else if (objects.Text("type") == "table") {
      index.shadow_tables.insert(rest);
    }
  }
  if (HasTable(connection, kSearchIndexStateTable))
    for (rdo::rdoResultset rows =
             connection.OpenResultset("SELECT DSG_ID FROM main.Db_Search_Index_State");
         !rows.IsEOF(); rows.MoveNext())
      parts[rows.Int("DSG_ID")].state_row = true;
  return parts;
}

// What is missing of a whole index, "" when nothing is.
std::string Missing(const IndexParts& index, bool state_table, bool pending_table, int32_t guide) {
  std::string missing;
  auto add = [&](const std::string& part) { missing += (missing.empty() ? "" : ", ") + part; };
  if (!index.table) add("its table " + SearchIndexTable(guide));
  // columnsize=0: FTS5 keeps no _docsize table.
  for (const char* shadow : {"_data", "_idx", "_config", "_content"})
    if (index.table && !index.shadow_tables.count(shadow))
      add("its table " + SearchIndexTable(guide) + shadow);
  if (index.watched.empty()) add("its triggers");
  if (!state_table && !index.watched.empty())
    add("the table " + std::string(kSearchIndexStateTable));
  else if (!index.state_row)
    add("its row of " + std::string(kSearchIndexStateTable));
  if (index.keeps && !pending_table) add("the table Db_Search_Index_Pending");
  return missing;
}

}  // namespace

std::vector<IndexRemnant> FindIndexRemnants(rdo::SqlSession& connection) {
  if (connection.GetDialect() != rdo::Dialect::Sqlite) return {};
  const bool state_table = HasTable(connection, kSearchIndexStateTable);
  const bool pending_table = HasTable(connection, "Db_Search_Index_Pending");
  std::vector<IndexRemnant> remnants;
  for (const auto& [guide, index] : ReadParts(connection)) {
    const std::string missing = Missing(index, state_table, pending_table, guide);
    if (missing.empty()) continue;
    IndexRemnant remnant{guide, "its search index lacks " + missing, {}};
    // A trigger fails when what it writes is gone.
    if (!index.table || (index.keeps && !pending_table) || !state_table)
      remnant.failing.assign(index.watched.begin(), index.watched.end());
    remnants.push_back(std::move(remnant));
  }
  return remnants;
}

std::string RemnantWarning(const IndexRemnant& remnant) {
  const std::string number = std::to_string(remnant.DSG_ID);
  std::string failing;
  for (const std::string& table : remnant.failing) failing += (failing.empty() ? "" : ", ") + table;
  return "Database Search Guide " + number + ": " + remnant.what +
         (failing.empty() ? "" : "; every write to " + failing + " fails") +
         ". Repair: corvanty index " + number +
         " --drop (removes what is left of the index, no other data), then corvanty index " +
         number + " to build it again.";
}

}  // namespace corvanty
