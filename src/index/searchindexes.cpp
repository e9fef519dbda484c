// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexes.h"

#include "connections/serverdialect.h"
#include "index/searchindexbuild.h"
#include "index/trigramindex.h"

namespace corvanty {
namespace {

std::vector<SearchIndexListing> ListTrigramIndexes(rdo::rdoConnection& connection) {
  rdo::rdoResultset guides = connection.OpenResultset(
      "SELECT g.DSG_ID AS Id, g.DSG_name AS Name, count(i.indexrelid) AS Indexes, "
      "sum(pg_relation_size(i.indexrelid)) AS Bytes FROM Db_Search_Guides g LEFT JOIN "
      "(pg_index i JOIN pg_class c ON c.oid = i.indexrelid AND c.relnamespace = "
      "current_schema()::regnamespace) ON c.relname LIKE 'db!_search!_index!_' || g.DSG_ID || "
      "'!_%' ESCAPE '!' GROUP BY g.DSG_ID, g.DSG_name ORDER BY g.DSG_ID");
  std::vector<SearchIndexListing> listed;
  for (; !guides.IsEOF(); guides.MoveNext()) {
    SearchIndexListing& entry = listed.emplace_back();
    entry.DSG_ID = guides.Int("Id");
    entry.DSG_name = guides.Text("Name");
    if (guides.Text("Indexes") != "0") {
      entry.index.state = IndexState::Fresh;
      entry.bytes = std::stoll(guides.Text("Bytes"));
    }
  }
  return listed;
}

}  // namespace

std::vector<SearchIndexListing> ListGuideSearchIndexes(rdo::rdoConnection& connection) {
  return SearchIndexesOf(connection) == SearchIndexKind::PgTrigram ? ListTrigramIndexes(connection)
                                                                   : ListSearchIndexes(connection);
}

void BuildGuideSearchIndex(rdo::rdoConnection& connection, int32_t guide) {
  if (SearchIndexesOf(connection) == SearchIndexKind::PgTrigram)
    BuildTrigramIndex(connection, guide);
  else
    BuildSearchIndex(connection, guide);
}

bool DropGuideSearchIndex(rdo::rdoConnection& connection, int32_t guide) {
  return SearchIndexesOf(connection) == SearchIndexKind::PgTrigram
             ? DropTrigramIndex(connection, guide)
             : DropSearchIndex(connection, guide);
}

}  // namespace corvanty
