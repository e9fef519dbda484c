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

const char kIndexed[] = "index: the rows of o it finds for \"car\"";
const char kChanged[] =
    "scan: its search index is stale: rows it reads, or the guide, changed since it was built";
const char kSchemaChanged[] =
    "scan: its search index is stale: the database's schema changed since it was built";

class SearchIndex : public ::testing::Test {
 protected:
  // The keys found by a search of the orders guide for "car", in order, and
  // its path.
  static std::pair<std::string, std::string> SearchForCar(const std::string& connect) {
    std::unique_ptr<SearchRun> run = StartSearch(connect, {testing::kOrdersGuide}, "car");
    std::vector<int> keys;
    while (std::optional<SearchResult> result = run->Next())
      keys.push_back(std::stoi(result->IDColumn));
    std::sort(keys.begin(), keys.end());
    std::string found;
    for (int key : keys) found += (found.empty() ? "" : " ") + std::to_string(key);
    return {found, run->Paths().at(0).why};
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
  const struct {
    const char* change;
    const char* found;
    const char* why;
  } cases[] = {
      {"INSERT INTO orders VALUES (13, 1, 'race car')", "10 12 13", kChanged},
      {"UPDATE orders SET item = 'blue cart' WHERE id = 11", "10 11 12", kChanged},
      {"DELETE FROM orders WHERE id = 10", "12", kChanged},
      {"INSERT INTO customers VALUES (6, 'Oscar', 'Cork'); INSERT INTO orders VALUES (14, 6, 'x')",
       "10 12 14", kChanged},
      {"UPDATE customers SET name = 'Ann Carter' WHERE id = 1", "10 11 12", kChanged},
      {"DELETE FROM customers WHERE id = 3", "", kChanged},
      // The guide's columns, separators and clauses.
      {"UPDATE Db_Search_Guide_Cols SET Is_search_column = 0 WHERE DSG_ID = 2 AND "
       "Column_name = 'name'",
       "10", kChanged},
      {"UPDATE Db_Search_Guide_Cols SET List_column_separator = '+'' by ''+' WHERE DSG_ID = 2",
       "10 12", kChanged},
      {"UPDATE Db_Search_Guide_Tables SET WHERE_clause = WHERE_clause || ' AND o.id > 10'", "12",
       kChanged},
      // Row ids may change with the schema (VACUUM), triggers may be gone.
      {"CREATE INDEX orders_item ON orders (item)", "10 12", kSchemaChanged},
      {"VACUUM", "10 12", kSchemaChanged},
      // Another guide's rows, and tables the guide does not read, change nothing.
      {"UPDATE Db_Search_Guide_Cols SET Show_in_list = 0 WHERE DSG_ID = 1;"
       "UPDATE numbers SET label = 'car'",
       "10 12", kIndexed},
  };
  int shop = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    // A shop of its own for each change.
    const std::string name = "Shop" + std::to_string(++shop);
    const std::string connect = testing::AddShopDatabase(odbc_, name);
    rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
    BuildSearchIndex(connection, testing::kOrdersGuide);
    EXPECT_EQ(SearchForCar(connect), std::make_pair(std::string("10 12"), std::string(kIndexed)));
    testing::ExecSqlite(odbc_.File(name + ".db"), c.change);
    EXPECT_EQ(SearchForCar(connect), std::make_pair(std::string(c.found), std::string(c.why)));
    BuildSearchIndex(connection, testing::kOrdersGuide);
    EXPECT_EQ(SearchForCar(connect), std::make_pair(std::string(c.found), std::string(kIndexed)));
  }
}

TEST_F(SearchIndex, RefusesWhatItCannotKeepFreshAndLeavesTheDatabaseAsItWas) {
  testing::ExecSqlite(file_,
                      "CREATE VIEW named AS SELECT * FROM customers WHERE name IS NOT NULL;"
                      "CREATE VIRTUAL TABLE notes USING fts5(name);"
                      "INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (8, 'Refused');");
  const char* const kCannot = "Database Search Guide 8 cannot be indexed: ";
  const struct {
    const char* from;
    const char* where;
    int searched;
    std::string refusal;
  } cases[] = {
      {"FROM named n", "", -1,
       kCannot + std::string("none of its tables (n) gives each of its rows a row id.")},
      {"FROM customers n", "WHERE n.id < julianday(''now'')", -1,
       kCannot + std::string("what it searches depends on the moment ('now').")},
      {"FROM notes n", "", -1,
       kCannot + std::string("it reads a virtual table, which no trigger can watch.")},
      {"FROM customers n", "", 0, kCannot + std::string("it has no search column.")},
      {"FROM orders o RIGHT JOIN customers n ON n.id = o.customer_id", "", -1,
       "Error: Database Search Guide 8 cannot be searched through an index: its FROM clause does "
       "not begin with FROM or has a RIGHT or FULL join."},
      {"FROM customers n", "WHERE n.id > 0 -- a note", -1,
       "Error: Database Search Guide 8 cannot be searched through an index: a comment or a ; in "
       "its clauses or columns would cut off what the index adds."},
  };
  for (const auto& c : cases) {
    testing::ExecSqlite(
        file_, std::string("DELETE FROM Db_Search_Guide_Tables WHERE DSG_ID = 8;"
                           "DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = 8;"
                           "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, "
                           "WHERE_clause) VALUES (8, '") +
                   c.from + "', '" + c.where +
                   "'); INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, "
                   "Column_qualifier, Column_name, Is_search_column) VALUES (8, 1, 'n', 'name', " +
                   std::to_string(c.searched) + ")");
    try {
      Build(8);
      ADD_FAILURE() << c.from << " was indexed";
    } catch (const SearchIndexRefused& refused) {
      EXPECT_EQ(refused.what(), c.refusal);
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
  std::vector<std::string> keys;
  while (rows.Fetch()) keys.push_back(rows.Value(1).value_or(""));
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"10", "12", "13"}));
}

}  // namespace
}  // namespace corvanty
