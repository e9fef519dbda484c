// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexbuild.h"

#include <set>

#include "connections/serverdialect.h"
#include "index/fromtables.h"
#include "index/guidedependencies.h"
#include "index/indexmatch.h"
#include "index/searchindexsql.h"
#include "index/searchindexstate.h"
#include "index/searchindexupkeep.h"
#include "index/sidepart.h"
#include "index/sidepartobjects.h"
#include "index/upkeepplan.h"
#include "statements/guideloader.h"
#include "statements/searchstatements.h"
#include "statements/sqlliteral.h"
#include "statements/sqltokens.h"

namespace corvanty {
namespace {

[[noreturn]] void Refuse(int32_t guide, const std::string& why) {
  throw SearchIndexRefused("Database Search Guide " + std::to_string(guide) +
                           " cannot be indexed: " + why + ".");
}

void RequireSqlite(rdo::rdoConnection& connection) {
  if (std::string reason = NoSearchIndexesReason(connection); !reason.empty())
    throw SearchIndexRefused(reason);
  if (SearchIndexesOf(connection) != SearchIndexKind::Fts5Trigram)
    throw std::logic_error("a SQLite search index asked of another server");
}

// A transaction whose first statement writes: the driver waits for a lock
// held elsewhere only before a transaction has read anything.
rdo::Transaction BeginWriting(rdo::rdoConnection& connection, int32_t guide) {
  connection.Execute(kCreateSearchIndexStateTable);
  rdo::Transaction transaction = connection.BeginTrans();
  connection.Execute("DELETE FROM Db_Search_Index_State WHERE DSG_ID = " + std::to_string(guide));
  return transaction;
}

// Drops the guide's index table and triggers; true when there were any.
bool DropIndexObjects(rdo::rdoConnection& connection, int32_t guide) {
  const std::string prefix = SearchIndexTriggerPrefix(guide);
  rdo::rdoResultset objects = connection.OpenResultset(
      "SELECT type, name FROM sqlite_master WHERE name IN ('" + SearchIndexTable(guide) + "', '" +
      PendingTable(guide) + "') OR name GLOB '" + SearchIndexTable(guide) +
      "_side[0-9]*' OR (type = 'trigger' AND substr(name, 1, " + std::to_string(prefix.size()) +
      ") = '" + prefix + "')");
  const bool any = !objects.IsEOF();
  for (; !objects.IsEOF(); objects.MoveNext())
    if (objects.Text("type") == "trigger")
      connection.Execute("DROP TRIGGER " + DoubleQuoted(objects.Text("name")));
  connection.Execute("DROP TABLE IF EXISTS " + SearchIndexTable(guide));
  connection.Execute("DROP TABLE IF EXISTS " + PendingTable(guide));
  // The side parts an earlier version kept for each guide: their FTS5
  // tables first, whose own tables go with them. Then what is left of them:
  // their pending lists, or tables a hand left.
  const std::string sides = "SELECT name FROM sqlite_master WHERE type = 'table' AND name GLOB '" +
                            SearchIndexTable(guide) + "_side[0-9]*'";
  for (const char* kind : {" AND sql LIKE 'CREATE VIRTUAL%'", ""}) {
    std::vector<std::string> names;
    for (rdo::rdoResultset side = connection.OpenResultset(sides + kind); !side.IsEOF();
         side.MoveNext())
      names.push_back(side.Text("name"));
    for (const std::string& name : names) connection.Execute("DROP TABLE IF EXISTS " + name);
  }
  DropUnnamedParts(connection);
  return any;
}

// This change touched the guide's own objects only: the other indexes that
// were valid under the schema before it are valid under the one after it.
void KeepOtherIndexesValid(rdo::rdoConnection& connection, int32_t guide, long long before) {
  connection.Execute("UPDATE Db_Search_Index_State SET Schema_version = " +
                     std::to_string(SchemaVersion(connection)) + " WHERE Schema_version = " +
                     std::to_string(before) + " AND DSG_ID <> " + std::to_string(guide));
}

bool DropIndexKeepingOthersValid(rdo::rdoConnection& connection, int32_t guide) {
  const long long before = SchemaVersion(connection);
  const bool had_objects = DropIndexObjects(connection, guide);
  KeepOtherIndexesValid(connection, guide, before);
  return had_objects;
}

// Whether the DELETE just run removed the guide's row of Db_Search_Index_State.
bool StateRowDeleted(rdo::rdoConnection& connection) {
  return connection.OpenResultset("SELECT changes() AS Dropped").Int("Dropped") > 0;
}

// The guide's qualifiers, the key column's first, then the search columns',
// then the others', each once.
std::vector<std::string> QualifiersByUse(const GuideDefinition& guide) {
  std::vector<std::string> ordered;
  std::set<std::string> seen;
  auto add = [&](const GuideColumn& column) {
    if (seen.insert(column.Column_qualifier).second) ordered.push_back(column.Column_qualifier);
  };
  if (guide.Columns.front().Is_key_column != 0) add(guide.Columns.front());
  for (const GuideColumn& column : guide.Columns)
    if (column.Is_search_column != 0) add(column);
  for (const GuideColumn& column : guide.Columns) add(column);
  return ordered;
}

// The state table's columns an earlier one lacks.
void AddStateColumns(rdo::rdoConnection& connection) {
  for (const char* column : kStateColumnsAdded) {
    const std::string name = std::string(column).substr(0, std::string(column).find(' '));
    if (connection
            .OpenResultset("SELECT name FROM pragma_table_info('Db_Search_Index_State') WHERE "
                           "name = '" +
                           name + "'")
            .IsEOF())
      connection.Execute(std::string("ALTER TABLE Db_Search_Index_State ADD COLUMN ") + column);
  }
}

// The qualifier of each of the guide's searched values.
std::vector<std::string> SearchedQualifiers(const GuideDefinition& guide) {
  std::vector<std::string> qualifiers;
  for (const GuideColumn& column : guide.Columns)
    if (column.Is_search_column != 0) qualifiers.push_back(column.Column_qualifier);
  return qualifiers;
}

struct Candidate {
  std::string qualifier;
  long long rows = 0;
};

// Whether the qualifier names a table of the FROM clause that is on every
// row whatever the rows hold: not on the optional side of an outer join.
bool AlwaysOnEachRow(const std::string& from, const std::string& qualifier) {
  for (const TableInFrom& table : TablesInFrom(from))
    if (!table.optional && IsKeyword(table.qualifier, qualifier)) return true;
  return false;
}

// The first table (by its qualifier) that gives every row of the guide a
// row id, now and after any write: a view, a subquery or the optional side
// of an outer join does not.
Candidate ChooseCandidateTable(rdo::rdoConnection& connection, const GuideDefinition& guide,
                               const std::string& rows) {
  const std::vector<std::string> qualifiers = QualifiersByUse(guide);
  // Read first without any row id: what fails here is the guide's own fault
  // (a table gone, a column renamed), and is reported in SQLite's words.
  const std::string total =
      connection.OpenResultset("SELECT count(*) AS Total " + rows).Text("Total");
  for (const std::string& qualifier : qualifiers) {
    if (!AlwaysOnEachRow(guide.FROM_clause.value_or(""), qualifier)) continue;
    try {
      rdo::rdoResultset count =
          connection.OpenResultset("SELECT count(" + qualifier + ".rowid) AS With_id " + rows);
      if (count.Text("With_id") == total) return {qualifier, std::stoll(total)};
    } catch (const rdo::DatabaseError&) {
      // The same rows read, only the row id added: it has none (a subquery,
      // a table without one). The next.
    }
  }
  std::string names;
  for (const std::string& qualifier : qualifiers) names += (names.empty() ? "" : ", ") + qualifier;
  Refuse(guide.DSG_ID, "none of its tables (" + names + ") gives each of its rows a row id");
}

GuideDefinition SearchableGuide(rdo::rdoConnection& connection, int32_t guide) {
  std::vector<GuideDefinition> found = LoadGuideDefinitions(connection, {guide});
  if (found.empty() || found.front().Columns.empty()) Refuse(guide, "it has no columns");
  const SearchStatements statements =
      GenerateSearchStatements(found, SearchCriteria(""), connection.GetDialect());
  if (!statements.Guides.front().Error.empty())
    throw SearchIndexRefused(statements.Guides.front().Error);
  return found.front();
}

}  // namespace

std::string NoSearchIndexesReason(const rdo::SqlSession& connection) {
  if (SearchIndexesOf(connection) != SearchIndexKind::None) return "";
  return "This " + connection.DbmsName() +
         " database keeps no search indexes (they are kept in SQLite and PostgreSQL databases "
         "only): its searches read the guides' tables.";
}

SearchIndexBuilt BuildSearchIndex(rdo::rdoConnection& connection, int32_t guide,
                                  std::optional<long long> merge_at) {
  RequireSqlite(connection);
  rdo::Transaction transaction = BeginWriting(connection, guide);
  const long long before = SchemaVersion(connection);
  AddStateColumns(connection);
  DropIndexObjects(connection, guide);

  // Read within the transaction: the triggers made below watch these rows.
  const GuideDefinition definition = SearchableGuide(connection, guide);
  const std::string rows = GuideRows(definition);
  const std::vector<std::string> values = SearchedValues(definition, SqliteDialect());
  if (values.empty()) Refuse(guide, "it has no search column");
  std::string text = rows;
  for (const std::string& value : values) text += " " + value;
  const std::string moment = MomentDependence(text);
  if (!moment.empty()) Refuse(guide, "what it searches depends on the moment (" + moment + ")");

  // The search must be able to narrow the guide's statement with it.
  auto indexed = [&](const std::string& candidates) {
    return IndexedStatement(definition, SearchCriteria("abc"),
                            FreshCondition(guide, NamesLookedUp(rows, values), {}), candidates);
  };
  if (const std::string error = indexed("x.rowid IS NULL").Error; !error.empty())
    throw SearchIndexRefused(error);

  const Candidate candidate = ChooseCandidateTable(connection, definition, rows);
  std::string read_query = "SELECT " + candidate.qualifier + ".rowid";
  for (const std::string& value : values) read_query += ", " + value;
  const TablesRead read = TablesReadBy(connection, read_query + " " + rows);
  if (!read.unwatchable.empty())
    Refuse(guide, "it reads " + read.unwatchable + ", which no trigger can watch");

  const std::string from = definition.FROM_clause.value_or("");
  UpkeepPlan plan = PlanUpkeep(connection, from, {rows, candidate.qualifier, values}, read.tables);
  const std::vector<KeptSide> sides = PlanSides(
      connection, from, {rows, candidate.qualifier, values}, SearchedQualifiers(definition), plan);
  IndexLayout layout{rows, candidate.qualifier, values, {}};
  for (const KeptSide& side : sides) layout.sides.push_back(side.part);
  // The values its own entries hold no longer follow the side parts' columns.
  const IndexedRows indexed_rows{rows, candidate.qualifier, OwnValues(values, layout.sides)};
  if (!sides.empty()) plan = PlanUpkeep(connection, from, indexed_rows, read.tables);
  SearchIndexBuilt built{candidate.qualifier, candidate.rows, {}, {}};
  std::string unkept;
  for (const TableUpkeep& table : plan.tables) {
    if (table.kept) {
      built.kept_tables.push_back(table.name);
    } else {
      built.unkept_tables.emplace_back(table.name, table.why_not_kept);
      unkept += (unkept.empty() ? "" : ", ") + table.name;
    }
  }

  connection.Execute(CreateSearchIndexTable(guide, values.size()));
  connection.Execute(CreatePendingTable(guide));
  const std::string fill = FillSearchIndex(guide, rows, candidate.qualifier, indexed_rows.values);
  connection.Execute(fill);
  for (const std::string& settle : SettleEntries(SearchIndexTable(guide)))
    connection.Execute(settle);
  for (const KeptSide& kept : sides)
    MakePart(connection, kept, values, merge_at.value_or(kSideMergeAt));
  connection.OpenResultset(
      "EXPLAIN " +
      indexed(CandidateCondition(guide, layout, IndexMatchFor(SearchCriteria("abc")))).SQL);
  for (size_t i = 0; i < plan.tables.size(); ++i)
    for (const std::string& trigger :
         plan.tables[i].kept ? KeepTable(guide, i + 1, indexed_rows, *plan.tables[i].kept,
                                         merge_at.value_or(kMergeAt))
                             : WatchTable(guide, i + 1, plan.tables[i].name))
      connection.Execute(trigger);
  for (const char* guide_table : {"Db_Search_Guide_Tables", "Db_Search_Guide_Cols"})
    for (const std::string& trigger : WatchGuideRows(guide, guide_table))
      connection.Execute(trigger);

  connection.Execute(
      "INSERT INTO Db_Search_Index_State (DSG_ID, Is_fresh, Candidate_qualifier, Row_count, "
      "Schema_version, Fill_statement, Schema_signature, Unkept_tables, Side_parts, Side_fills) "
      "VALUES (" +
      std::to_string(guide) + ", -1, '" + QuoteApostrophes(candidate.qualifier) + "', " +
      std::to_string(candidate.rows) + ", " + std::to_string(SchemaVersion(connection)) + ", '" +
      QuoteApostrophes(fill) + "', " +
      (plan.outlives_other_schema_changes
           ? "(" + SchemaSignatureQuery(guide, PartNames(layout.sides)) + ")"
           : "''") +
      ", '" + QuoteApostrophes(unkept) + "', '" + QuoteApostrophes(SidePartsText(layout.sides)) +
      "', '" + QuoteApostrophes(SideFills(layout.sides, values)) + "')");
  KeepOtherIndexesValid(connection, guide, before);
  transaction.Commit();
  return built;
}

bool DropSearchIndex(rdo::rdoConnection& connection, int32_t guide) {
  RequireSqlite(connection);
  rdo::Transaction transaction = BeginWriting(connection, guide);
  const bool had_state = StateRowDeleted(connection);
  const bool had_objects = DropIndexKeepingOthersValid(connection, guide);
  transaction.Commit();
  return had_state || had_objects;
}

bool DropSearchIndexWithin(rdo::rdoConnection& connection, int32_t guide) {
  if (!SearchIndexStateTableExists(connection)) return DropIndexObjects(connection, guide);
  connection.Execute("DELETE FROM Db_Search_Index_State WHERE DSG_ID = " + std::to_string(guide));
  const bool had_state = StateRowDeleted(connection);
  return DropIndexKeepingOthersValid(connection, guide) || had_state;
}

}  // namespace corvanty
