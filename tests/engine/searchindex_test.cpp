// A guide's search index on the shop database: any change to what the guide
// reads, to the guide or to the schema makes the next search scan and see
// the change; a rebuilt index finds the same. Guides it cannot keep fresh
// are refused and leave the database as it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/searchengine.h"
#include "engine/searchindexbuild.h"
#include "engine/searchindexstate.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using Lines = std::vector<std::string>;

const char kIndexed[] = "index: the rows of o it finds for \"car\"";
const char kChanged[] =
    "scan: its search index is stale: rows it reads, or the guide, changed since it was built";
const char kSchemaChanged[] =
    "scan: its search index is stale: the database's schema changed since it was built";

class SearchIndex : public ::testing::Test {
 protected:
  // The sorted lines of a search of the orders guide for "car", and its path.
  static std::pair<Lines, std::string> SearchForCar(const std::string& connect) {
    std::unique_ptr<SearchRun> run = StartSearch(connect, {testing::kOrdersGuide}, "car");
    Lines lines;
    while (std::optional<SearchResult> result = run->Next())
      lines.push_back(result->ResultList + "*" + result->IDColumn);
    std::sort(lines.begin(), lines.end());
    return {lines, run->Paths().at(0).why};
  }

  void Build(int32_t guide) { BuildSearchIndex(connection_, guide); }
  IndexState State(int32_t guide) { return ReadSearchIndexState(connection_, guide).state; }

  testing::OdbcFixture odbc_;
  const std::string connect_ = testing::AddShopDatabase(odbc_, "Shop");
  const std::string file_ = odbc_.File("Shop.db");
  rdo::rdoConnection connection_ = rdo::rdoConnection::Open(connect_);
};

TEST_F(SearchIndex, EveryChangeIsSeenByTheNextSearchAndTheRebuiltIndexAgrees) {
  // Orders 10 (red car) and 12 (green van) are Carla O'Hara's, 11 (blue
  // bike) is Ann Lee's; "car" is in Carla's name and in order 10's item.
  const Lines unchanged = {"green van for Carla O'Hara*12", "red car for Carla O'Hara*10"};
  const struct {
    const char* change;
    Lines found;
    const char* why;
  } cases[] = {
      {"INSERT INTO orders VALUES (13, 1, 'race car')",
       {"green van for Carla O'Hara*12", "race car for Ann Lee*13", "red car for Carla O'Hara*10"},
       kChanged},
      {"UPDATE orders SET item = 'blue cart' WHERE id = 11",
       {"blue cart for Ann Lee*11", "green van for Carla O'Hara*12", "red car for Carla O'Hara*10"},
       kChanged},
      {"DELETE FROM orders WHERE id = 10", {"green van for Carla O'Hara*12"}, kChanged},
      {"INSERT INTO customers VALUES (5, 'Oscar Wilde', 'Cork'); "
       "INSERT INTO orders VALUES (14, 5, 'book')",
       {"book for Oscar Wilde*14", "green van for Carla O'Hara*12", "red car for Carla O'Hara*10"},
       kChanged},
      {"UPDATE customers SET name = 'Ann Carter' WHERE id = 1",
       {"blue bike for Ann Carter*11", "green van for Carla O'Hara*12",
        "red car for Carla O'Hara*10"},
       kChanged},
      {"DELETE FROM customers WHERE id = 3", {}, kChanged},
      // The guide's columns, separators and clauses.
      {"UPDATE Db_Search_Guide_Cols SET Is_search_column = 0 WHERE DSG_ID = 2 "
       "AND Column_name = 'name'",
       {"red car for Carla O'Hara*10"},
       kChanged},
      {"UPDATE Db_Search_Guide_Cols SET List_column_separator = '+'' by ''+' WHERE DSG_ID = 2 "
       "AND DSG_column_seq_no = 2",
       {"green van by Carla O'Hara*12", "red car by Carla O'Hara*10"},
       kChanged},
      {"UPDATE Db_Search_Guide_Tables SET WHERE_clause = 'WHERE c.id = o.customer_id "
       "AND o.id > 10' WHERE DSG_ID = 2",
       {"green van for Carla O'Hara*12"},
       kChanged},
      // Row ids may change with the schema (VACUUM), triggers may be gone.
      {"CREATE INDEX orders_item ON orders (item)", unchanged, kSchemaChanged},
      {"VACUUM", unchanged, kSchemaChanged},
      // Another guide's rows, and tables the guide does not read, change nothing.
      {"UPDATE Db_Search_Guide_Cols SET Show_in_list = 0 WHERE DSG_ID = 1 AND Column_name = 'city';"
       "UPDATE numbers SET label = 'car'",
       unchanged, kIndexed},
  };
  int shop = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    // A shop of its own for each change.
    const std::string name = "Shop" + std::to_string(++shop);
    const std::string connect = testing::AddShopDatabase(odbc_, name);
    rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
    BuildSearchIndex(connection, testing::kOrdersGuide);
    EXPECT_EQ(SearchForCar(connect), std::make_pair(unchanged, std::string(kIndexed)));
    testing::ExecSqlite(odbc_.File(name + ".db"), c.change);
    EXPECT_EQ(SearchForCar(connect), std::make_pair(c.found, std::string(c.why)));
    BuildSearchIndex(connection, testing::kOrdersGuide);
    EXPECT_EQ(SearchForCar(connect), std::make_pair(c.found, std::string(kIndexed)));
  }
}

TEST_F(SearchIndex, RefusesWhatItCannotKeepFreshAndLeavesTheDatabaseAsItWas) {
  testing::ExecSqlite(
      file_,
      "CREATE VIEW named AS SELECT * FROM customers WHERE name IS NOT NULL;"
      "CREATE VIRTUAL TABLE notes USING fts5(body);"
      "INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (8, 'View'), (9, 'Moment'),"
      " (10, 'Right join'), (11, 'Not searched'), (12, 'Notes');"
      "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
      " (8, 'FROM named n', NULL),"
      " (9, 'FROM customers n', 'WHERE n.id < julianday(''now'')'),"
      " (10, 'FROM orders o RIGHT JOIN customers n ON n.id = o.customer_id', NULL),"
      " (11, 'FROM customers n', NULL), (12, 'FROM notes n', NULL);"
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
      " Column_name, Is_search_column) VALUES (8, 1, 'n', 'name', -1), (9, 1, 'n', 'name', -1),"
      " (10, 1, 'n', 'name', -1), (11, 1, 'n', 'name', 0), (12, 1, 'n', 'body', -1);");
  const std::pair<int32_t, const char*> refusals[] = {
      {testing::kNoTablesRowGuide, "Error: Database Search Guide 5 has no tables defined."},
      {testing::kNothingShownGuide,
       "Error: Database Search Guide 6 shows no column in its result list."},
      {8,
       "Database Search Guide 8 cannot be indexed: none of its tables (n) gives each of its "
       "rows a row id."},
      {9,
       "Database Search Guide 9 cannot be indexed: what it searches depends on the moment "
       "('now')."},
      {10,
       "Error: Database Search Guide 10 cannot be searched through an index: its FROM clause "
       "does not begin with FROM or has a RIGHT or FULL join."},
      {11, "Database Search Guide 11 cannot be indexed: it has no search column."},
      {12,
       "Database Search Guide 12 cannot be indexed: it reads a virtual table, which no "
       "trigger can watch."},
  };
  for (const auto& [guide, message] : refusals) {
    try {
      Build(guide);
      ADD_FAILURE() << "guide " << guide << " was indexed";
    } catch (const SearchIndexRefused& refused) {
      EXPECT_EQ(refused.what(), std::string(message));
    }
  }
  // Of the index objects only the (empty) list of indexes is made.
  EXPECT_EQ(testing::SqliteColumn(file_,
                                  "SELECT name FROM sqlite_master WHERE name LIKE "
                                  "'Db_Search_Index%' UNION ALL SELECT count(*) FROM "
                                  "Db_Search_Index_State"),
            (std::vector<std::string>{"Db_Search_Index_State", "0"}));

  // A refused rebuild leaves the index it was to replace, stale as it was.
  Build(testing::kOrdersGuide);
  testing::ExecSqlite(file_,
                      "UPDATE Db_Search_Guide_Tables SET WHERE_clause = 'WHERE c.id = "
                      "o.customer_id AND random() <> 0' WHERE DSG_ID = 2");
  EXPECT_THROW(Build(testing::kOrdersGuide), SearchIndexRefused);
  EXPECT_EQ(State(testing::kOrdersGuide), IndexState::Stale);
  EXPECT_EQ(testing::SqliteColumn(file_,
                                  "SELECT rowid FROM Db_Search_Index_2 WHERE "
                                  "Db_Search_Index_2 MATCH 'car' ORDER BY rowid"),
            (std::vector<std::string>{"10", "12"}));
}

TEST_F(SearchIndex, AStatementMadeForAFreshIndexScansIfTheIndexIsStaleWhenItRuns) {
  Build(testing::kOrdersGuide);
  const PlannedSearch planned = PlanSearch(connection_, {testing::kOrdersGuide}, "car");
  ASSERT_TRUE(planned.paths.at(0).indexed);
  testing::ExecSqlite(file_, "INSERT INTO orders VALUES (13, 1, 'race car')");
  rdo::ForwardReader rows = connection_.OpenForwardOnly(planned.statements.at(0).SQL);
  Lines lines;
  while (rows.Fetch()) lines.push_back(rows.Value(0).value_or(""));
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (Lines{"green van for Carla O'Hara", "race car for Ann Lee",
                          "red car for Carla O'Hara"}));
}

TEST_F(SearchIndex, BuildingOrDroppingOneIndexKeepsTheOthersFresh) {
  Build(testing::kCustomersGuide);
  Build(testing::kOrdersGuide);
  Build(testing::kItemsGuide);
  EXPECT_TRUE(DropSearchIndex(connection_, testing::kItemsGuide));
  EXPECT_FALSE(DropSearchIndex(connection_, testing::kItemsGuide));
  EXPECT_EQ(State(testing::kCustomersGuide), IndexState::Fresh);
  EXPECT_EQ(State(testing::kOrdersGuide), IndexState::Fresh);
  EXPECT_EQ(State(testing::kItemsGuide), IndexState::Absent);
  // Nothing of the dropped index is left; a write to what it read is
  // still possible.
  EXPECT_EQ(testing::SqliteColumn(file_,
                                  "SELECT count(*) FROM sqlite_master WHERE name LIKE "
                                  "'Db_Search_Index_3%'"),
            std::vector<std::string>{"0"});
  testing::ExecSqlite(file_, "UPDATE customers SET city = 'Nice' WHERE id = 4");
  EXPECT_EQ(State(testing::kCustomersGuide), IndexState::Stale);
}

}  // namespace
}  // namespace corvanty
