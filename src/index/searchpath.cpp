// SPDX-License-Identifier: Apache-2.0
#include "index/searchpath.h"

#include <stdexcept>

#include "connections/serverdialect.h"
#include "index/indexmatch.h"
#include "index/searchindexsql.h"
#include "index/searchindexstate.h"
#include "index/sidepart.h"
#include "index/trigramindex.h"

namespace corvanty {
namespace {

const GuideDefinition& DefinitionOf(const std::vector<GuideDefinition>& definitions,
                                    int32_t guide) {
  for (const GuideDefinition& definition : definitions)
    if (definition.DSG_ID == guide) return definition;
  throw std::logic_error("a statement without its guide");
}

// Whether each side part's values are among the guide's searched values.
bool PositionsWithin(const IndexLayout& layout) {
  for (const SidePart& side : layout.sides)
    for (size_t position : side.positions)
      if (position >= layout.values.size()) return false;
  return true;
}

SearchPath PathFor(rdo::SqlSession& connection, const GuideDefinition& definition,
                   const SearchCriteria& criteria, const IndexMatch& match,
                   GuideStatement& statement) {
  const int32_t guide = definition.DSG_ID;
  const SearchIndexState index = ReadSearchIndexState(connection, guide);
  if (index.state == IndexState::Absent)
    return {guide, false, "scan: the guide has no search index (corvanty index builds one)"};
  if (index.state == IndexState::Stale)
    return {guide, false, "scan: its search index is stale: " + index.why_stale};
  const IndexLayout layout{GuideRows(definition), index.candidate_qualifier,
                           SearchedValues(definition, SqliteDialect()),
                           SidePartsOf(index.side_parts)};
  // The definition read for this search may be older or newer than the one
  // the index was built from, when the guide changed meanwhile.
  if (!PositionsWithin(layout) ||
      FillSearchIndex(guide, layout.rows, layout.candidate_qualifier,
                      OwnValues(layout.values, layout.sides)) != index.fill_statement ||
      SideFills(layout.sides, layout.values) != index.side_fills)
    return {guide, false, "scan: its search index was built for another definition of the guide"};
  const std::vector<std::string> names = NamesLookedUp(layout.rows, layout.values);
  rdo::rdoResultset hiding = connection.OpenResultset(HidingTablesQuery(guide, names));
  if (!hiding.IsEOF())
    return {guide, false,
            "scan: " + hiding.Text("schema") + "." + hiding.Text("name") +
                " has the name of a table it reads, while its search index holds the rows of "
                "main's"};
  if (match.query.empty())
    return {guide, false, "scan: the index cannot serve it: " + match.reason};
  GuideStatement indexed =
      IndexedStatement(definition, criteria, FreshCondition(guide, names, PartNames(layout.sides)),
                       CandidateCondition(guide, layout, match));
  if (!indexed.Error.empty()) return {guide, false, "scan: " + indexed.Error};
  statement = std::move(indexed);
  const std::string unkept = index.unkept_tables.empty()
                                 ? ""
                                 : " (it cannot keep up to date with changes to " +
                                       index.unkept_tables + ": they mark it stale)";
  return {
      guide, true,
      "index: the rows of " + index.candidate_qualifier + " it finds for " + match.query + unkept};
}

SearchPath UnionPathFor(rdo::SqlSession& connection, const GuideDefinition& definition,
                        const SearchCriteria& criteria, GuideStatement& statement) {
  const int32_t guide = definition.DSG_ID;
  if (TrigramIndexNames(connection, guide).empty())
    return {guide, false, "scan: the guide has no search index (corvanty index builds one)"};
  GuideStatement union_of = UnionStatement(definition, criteria);
  if (!union_of.Error.empty()) return {guide, false, "scan: " + union_of.Error};
  statement = std::move(union_of);
  return {guide, true, "index: one branch per search column, each served by its trigram index"};
}

}  // namespace

std::vector<SearchPath> ChooseSearchPaths(rdo::SqlSession& connection,
                                          const std::vector<GuideDefinition>& definitions,
                                          const SearchCriteria& criteria,
                                          std::vector<GuideStatement>& statements) {
  const IndexMatch match = IndexMatchFor(criteria);
  std::vector<SearchPath> paths;
  for (GuideStatement& statement : statements) {
    const GuideDefinition& definition = DefinitionOf(definitions, statement.DSG_ID);
    paths.push_back(SearchIndexesOf(connection) == SearchIndexKind::PgTrigram
                        ? UnionPathFor(connection, definition, criteria, statement)
                        : PathFor(connection, definition, criteria, match, statement));
  }
  return paths;
}

}  // namespace corvanty
