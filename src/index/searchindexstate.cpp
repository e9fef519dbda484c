// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexstate.h"

#include <map>
#include <set>

#include "connections/serverdialect.h"
#include "index/searchindexsql.h"
#include "index/sidepart.h"
#include "index/sidepartobjects.h"

namespace corvanty {
namespace {

// The state of one guide's index, the schema compared to the one it was
// built under as far as the index is concerned.
std::string StateQuery(rdo::SqlSession& connection, int32_t guide) {
  // A state table made before the side parts has none.
  const bool sides = !connection
                          .OpenResultset(
                              "SELECT name FROM pragma_table_info('Db_Search_Index_State') WHERE "
                              "name = 'Side_fills'")
                          .IsEOF();
  const std::string where = " FROM Db_Search_Index_State WHERE DSG_ID = " + std::to_string(guide);
  std::vector<std::string> parts;
  if (sides)
    if (rdo::rdoResultset row = connection.OpenResultset("SELECT Side_parts" + where); !row.IsEOF())
      parts = PartNames(SidePartsOf(row.Text("Side_parts")));
  return "SELECT DSG_ID, Is_fresh, Candidate_qualifier, Fill_statement, Row_count, "
         "Unkept_tables, " +
         std::string(sides ? "Side_parts, Side_fills, " : "'' AS Side_parts, '' AS Side_fills, ") +
         SchemaUnchanged(guide, parts) + " AS Same_schema" + where;
}

SearchIndexState StateOf(const rdo::rdoResultset& row) {
  SearchIndexState index;
  index.candidate_qualifier = row.Text("Candidate_qualifier");
  index.fill_statement = row.Text("Fill_statement");
  index.rows = std::stoll(row.Text("Row_count"));
  index.unkept_tables = row.Text("Unkept_tables");
  index.side_parts = row.Text("Side_parts");
  index.side_fills = row.Text("Side_fills");
  if (row.Int("Same_schema") == 0) {
    index.state = IndexState::Stale;
    index.why_stale = "the database's schema changed since it was built";
  } else if (row.Int("Is_fresh") == 0) {
    index.state = IndexState::Stale;
    index.why_stale =
        index.unkept_tables.empty()
            ? "the guide changed since it was built"
            : "the guide, or rows of " + index.unkept_tables +
                  " (which it cannot keep up to date with), changed since it was built";
  } else {
    index.state = IndexState::Fresh;
  }
  return index;
}

// An index kept by an earlier version of the state table, without the
// columns of the upkeep: stale until rebuilt.
bool StateTableIsEarlier(rdo::SqlSession& connection) {
  return connection
      .OpenResultset(
          "SELECT name FROM pragma_table_info('Db_Search_Index_State') WHERE name = "
          "'Unkept_tables'")
      .IsEOF();
}

SearchIndexState ReadState(rdo::SqlSession& connection, int32_t guide, bool earlier) {
  if (earlier) {
    SearchIndexState index;
    index.state = IndexState::Stale;
    index.why_stale = "it was built by an earlier version of corvanty";
    return index;
  }
  rdo::rdoResultset row = connection.OpenResultset(StateQuery(connection, guide));
  if (row.IsEOF()) return {};
  SearchIndexState index = StateOf(row);
  // Its searches take the pending list's row ids; an earlier version kept
  // none.
  if (index.state == IndexState::Fresh &&
      connection
          .OpenResultset("SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = '" +
                         PendingTable(guide) + "'")
          .IsEOF()) {
    index.state = IndexState::Stale;
    index.why_stale = "it has no pending list (" + PendingTable(guide) +
                      "): an earlier version of corvanty built it";
  }
  // Its searches match the values noted in its side parts' lists; an
  // earlier version noted row ids alone.
  for (const SidePart& part : SidePartsOf(index.side_parts))
    if (index.state == IndexState::Fresh &&
        connection
            .OpenResultset("SELECT 1 FROM pragma_table_info('" + SidePendingTable(part) +
                           "') WHERE name = 'Value'")
            .IsEOF()) {
      index.state = IndexState::Stale;
      index.why_stale = "the pending list of its side part " + part.name +
                        " keeps no values: an earlier version of corvanty built it";
    }
  return index;
}

}  // namespace

SearchIndexState ReadSearchIndexState(rdo::SqlSession& connection, int32_t guide) {
  if (!SearchIndexStateTableExists(connection)) return {};
  const bool has_index = !connection
                              .OpenResultset("SELECT 1 FROM Db_Search_Index_State WHERE DSG_ID = " +
                                             std::to_string(guide))
                              .IsEOF();
  return has_index ? ReadState(connection, guide, StateTableIsEarlier(connection))
                   : SearchIndexState{};
}

std::vector<SearchIndexListing> ListSearchIndexes(rdo::rdoConnection& connection) {
  std::map<int32_t, SearchIndexListing> listed;
  rdo::rdoResultset guides =
      connection.OpenResultset("SELECT DSG_ID, DSG_name FROM Db_Search_Guides");
  for (; !guides.IsEOF(); guides.MoveNext()) {
    SearchIndexListing& entry = listed[guides.Int("DSG_ID")];
    entry.DSG_name = guides.Text("DSG_name");
  }
  if (SearchIndexStateTableExists(connection)) {
    const bool earlier = StateTableIsEarlier(connection);
    rdo::rdoResultset states = connection.OpenResultset("SELECT DSG_ID FROM Db_Search_Index_State");
    for (; !states.IsEOF(); states.MoveNext())
      listed[states.Int("DSG_ID")].index = ReadState(connection, states.Int("DSG_ID"), earlier);
  }
  std::vector<SearchIndexListing> ordered;
  for (auto& [id, entry] : listed) {
    entry.DSG_ID = id;
    if (entry.index.state != IndexState::Absent) {
      try {
        entry.bytes = SearchIndexBytes(connection, id);
      } catch (const rdo::DatabaseError&) {
        // A SQLite built without its page statistics (dbstat): size unknown.
      }
    }
    ordered.push_back(std::move(entry));
  }
  return ordered;
}

long long SearchIndexBytes(rdo::rdoConnection& connection, int32_t guide) {
  std::string names;
  std::vector<std::string> tables{SearchIndexTable(guide)};
  const std::map<int32_t, std::set<std::string>> parts = PartsNamedByGuides(connection);
  if (auto named = parts.find(guide); named != parts.end())
    tables.insert(tables.end(), named->second.begin(), named->second.end());
  for (const std::string& table : tables)
    for (const char* shadow :
         {"_data", "_idx", "_config", "_content", "_docsize", "_pending", "_text"})
      names += (names.empty() ? "'" : ", '") + table + shadow + "'";
  // A part a guide shares with others counts for each of them.
  rdo::rdoResultset pages = connection.OpenResultset(
      "SELECT sum(pgsize) AS Bytes FROM dbstat WHERE name IN (" + names + ")");
  return std::stoll(pages.Value("Bytes").value_or("0"));
}

const char* IndexStateName(IndexState state) {
  switch (state) {
    case IndexState::Fresh:
      return "fresh";
    case IndexState::Stale:
      return "stale";
    default:
      return "absent";
  }
}

long long SchemaVersion(rdo::rdoConnection& connection) {
  return std::stoll(connection.OpenResultset(kSchemaVersionQuery).Text("Version"));
}

bool SearchIndexStateTableExists(rdo::SqlSession& connection) {
  if (SearchIndexesOf(connection) != SearchIndexKind::Fts5Trigram) return false;
  return !connection
              .OpenResultset(std::string("SELECT name FROM sqlite_master WHERE type = 'table' "
                                         "AND name = '") +
                             kSearchIndexStateTable + "'")
              .IsEOF();
}

}  // namespace corvanty
