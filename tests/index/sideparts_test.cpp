// SPDX-License-Identifier: Apache-2.0
// The side parts of SQLite search indexes on the shop database: the
// customers guide (customers c, searching c.name and c.city) and the orders
// guide (orders o joined to customers c, searching o.item and c.name) keep
// each searched value once on the row of the table it reads, and share the
// customers' names: a write to a name notes the customer once, for both. A
// part lives while a guide reads it; what is left of one dropped by hand is
// found and repaired like the rest of the index.
#include <gtest/gtest.h>

#include <sstream>

#include "connections/rdo.h"
#include "index/searchindexbuild.h"
#include "index/searchindexremnants.h"
#include "index/searchindexstate.h"
#include "index/sidepart.h"
#include "search/searchengine.h"
#include "statements/sqlliteral.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using namespace corvanty::testing;
using Texts = std::vector<std::string>;

class SideParts : public ::testing::Test {
 protected:
  // The keys of the rows the criteria find through the guide, each followed
  // by a blank, and whether the index served.
  std::string Search(int32_t guide, const std::string& criteria) {
    const PlannedSearch planned = PlanSearch(connection_, {guide}, SearchCriteria(criteria));
    std::string keys;
    for (rdo::ForwardReader rows = connection_.OpenForwardOnly(planned.statements.at(0).SQL);
         rows.Fetch();)
      keys += rows.Value(1).value_or("") + " ";
    return keys + (planned.paths.at(0).indexed ? "(index)" : "(scan)");
  }

  // Each search through its guide finds these keys.
  struct Found {
    int32_t guide;
    const char* criteria;
    const char* keys;
  };
  void ExpectFound(std::initializer_list<Found> searches) {
    for (const Found& search : searches)
      EXPECT_EQ(Search(search.guide, search.criteria), search.keys)
          << search.guide << ": " << search.criteria;
  }

  void BuildBoth() {
    BuildSearchIndex(connection_, kCustomersGuide);
    BuildSearchIndex(connection_, kOrdersGuide);
  }

  std::string Column(const std::string& sql) { return SqliteColumn(file_, sql).at(0); }

  // The part tables the guide reads, in the order of its searched values.
  Texts Parts(int32_t guide) {
    Texts names;
    for (const SidePart& part :
         SidePartsOf(Column("SELECT Side_parts FROM Db_Search_Index_State WHERE DSG_ID = " +
                            std::to_string(guide))))
      names.push_back(part.name);
    return names;
  }

  // Every part of the database, by its FTS5 table.
  std::string AllParts() {
    return Column(
        "SELECT coalesce(group_concat(name, ' '), '') FROM (SELECT name FROM sqlite_master WHERE "
        "sql LIKE 'CREATE VIRTUAL TABLE Db_Search_Part_%' ORDER BY name)");
  }

  // The part's entries with row ids below 5, "row id:text" ("-" for NULL).
  std::string Entries(const std::string& part) {
    return Column("SELECT group_concat(rowid || ':' || coalesce(c1, '-'), ' ') FROM " + part +
                  " WHERE rowid < 5");
  }

  OdbcFixture odbc_;
  const std::string connect_ = AddShopDatabase(odbc_, "Shop");
  const std::string file_ = odbc_.File("Shop.db");
  rdo::rdoConnection connection_ = rdo::rdoConnection::Open(connect_);
};

TEST_F(SideParts, AValueIsKeptOnceOnItsRowAndSharedByTheGuidesThatSearchIt) {
  BuildBoth();
  const Texts customers = Parts(kCustomersGuide), orders = Parts(kOrdersGuide);
  ASSERT_EQ(customers.size(), 2u);
  ASSERT_EQ(orders.size(), 2u);
  // The names: one part for both guides; the cities and the items, each its own.
  EXPECT_EQ(customers[0], orders[1]);
  EXPECT_NE(customers[1], orders[0]);
  EXPECT_NE(customers[0], customers[1]);
  EXPECT_EQ(AllParts().size(), 3 * (kPartNameLength + 1) - 1);
  // A guide calling the customers otherwise shares their names too.
  ExecSqlite(file_,
             "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause) VALUES (8, 'FROM customers "
             "k'); INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, "
             "Column_qualifier, Column_name, Is_search_column, Is_key_column) VALUES (8, 1, 'k', "
             "'id', 0, -1), (8, 2, 'k', 'name', -1, 0)");
  BuildSearchIndex(connection_, 8);
  EXPECT_EQ(Parts(8), Texts{customers[0]});
  EXPECT_EQ(AllParts().size(), 3 * (kPartNameLength + 1) - 1);
  EXPECT_EQ(Search(8, "carla"), "3 (index)");
  EXPECT_EQ(Entries(customers[0]), "1:Ann Lee 2:- 3:Carla O'Hara 4:Dan Borg");
  EXPECT_EQ(Entries(customers[1]), "1:Paris 2:Oslo 3:Lyon 4:-");
  EXPECT_EQ(Column("SELECT group_concat(rowid || ':' || c1, ' ') FROM " + orders[0]),
            "10:red car 11:blue bike 12:green van");
  // The guides' own entries hold none of them.
  for (const char* own : {"Db_Search_Index_1", "Db_Search_Index_2"})
    EXPECT_EQ(
        Column(std::string("SELECT count(*) FROM ") + own + " WHERE coalesce(c1, c2) IS NOT NULL"),
        "0");
  // Carla's name gives both her orders, and herself; each alternative, its own.
  ExpectFound({{kOrdersGuide, "carla", "10 12 (index)"},
               {kCustomersGuide, "carla", "3 (index)"},
               {kOrdersGuide, "\"bike\" OR \"o'hara\"", "10 11 12 (index)"},
               {kCustomersGuide, "\"lyon\" OR \"borg\"", "3 4 (index)"}});
}

TEST_F(SideParts, ANameWrittenIsPendingOnceOnTheCustomersRowAndFoundByBothGuides) {
  BuildBoth();
  ExecSqlite(file_, "UPDATE customers SET name = 'Zed Blue' WHERE id = 1");
  for (const char* own : {"Db_Search_Index_1_pending", "Db_Search_Index_2_pending"})
    EXPECT_EQ(Column(std::string("SELECT count(*) FROM ") + own), "0");
  // Noted with the name as the write left it: a search reads no customer
  // for it.
  EXPECT_EQ(Column("SELECT group_concat(Row_id || ':' || Value) FROM " + Parts(kOrdersGuide)[1] +
                   "_pending"),
            "1:Zed Blue");
  EXPECT_EQ(Column("SELECT count(*) FROM " + Parts(kCustomersGuide)[1] + "_pending"), "0");
  // Found by the name as it is, not as its entry has it.
  ExpectFound({{kOrdersGuide, "zed", "11 (index)"},
               {kOrdersGuide, "\"blue\" AND \"zed\"", "11 (index)"},
               {kCustomersGuide, "zed", "1 (index)"},
               {kCustomersGuide, "ann", "(index)"}});
}

// A value that names a column without its qualifier cannot be read from
// NEW in a trigger: its notes read the row again, and every write goes
// through.
TEST_F(SideParts, AValueNamingAColumnAloneIsNotedFromTheRow) {
  ExecSqlite(file_,
             "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause) VALUES (9, 'FROM customers "
             "k'); INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, "
             "Column_qualifier, Column_name, Is_search_column, Is_key_column) VALUES (9, 1, 'k', "
             "'id', 0, -1), (9, 2, 'k', 'name || '' in '' || city', -1, 0)");
  BuildSearchIndex(connection_, 9);
  ASSERT_EQ(Parts(9).size(), 1u);
  ExecSqlite(file_,
             "UPDATE customers SET name = 'Zed' WHERE id = 1; INSERT INTO customers (id, name, "
             "city) VALUES (7, 'Eve', 'Rome')");
  EXPECT_EQ(
      Column("SELECT group_concat(Row_id || ':' || Value, ' ') FROM " + Parts(9)[0] + "_pending"),
      "1:Zed in Paris 7:Eve in Rome");
  ExpectFound({{9, "\"zed in paris\"", "1 (index)"}, {9, "rome", "7 (index)"}});
}

// Built by a release whose pending lists held row ids alone: the index is
// stale, says why, and is not read until built again.
TEST_F(SideParts, AnIndexWhosePartsKeepAnEarlierPendingListIsNotRead) {
  BuildBoth();
  const std::string names = Parts(kOrdersGuide)[1];
  std::istringstream fills(Column("SELECT Side_fills FROM Db_Search_Index_State WHERE DSG_ID = 2"));
  std::string earlier;
  for (std::string line; std::getline(fills, line);)
    earlier += (earlier.empty() ? "" : "\n") + line.substr(0, line.find("; CREATE TABLE "));
  ExecSqlite(file_, "DROP TABLE " + names + "_pending; CREATE TABLE " + names +
                        "_pending (Row_id INTEGER); UPDATE Db_Search_Index_State SET "
                        "Schema_version = (SELECT schema_version FROM pragma_schema_version), "
                        "Side_fills = '" +
                        QuoteApostrophes(earlier) + "' WHERE DSG_ID = 2");
  const SearchIndexState state = ReadSearchIndexState(connection_, kOrdersGuide);
  EXPECT_EQ(state.state, IndexState::Stale);
  EXPECT_EQ(state.why_stale, "the pending list of its side part " + names +
                                 " keeps no values: an earlier version of corvanty built it");
  EXPECT_EQ(Search(kOrdersGuide, "carla"), "10 12 (scan)");
  // Its stored definitions alone, as that release kept them, are not read
  // either.
  ExecSqlite(file_, "DROP TABLE " + names + "_pending; CREATE TABLE " + names +
                        "_pending (Row_id INTEGER, Value); UPDATE Db_Search_Index_State SET "
                        "Schema_version = (SELECT schema_version FROM pragma_schema_version) "
                        "WHERE DSG_ID IN (1, 2)");
  EXPECT_EQ(ReadSearchIndexState(connection_, kOrdersGuide).state, IndexState::Fresh);
  ExpectFound({{kOrdersGuide, "carla", "10 12 (scan)"}, {kCustomersGuide, "carla", "3 (index)"}});
  BuildSearchIndex(connection_, kOrdersGuide);
  EXPECT_EQ(Search(kOrdersGuide, "carla"), "10 12 (index)");
}

TEST_F(SideParts, DroppingOrRebuildingOneGuideLeavesTheOtherFreshAndExact) {
  BuildBoth();
  const Texts customers = Parts(kCustomersGuide), orders = Parts(kOrdersGuide);
  ExecSqlite(file_, "UPDATE customers SET name = 'Zed' WHERE id = 1");
  // A rebuild makes the shared part again from the rows: nothing pending,
  // the name as it is.
  BuildSearchIndex(connection_, kOrdersGuide);
  EXPECT_EQ(ReadSearchIndexState(connection_, kCustomersGuide).state, IndexState::Fresh);
  EXPECT_EQ(Column("SELECT count(*) FROM " + customers[0] + "_pending"), "0");
  EXPECT_EQ(Entries(customers[0]), "1:Zed 2:- 3:Carla O'Hara 4:Dan Borg");
  EXPECT_EQ(Search(kCustomersGuide, "zed"), "1 (index)");

  // Dropped, the orders guide takes its items' part; the names' stays.
  EXPECT_TRUE(DropSearchIndex(connection_, kOrdersGuide));
  EXPECT_EQ(ReadSearchIndexState(connection_, kCustomersGuide).state, IndexState::Fresh);
  std::string kept = customers[0] + " " + customers[1];
  if (customers[1] < customers[0]) kept = customers[1] + " " + customers[0];
  EXPECT_EQ(AllParts(), kept);
  ExecSqlite(file_, "UPDATE customers SET name = 'Yves' WHERE id = 4");
  EXPECT_EQ(Search(kCustomersGuide, "yves"), "4 (index)");
  EXPECT_EQ(Search(kCustomersGuide, "borg"), "(index)");
  EXPECT_EQ(Column("SELECT count(*) FROM sqlite_master WHERE name LIKE '" + orders[0] + "%'"), "0");
  // The last guide dropped takes them all.
  EXPECT_TRUE(DropSearchIndex(connection_, kCustomersGuide));
  EXPECT_EQ(Column("SELECT count(*) FROM sqlite_master WHERE name LIKE 'Db_Search_Part_%' OR "
                   "name LIKE 'Db_Search_Index_%' AND name <> 'Db_Search_Index_State'"),
            "0");
}

// Merged at each write: the entries of the texts that changed are made
// again, those of the same text are left as they are (the index's pages
// untouched).
TEST_F(SideParts, AMergeMakesAgainTheEntriesWhoseTextChangedOnly) {
  BuildSearchIndex(connection_, kCustomersGuide, 1);
  const Texts parts = Parts(kCustomersGuide);
  const std::string blocks =
      "SELECT count(*) || ' ' || sum(length(block)) FROM " + parts[0] + "_data";
  const std::string before = Column(blocks);
  ExecSqlite(file_, "UPDATE customers SET name = name");
  EXPECT_EQ(Column(blocks), before);
  // Only in case: another text all the same. The list is merged by the next
  // write, that of customer 4 (pending after it, or not: the same text).
  ExecSqlite(file_,
             "UPDATE customers SET name = 'ANN LEE' WHERE id = 1; UPDATE customers SET name = "
             "name WHERE id = 4");
  EXPECT_EQ(Entries(parts[0]), "1:ANN LEE 2:- 3:Carla O'Hara 4:Dan Borg");
  EXPECT_EQ(Search(kCustomersGuide, "ANN"), "1 (index)");
  // Merged inside writes of their own conflict policy: the texts are
  // rewritten all the same, and the writes go through.
  ExecSqlite(
      file_,
      "UPDATE OR IGNORE customers SET name = 'Quinn' WHERE id = 2; UPDATE OR ABORT customers "
      "SET name = 'Rae' WHERE id = 3; UPDATE OR FAIL customers SET name = name WHERE id = 1");
  EXPECT_EQ(Entries(parts[0]), "1:ANN LEE 2:Quinn 3:Rae 4:Dan Borg");
  // Only in type, in a column that keeps what it is given: 5 and 5.0 are
  // equal, their texts are not. Only in case, in a column whose collation
  // ignores it: 'x' and 'X' are equal, their texts are not.
  ExecSqlite(file_,
             "CREATE TABLE tags (id INTEGER PRIMARY KEY, label COLLATE NOCASE); INSERT INTO tags "
             "VALUES (1, 5), "
             "(2, 'x'); INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause) VALUES (8, "
             "'FROM tags t'); INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, "
             "Column_qualifier, Column_name, Is_search_column, Is_key_column) VALUES (8, 1, 't', "
             "'id', 0, -1), (8, 2, 't', 'label', -1, 0)");
  BuildSearchIndex(connection_, 8, 1);
  ExecSqlite(file_,
             "UPDATE tags SET label = 5.0 WHERE id = 1; UPDATE tags SET label = 'X' WHERE id = 2; "
             "UPDATE tags SET label = label WHERE id = 1");
  EXPECT_EQ(Entries(Parts(8).at(0)), "1:5.0 2:X");
}

// Its schema changed, a guide's index stays valid while its own objects and
// its parts' are as they were built.
TEST_F(SideParts, ATriggerOfASharedPartDroppedByHandMakesBothGuidesScan) {
  BuildBoth();
  ExecSqlite(file_, "CREATE TABLE unrelated (x)");
  EXPECT_EQ(ReadSearchIndexState(connection_, kOrdersGuide).state, IndexState::Fresh);
  ExecSqlite(file_, "DROP TRIGGER " + Parts(kOrdersGuide)[1] + "_update");
  for (int32_t guide : {kCustomersGuide, kOrdersGuide})
    EXPECT_EQ(ReadSearchIndexState(connection_, guide).state, IndexState::Stale) << guide;
  ExecSqlite(file_, "UPDATE customers SET name = 'Zed' WHERE id = 1");
  EXPECT_EQ(Search(kOrdersGuide, "zed"), "11 (scan)");
  EXPECT_EQ(Search(kCustomersGuide, "zed"), "1 (scan)");
}

TEST_F(SideParts, ASidePartDroppedByHandIsNamedAndItsDropLetsTheWritesThrough) {
  BuildSearchIndex(connection_, kOrdersGuide);
  const std::string names = Parts(kOrdersGuide)[1];
  ExecSqlite(file_, "DROP TABLE " + names + "_pending");
  const std::vector<IndexRemnant> remnants = FindIndexRemnants(connection_);
  ASSERT_EQ(remnants.size(), 1u);
  EXPECT_EQ(remnants[0].what, "its search index lacks its table " + names + "_pending");
  EXPECT_EQ(remnants[0].failing, Texts{"customers"});
  EXPECT_THROW(ExecSqlite(file_, "UPDATE customers SET name = 'Zed' WHERE id = 1"), std::exception);
  EXPECT_TRUE(DropSearchIndex(connection_, kOrdersGuide));
  ExecSqlite(file_, "UPDATE customers SET name = 'Zed' WHERE id = 1");
  EXPECT_EQ(AllParts(), "");
  EXPECT_EQ(Column("SELECT count(*) FROM sqlite_master WHERE name LIKE 'Db_Search_Index_2%' OR "
                   "name LIKE '" +
                   names + "%'"),
            "0");
}

}  // namespace
}  // namespace corvanty
