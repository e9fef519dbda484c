#include "index/searchindexstate.h"

#include <map>

#include "index/searchindexsql.h"

namespace corvanty {
namespace {

// The state columns of Db_Search_Index_State, with the schema version
// compared to the current one.
constexpr char kStateColumns[] =
    "SELECT DSG_ID, Is_fresh, Candidate_qualifier, Fill_statement, Row_count, "
    "Schema_version = (SELECT schema_version FROM pragma_schema_version) AS Same_schema "
    "FROM Db_Search_Index_State";

SearchIndexState StateOf(const rdo::rdoResultset& row) {
  SearchIndexState index;
  index.candidate_qualifier = row.Text("Candidate_qualifier");
  index.fill_statement = row.Text("Fill_statement");
  index.rows = std::stoll(row.Text("Row_count"));
  if (row.Int("Same_schema") == 0) {
    index.state = IndexState::Stale;
    index.why_stale = "the database's schema changed since it was built";
  } else if (row.Int("Is_fresh") == 0) {
    index.state = IndexState::Stale;
    index.why_stale = "rows it reads, or the guide, changed since it was built";
  } else {
    index.state = IndexState::Fresh;
  }
  return index;
}

}  // namespace

SearchIndexState ReadSearchIndexState(rdo::SqlSession& connection, int32_t guide) {
  if (!SearchIndexStateTableExists(connection)) return {};
  rdo::rdoResultset row = connection.OpenResultset(std::string(kStateColumns) +
                                                   " WHERE DSG_ID = " + std::to_string(guide));
  return row.IsEOF() ? SearchIndexState{} : StateOf(row);
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
    rdo::rdoResultset states = connection.OpenResultset(kStateColumns);
    for (; !states.IsEOF(); states.MoveNext()) listed[states.Int("DSG_ID")].index = StateOf(states);
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
  const std::string table = SearchIndexTable(guide);
  std::string names;
  for (const char* shadow : {"_data", "_idx", "_config", "_content", "_docsize"})
    names += std::string(names.empty() ? "'" : ", '") + table + shadow + "'";
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
  if (connection.GetDialect() != rdo::Dialect::Sqlite) return false;  // no indexes elsewhere
  return !connection
              .OpenResultset(std::string("SELECT name FROM sqlite_master WHERE type = 'table' "
                                         "AND name = '") +
                             kSearchIndexStateTable + "'")
              .IsEOF();
}

}  // namespace corvanty
