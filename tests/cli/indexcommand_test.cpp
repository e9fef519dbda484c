// SPDX-License-Identifier: Apache-2.0
// corvanty index and search --explain on the shop database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <future>

#include "support/corvantycli.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using testing::CommandResult;
using ::testing::MatchesRegex;

class IndexCommand : public ::testing::Test {
 protected:
  IndexCommand() {
    testing::AddShopDatabase(cli_.Odbc(), "Shop");
    cli_.Succeed({"add-connection", "Shop", "admin"});
  }
  // The number of triggers in the shop database.
  std::string Triggers() const {
    return testing::SqliteColumn(cli_.File("Shop.db"),
                                 "SELECT count(*) FROM sqlite_master WHERE type = 'trigger'")[0];
  }
  testing::CorvantyCli cli_;
};

TEST_F(IndexCommand, BuildsListsServesAndDropsAnIndex) {
  EXPECT_THAT(cli_.Succeed({"index", "Orders by customer's name"}),
              MatchesRegex("Built the search index of Database Search Guide 2: 3 rows, row ids of "
                           "o, [0-9]+ bytes, [0-9.]+ s\\. Changes to customers, orders keep it up "
                           "to date; changes to the guide mark it stale\\.\n"));
  EXPECT_THAT(
      cli_.Succeed({"index"}),
      MatchesRegex("1\tabsent\t-\t-\tCustomers\n2\tfresh\t3\t[1-9][0-9]*\tOrders by "
                   "customer's name\n3\tabsent\t-\t-\tItems\n.*7\tabsent\t-\t-\tOverflow\n"));

  CommandResult found = cli_.Run({"search", "2", "car", "--explain"});
  const std::string red = "red car for Carla O'Hara*10*2\n",
                    green = "green van for Carla O'Hara*12*2\n";
  EXPECT_TRUE(found.out == red + green || found.out == green + red)
      << found.out;  // in no set order
  EXPECT_THAT(found.err, MatchesRegex("Database Search Guide 2: index: the rows of o it finds "
                                      "for \"car\"\n2 results in [0-9.]+ ms\n"));
  // sql prints the statement that search ran: through the index.
  const CommandResult statement = cli_.Run({"sql", "2", "car", "--explain"});
  EXPECT_THAT(statement.out,
              MatchesRegex("SELECT .*Db_Search_Index_2 MATCH '\"car\"'.* UNION ALL SELECT .*\n"));
  EXPECT_EQ(statement.err, "Database Search Guide 2: index: the rows of o it finds for \"car\"\n");
  EXPECT_EQ(cli_.Run({"index", "6"}).err,  // a refusal is a reported failure
            "corvanty index: Error: Database Search Guide 6 shows no column in its result list.\n");

  // Dropping one index leaves the others fresh, their triggers in place.
  cli_.Succeed({"index", "1"});
  EXPECT_EQ(cli_.Succeed({"index", "2", "--drop"}),
            "Dropped the search index of Database Search Guide 2.\n");
  EXPECT_EQ(cli_.Succeed({"index", "2", "--drop"}),
            "Database Search Guide 2 has no search index.\n");
  EXPECT_THAT(cli_.Succeed({"index"}),
              MatchesRegex("1\tfresh\t5\t[1-9][0-9]*\tCustomers\n"
                           "2\tabsent\t-\t-\tOrders by customer's name\n.*"));
  // Eight on customers, eight for each of its side parts (names, cities; the
  // names' part survives guide 2, which shared it), three on each guide table.
  EXPECT_EQ(Triggers(), "30");
}

// A table read in a subquery cannot be kept up to date with: its changes
// mark the index stale, and the build and the explanation say so.
TEST_F(IndexCommand, SaysWhichTablesChangesMarkStale) {
  const std::string file = cli_.File("Shop.db");
  testing::ExecSqlite(file,
                      "UPDATE Db_Search_Guide_Tables SET WHERE_clause = 'WHERE o.customer_id IN "
                      "(SELECT id FROM customers WHERE city > ''M'')' WHERE DSG_ID = 3");
  EXPECT_THAT(cli_.Succeed({"index", "3"}),
              MatchesRegex(".* s\\. Changes to orders keep it up to date; changes to customers "
                           "\\(read other than as a table of its FROM clause\\) or to the guide "
                           "mark it stale\\.\n"));
  EXPECT_THAT(cli_.Run({"search", "3", "car", "--explain"}).err,
              MatchesRegex("Database Search Guide 3: index: the rows of o it finds for \"car\" "
                           "\\(it cannot keep up to date with changes to customers: they mark it "
                           "stale\\)\n.*"));
  testing::ExecSqlite(file, "UPDATE orders SET item = 'blue car' WHERE id = 11");
  EXPECT_THAT(cli_.Run({"search", "3", "car", "--explain"}).err,
              MatchesRegex("Database Search Guide 3: index: .*\n1 result .*"));
  testing::ExecSqlite(file, "UPDATE customers SET city = 'Rome' WHERE id = 3");
  EXPECT_THAT(cli_.Run({"search", "3", "car", "--explain"}).err,
              MatchesRegex("Database Search Guide 3: scan: its search index is stale: the guide, "
                           "or rows of customers \\(which it cannot keep up to date with\\), "
                           "changed since it was built\n2 results .*"));
}

TEST_F(IndexCommand, DeleteGuideAsksThenDeletesTheGuideWithItsIndex) {
  cli_.Succeed({"index", "1"});
  cli_.Succeed({"index", "2"});
  const std::string kAsked =
      "Delete Database Search Guide 2 (Orders by customer's name) with its tables, columns and "
      "search index?\n";
  // {the command, "exit code|standard output|standard error"}
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"delete-guide", "2"},
       "1||" + kAsked + "(answered No; pass --yes to answer Yes)\nNothing was deleted.\n"},
      {{"--yes", "delete-guide", "Orders by customer's name"},
       "0|Deleted Database Search Guide 2 (Orders by customer's name) and its search index.\n|" +
           kAsked + "(answered Yes)\n"},
      {{"delete-guide", "2", "--yes"}, "1||[[There is no Database Search Guide 2.]]\n"},
      {{"delete-guide", "3", "--yes"}, "0|Deleted Database Search Guide 3 (Items).\n|"},
  };
  for (const auto& [args, outcome] : rows)
    EXPECT_EQ(cli_.Outcome(args), outcome) << ::testing::PrintToString(args);
  EXPECT_THAT(cli_.Succeed({"index"}), MatchesRegex("1\tfresh\t5\t[1-9][0-9]*\tCustomers\n"
                                                    "4\tabsent\t-\t-\tBroken\n.*"));
  EXPECT_EQ(Triggers(), "30");  // guide 1's only, its side parts' with them
}

// A database that cannot serve a command is named, with the cause in plain
// words before the driver's.
TEST_F(IndexCommand, ADatabaseReadOnlyOrWithoutGuideTablesIsNamedWithItsCause) {
  cli_.Succeed({"index", "2"});
  const std::string shop = cli_.File("Shop.db");
  cli_.Odbc().AddDataSource("Frozen", "file:" + shop + "?immutable=1", {{"NoCreat", "1"}});
  cli_.Odbc().AddDataSource("ReadOnly", "file:" + shop + "?mode=ro", {{"NoCreat", "1"}});
  testing::ExecSqlite(cli_.File("plain.db"), "CREATE TABLE x (a INT)");
  cli_.AddDataSource("Plain", cli_.File("plain.db"));
  for (const char* source : {"Frozen", "ReadOnly", "Plain"})
    cli_.Succeed({"add-connection", source, "u"});
  const std::string kReadOnly =
      "' cannot be written: it is read-only or immutable. [[[SQLite]attempt to write a readonly "
      "database (8)]]\n";
  const std::string kNoGuides =
      "1||The database of data source 'Plain' is not a guide database: it lacks the Database "
      "Search Guide tables (corvanty check builds them). [[[SQLite]no such table: "
      "Db_Search_Guides (1)]]\n";
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"index", "2", "--connection", "2"}, "1||The database of data source 'Frozen" + kReadOnly},
      {{"index", "2", "--drop", "--connection", "2"},
       "1||The database of data source 'Frozen" + kReadOnly},
      {{"index", "1", "--connection", "3"}, "1||The database of data source 'ReadOnly" + kReadOnly},
      {{"delete-guide", "2", "--yes", "--connection", "3"},
       "1||The database of data source 'ReadOnly" + kReadOnly},
      {{"guides", "--connection", "4"}, kNoGuides},
      {{"sql", "1", "x", "--connection", "4"}, kNoGuides},
      {{"search", "1", "x", "--connection", "4"}, kNoGuides},
      {{"index", "1", "--connection", "4"}, kNoGuides},
      {{"delete-guide", "1", "--connection", "4"}, kNoGuides},
      // A guide whose table is gone: the cause, as its search gives it.
      {{"index", "4"}, "1||[[[SQLite]no such table: no_such_table (1)]]\n"},
      {{"search", "4", "x"}, "1||[[[SQLite]no such table: no_such_table (1)]]\n"},
  };
  for (const auto& [args, outcome] : rows)
    EXPECT_EQ(cli_.Outcome(args), outcome) << ::testing::PrintToString(args);
  EXPECT_THAT(cli_.Succeed({"index"}), MatchesRegex("1\tabsent.*\n2\tfresh\t3\t.*"));
}

// Parts of an index dropped by hand: check and index name what is left,
// the writes it makes fail and the one command that repairs it, which
// leaves the shop's rows as they were and the other index as it was.
TEST_F(IndexCommand, AnIndexLeftIncompleteByHandIsNamedWithItsRepair) {
  cli_.Succeed({"index", "1"});
  cli_.Succeed({"index", "2"});
  const std::string file = cli_.File("Shop.db");
  // An order moved to another customer: the guide's own entries follow it.
  const std::string kWrite = "UPDATE orders SET customer_id = 1 WHERE id = 11";
  const std::string kRows =
      "SELECT (SELECT group_concat(id || item, '|') FROM orders) || (SELECT group_concat(id || "
      "coalesce(name, '') || coalesce(city, ''), '|') FROM customers)";
  auto repair = [](const std::string& guide, const std::string& what) {
    return "Database Search Guide " + guide + ": its search index lacks " + what +
           ". Repair: corvanty index " + guide +
           " --drop (removes what is left of the index, no other data), then corvanty index " +
           guide + " to build it again.\n";
  };
  testing::ExecSqlite(file, "DROP TABLE Db_Search_Index_2");
  EXPECT_THROW(testing::ExecSqlite(file, kWrite), std::runtime_error);
  const std::string kTableGone = repair(
      "2",
      "its table Db_Search_Index_2; every write to Db_Search_Guide_Cols, Db_Search_Guide_Tables, "
      "customers, orders fails");
  EXPECT_EQ(cli_.Outcome({"check"}), "1||" + kTableGone);
  const CommandResult listed = cli_.Run({"index"});
  EXPECT_EQ(std::to_string(listed.exit_code) + listed.err, "1" + kTableGone);
  EXPECT_THAT(listed.out, MatchesRegex("1\tfresh\t.*\n2\tstale\t.*"));

  const std::vector<std::string> rows = testing::SqliteColumn(file, kRows);
  EXPECT_EQ(cli_.Succeed({"index", "2", "--drop"}),
            "Dropped the search index of Database Search Guide 2.\n");
  EXPECT_EQ(testing::SqliteColumn(file, kRows), rows);
  testing::ExecSqlite(file, kWrite);
  EXPECT_EQ(cli_.Outcome({"check"}), "0||");
  EXPECT_THAT(cli_.Succeed({"index"}), MatchesRegex("1\tfresh\t.*\n2\tabsent\t.*"));

  // The pending list gone fails every write to a table the index keeps up
  // to date with; an index table whose triggers are gone fails none, but
  // is kept up to date no more.
  testing::ExecSqlite(file, "DROP TABLE Db_Search_Index_1_pending");
  EXPECT_THAT(cli_.Run({"index"}).out, MatchesRegex("1\tstale\t.*"));
  EXPECT_EQ(cli_.Outcome({"check"}),
            "1||" + repair("1",
                           "its table Db_Search_Index_1_pending; every write to "
                           "Db_Search_Guide_Cols, Db_Search_Guide_Tables, customers fails"));
  cli_.Succeed({"index", "1", "--drop"});
  cli_.Succeed({"index", "1"});
  EXPECT_EQ(cli_.Outcome({"check"}), "0||");
  std::string drop;
  for (const std::string& trigger :
       testing::SqliteColumn(file, "SELECT name FROM sqlite_master WHERE type = 'trigger'"))
    drop += "DROP TRIGGER " + trigger + ";";
  testing::ExecSqlite(file, drop);
  EXPECT_THAT(cli_.Outcome({"check"}),
              MatchesRegex("1\\|\\|Database Search Guide 1: its search index lacks its triggers, "
                           "the triggers of Db_Search_Part_[0-9a-f]{16}, the triggers of "
                           "Db_Search_Part_[0-9a-f]{16}\\. Repair: .*"));
}

TEST_F(IndexCommand, TwoBuildsAtOnceLeaveOneSoundFreshIndex) {
  auto build = [this] { return cli_.Run({"index", "2"}); };
  std::future<CommandResult> first = std::async(std::launch::async, build);
  std::future<CommandResult> second = std::async(std::launch::async, build);
  EXPECT_EQ(std::to_string(first.get().exit_code) + std::to_string(second.get().exit_code), "00");
  EXPECT_EQ(testing::SqliteColumn(cli_.File("Shop.db"), "PRAGMA integrity_check")[0], "ok");
  // Eight on customers and orders, eight more for each side part (the
  // orders' items, the customers' names), three on each guide table.
  EXPECT_EQ(Triggers(), "38");
  EXPECT_THAT(cli_.Succeed({"index"}), MatchesRegex("1\tabsent.*\n2\tfresh\t3\t.*"));
}

}  // namespace
}  // namespace corvanty
