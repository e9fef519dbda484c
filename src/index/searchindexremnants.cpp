// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexremnants.h"

#include <map>
#include <set>

#include "connections/serverdialect.h"
#include "index/searchindexsql.h"
#include "index/sidepart.h"
#include "index/sidepartobjects.h"

namespace corvanty {
namespace {

// What sqlite_master and the state table hold of one guide's index.
struct IndexParts {
  bool table = false;
  std::set<std::string> shadow_tables;  // of the FTS5 table: _data, _idx, ...
  std::set<std::string> watched;        // the tables its triggers are on
  bool own_pending = false;             // a trigger notes row ids in its pending list
  bool shared_pending = false;          // in the one an earlier version kept for all
  bool state_row = false;
};

// The guide number a name of the index's objects begins with, and the rest
// after it ("" for the index table itself); -1 for other names.
// Where an earlier version noted the row ids of every guide's index.
constexpr char kSharedPendingTable[] = "Db_Search_Index_Pending ";

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

// What sqlite_master holds of one side part (see sidepart.h).
struct PartObjects {
  bool table = false, pending = false, texts = false;
  std::set<std::string> watched;  // the tables its triggers are on
};

std::map<std::string, PartObjects> ReadSideParts(rdo::SqlSession& connection) {
  std::map<std::string, PartObjects> parts;
  rdo::rdoResultset objects = connection.OpenResultset(
      "SELECT type, name, tbl_name FROM main.sqlite_master WHERE substr(name, 1, " +
      std::to_string(sizeof(kPartPrefix) - 1) + ") = '" + kPartPrefix + "'");
  for (; !objects.IsEOF(); objects.MoveNext()) {
    const std::string name = objects.Text("name");
    PartObjects& part = parts[name.substr(0, kPartNameLength)];
    if (objects.Text("type") == "trigger")
      part.watched.insert(objects.Text("tbl_name"));
    else if (name.size() == kPartNameLength)
      part.table = true;
    else if (name.substr(kPartNameLength) == "_pending")
      part.pending = true;
    else if (name.substr(kPartNameLength) == "_text")
      part.texts = true;
  }
  return parts;
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
      "SELECT type, name, tbl_name, sql FROM main.sqlite_master WHERE name LIKE "
      "'Db!_Search!_Index!_%' ESCAPE '!'");
  for (; !objects.IsEOF(); objects.MoveNext()) {
    std::string rest;
    const int32_t guide = GuideOf(objects.Text("name"), rest);
    if (guide < 0) continue;
    IndexParts& index = parts[guide];
    if (objects.Text("type") == "trigger") {
      index.watched.insert(objects.Text("tbl_name"));
      const std::string sql = objects.Text("sql");
      index.own_pending = index.own_pending || sql.find(PendingTable(guide)) != std::string::npos;
      index.shared_pending =
          index.shared_pending || sql.find(kSharedPendingTable) != std::string::npos;
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

// The tables a trigger of the index writes that are gone: every write it
// fires on fails.
std::string WrittenAndGone(const IndexParts& index, bool state_table, bool shared_pending,
                           int32_t guide) {
  std::string gone;
  auto add = [&](const std::string& table) { gone += (gone.empty() ? "" : ", ") + table; };
  if (!index.table) add("its table " + SearchIndexTable(guide));
  if (index.own_pending && !index.shadow_tables.count("_pending"))
    add("its table " + PendingTable(guide));
  if (index.shared_pending && !shared_pending) add("the table Db_Search_Index_Pending");
  if (!state_table && !index.watched.empty())
    add("the table " + std::string(kSearchIndexStateTable));
  return gone;
}

// What else is missing of a whole index.
std::string OtherwiseMissing(const IndexParts& index, bool state_table, int32_t guide) {
  std::string missing;
  auto add = [&](const std::string& part) { missing += (missing.empty() ? "" : ", ") + part; };
  // columnsize=0: FTS5 keeps no _docsize table.
  for (const char* shadow : {"_data", "_idx", "_config", "_content"})
    if (index.table && !index.shadow_tables.count(shadow))
      add("its table " + SearchIndexTable(guide) + shadow);
  if (index.watched.empty()) add("its triggers");
  if (state_table && !index.state_row) add("its row of " + std::string(kSearchIndexStateTable));
  return missing;
}

// The tables of the side parts the guide reads that are gone, while their
// triggers write them: the writes to the tables of those triggers fail.
// A part without triggers is named in missing.
std::string SidesGone(const std::set<std::string>& named,
                      const std::map<std::string, PartObjects>& parts,
                      std::set<std::string>& failing, std::string& missing) {
  std::string gone;
  auto add = [](std::string& list, const std::string& part) {
    list += (list.empty() ? "" : ", ") + part;
  };
  for (const std::string& name : named) {
    const auto found = parts.find(name);
    const PartObjects part = found == parts.end() ? PartObjects{} : found->second;
    if (part.watched.empty()) add(missing, "the triggers of " + name);
    if (!part.table) add(gone, "its table " + name);
    if (!part.pending) add(gone, "its table " + name + "_pending");
    if (!part.texts) add(gone, "its table " + name + "_text");
    if (!part.table || !part.pending || !part.texts)
      failing.insert(part.watched.begin(), part.watched.end());
  }
  return gone;
}

}  // namespace

std::vector<IndexRemnant> FindIndexRemnants(rdo::SqlSession& connection) {
  if (SearchIndexesOf(connection) != SearchIndexKind::Fts5Trigram) return {};
  const bool state_table = HasTable(connection, kSearchIndexStateTable);
  const bool shared_pending = HasTable(connection, "Db_Search_Index_Pending");
  const std::map<int32_t, std::set<std::string>> named = PartsNamedByGuides(connection);
  const std::map<std::string, PartObjects> side_parts = ReadSideParts(connection);
  std::vector<IndexRemnant> remnants;
  for (const auto& [guide, index] : ReadParts(connection)) {
    std::string gone = WrittenAndGone(index, state_table, shared_pending, guide);
    // Every trigger of the guide's writes those; a side part's, only its own.
    std::set<std::string> failing = gone.empty() ? std::set<std::string>() : index.watched;
    std::string other = OtherwiseMissing(index, state_table, guide), parts_missing;
    const auto parts = named.find(guide);
    const std::string sides =
        parts == named.end() ? "" : SidesGone(parts->second, side_parts, failing, parts_missing);
    gone += (gone.empty() || sides.empty() ? "" : ", ") + sides;
    other += (other.empty() || parts_missing.empty() ? "" : ", ") + parts_missing;
    if (gone.empty() && other.empty()) continue;
    IndexRemnant remnant{
        guide,
        "its search index lacks " + gone + (gone.empty() || other.empty() ? "" : ", ") + other,
        {failing.begin(), failing.end()}};
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
