// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexorphans.h"

#include <set>
#include <string>

#include "connections/serverdialect.h"
#include "index/searchindexdrop.h"
#include "index/searchindexstate.h"

namespace corvanty {
namespace {

// The guide numbers that have an index: the state rows on SQLite, the
// numbers in the trigram indexes' names (db_search_index_N_K) on PostgreSQL.
std::set<int32_t> IndexedGuides(rdo::rdoConnection& connection) {
  std::set<int32_t> guides;
  if (SearchIndexesOf(connection) == SearchIndexKind::PgTrigram) {
    rdo::rdoResultset names = connection.OpenResultset(
        "SELECT c.relname AS Name FROM pg_class c WHERE c.relkind = 'i' AND c.relnamespace = "
        "current_schema()::regnamespace AND c.relname LIKE 'db!_search!_index!_%' ESCAPE '!'");
    const size_t prefix = std::string("db_search_index_").size();
    for (; !names.IsEOF(); names.MoveNext()) {
      const std::string name = names.Text("Name");
      const size_t end = name.find('_', prefix);
      const std::string number = name.substr(prefix, end - prefix);
      if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
        guides.insert(std::stoi(number));
    }
  } else if (SearchIndexStateTableExists(connection)) {
    rdo::rdoResultset states = connection.OpenResultset("SELECT DSG_ID FROM Db_Search_Index_State");
    for (; !states.IsEOF(); states.MoveNext()) guides.insert(states.Int("DSG_ID"));
  }
  return guides;
}

}  // namespace

std::vector<int32_t> DropOrphanSearchIndexesWithin(rdo::rdoConnection& connection) {
  std::set<int32_t> orphans = IndexedGuides(connection);
  rdo::rdoResultset guides = connection.OpenResultset("SELECT DSG_ID FROM Db_Search_Guides");
  for (; !guides.IsEOF(); guides.MoveNext()) orphans.erase(guides.Int("DSG_ID"));
  for (int32_t guide : orphans) DropGuideSearchIndexWithin(connection, guide);
  return {orphans.begin(), orphans.end()};
}

}  // namespace corvanty
