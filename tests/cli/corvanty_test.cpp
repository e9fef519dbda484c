// SPDX-License-Identifier: Apache-2.0
// The corvanty command run as a child process, each test with its own
// registry, ODBC configuration and data folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "connections/connectionstore.h"
#include "connections/registrystore.h"
#include "support/corvantycli.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"
#include "support/testdata.h"

namespace corvanty {
namespace {

using testing::CommandResult;
using ::testing::HasSubstr;
using Texts = std::vector<std::string>;

class Corvanty : public ::testing::Test {
 protected:
  testing::CorvantyCli cli_;
};

TEST_F(Corvanty, ConnectionsAreAddedUnderTheNextNumberRemovedWithTheLaterOnesMovingDownAndChecked) {
  for (const char* source : {"A", "B", "C"})
    cli_.Succeed({"add-connection", source, "u", "s3cret;x"});
  EXPECT_EQ(cli_.Succeed({"add-connection", "D", "v"}), "4\n");
  EXPECT_EQ(cli_.Outcome({"remove-connection", "2"}), "0|Connections 3 to 4 are now 2 to 3.\n|");
  EXPECT_EQ(cli_.Succeed({"connections"}), "1\tA\tu\n2\tC\tu\n3\tD\tv\n");
  EXPECT_EQ(cli_.Outcome({"remove-connection", "4"}), "1||There is no saved connection 4.\n");
  EXPECT_EQ(cli_.Succeed({"remove-connection", "2"}), "Connection 3 is now connection 2.\n");

  // --registry names another store for this run only.
  const std::string other = cli_.File("other.db");
  EXPECT_EQ(cli_.Succeed({"--registry", other, "add-connection", "Hr", "boss", "pw"}), "1\n");
  EXPECT_EQ(cli_.Succeed({"--registry", other, "connections"}), "1\tHr\tboss\n");
  EXPECT_EQ(cli_.Succeed({"connections"}), "1\tA\tu\n2\tD\tv\n");

  // Every command that works on a database says so when there is none.
  const Texts on_a_database[] = {{"check"},         {"guides"},
                                 {"sql", "1", "x"}, {"search", "1", "x"},
                                 {"index"},         {"delete-guide", "1"}};
  for (Texts words : on_a_database) {
    const std::string command = words[0];
    words.insert(words.end(), {"--connection", "9"});
    EXPECT_EQ(cli_.Outcome(words),
              "1||No connection is active. There is no saved connection 9 (see corvanty "
              "connections, corvanty add-connection).\n")
        << command;
  }
}

// Stored bytes that are no UTF-8 come out as valid JSON; control characters
// are shown escaped.
TEST_F(Corvanty, GuidesStatementsAndSearchesAreListedByGuideNameOrNumberInEachFormat) {
  AddShopDatabase(cli_.Odbc(), "Shop");
  // caf, a lone E9, a blank, U+0001, a quote, x, a backslash, a line feed.
  testing::ExecSqlite(
      cli_.File("Shop.db"),
      "UPDATE orders SET item = CAST(X'636166E9200122785C0A' AS TEXT) WHERE id = 11;"
      "UPDATE Db_Search_Guides SET DSG_name = 'Bell' || char(7) || char(27) || "
      "'[2J' WHERE DSG_ID = 5;");
  cli_.Succeed({"add-connection", "Shop", "tab\there\x1b]0;title\x07"});
  // {the command, "exit code|standard output|standard error"}
  const std::pair<Texts, std::string> rows[] = {
      {{"connections"}, "0|1\tShop\ttab\\x09here\\x1b]0;title\\x07\n|"},
      {{"guides"},  // in the server's order, here that of the names' index
       "0|5\tBell\\x07\\x1b[2J\n4\tBroken\n1\tCustomers\n3\tItems\n6\tNothing shown\n"
       "2\tOrders by customer's name\n7\tOverflow\n|"},
      {{"index"},  // names shown as guides shows them
       "0|1\tabsent\t-\t-\tCustomers\n2\tabsent\t-\t-\tOrders by customer's name\n"
       "3\tabsent\t-\t-\tItems\n4\tabsent\t-\t-\tBroken\n5\tabsent\t-\t-\tBell\\x07\\x1b[2J\n"
       "6\tabsent\t-\t-\tNothing shown\n7\tabsent\t-\t-\tOverflow\n|"},
      {{"sql", "3", "car", "--dialect", "mssql"},
       "0|SELECT CONVERT(varchar(200),o.item) ResultList, 0 IDColumn, 3 DSG_ID  FROM orders o  "
       "WHERE  (o.item LIKE '%car%')  \n|"},
      {{"search", "Orders by customer's name", "green"}, "0|green van for Carla O'Hara*12*2\n|"},
      {{"search", "1", "Lyon", "--format", "tsv"}, "0|Carla O'Hara, Lyon\t3\t1\n|"},
      {{"search", "Items", "r", "--format", "json"},
       "0|[\n  {\"ResultList\": \"red car\", \"IDColumn\": \"0\", \"DSG_ID\": 3},\n"
       "  {\"ResultList\": \"green van\", \"IDColumn\": \"0\", \"DSG_ID\": 3}\n]\n|"},
      {{"search", "Items", "caf", "--format", "json"},
       "0|[\n  {\"ResultList\": \"caf\xEF\xBF\xBD \\u0001\\\"x\\\\\\n\", \"IDColumn\": \"0\", "
       "\"DSG_ID\": 3}\n]\n|"},
      {{"search", "No\x1b[2J", "x"},
       "1||[[There is no Database Search Guide named 'No\\x1b[2J'.]]\n"},
      {{"search", "1", "Lyon", "--in-database"},
       "1||[[Only a PostgreSQL database has a search service to search in; this one is on "
       "SQLite: search without --in-database.]]\n"},
  };
  for (const auto& [args, outcome] : rows)
    EXPECT_EQ(cli_.Outcome(args), outcome) << ::testing::PrintToString(args);
  EXPECT_THAT(cli_.Outcome({"search", "Broken", "x"}), HasSubstr("no such table: no_such_table"));
  // A guide without columns yet is named as the test dialog names it; a
  // number that is no guide stays invalid.
  testing::ExecSqlite(cli_.File("Shop.db"),
                      "INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (8, 'Unfinished')");
  EXPECT_EQ(cli_.Outcome({"search", "Unfinished", "x"}),
            "1||[[The Database Search Guide 'Unfinished' has no columns yet: define them in "
            "Administer > Db Search Columns.]]\n");
  EXPECT_EQ(cli_.Outcome({"search", "99", "x"}),
            "1||[[Error: Database Search Guide ID(s) invalid.]]\n");
}

TEST_F(Corvanty, TextCommandsPrintTheGivenTextsExactly) {
  // SQL Server by default; the texts themselves are compared in the engine's tests.
  EXPECT_EQ(
      cli_.Succeed({"procedure-text"}) + cli_.Succeed({"table-script", "Db_Search_Guide_SQL"}),
      testing::TestData("sqlserver/Velmorastine_Search.sql") +
          testing::TestData("sqlserver/Db_Search_Guide_SQL.sql"));
  // The SQLite text runs as printed.
  const std::string file = cli_.File("script.db");
  testing::ExecSqlite(file,
                      cli_.Succeed({"table-script", "Db_Search_Guides", "--dialect", "sqlite"}));
  EXPECT_EQ(testing::SqliteObjects(file, "index"), (Texts{"DSG_x_1", "DSG_x_2"}));
}

TEST_F(Corvanty, UsageErrorsExitWithTwoAndChangeNothingButHelpSucceeds) {
  const Texts misuses[] = {{},
                           {"frobnicate"},
                           {"--bogus", "connections"},
                           {"--registry"},
                           {"connections", "extra"},
                           {"add-connection", "OnlyDsn"},
                           {"add-connection", "Sales", ""},
                           {"remove-connection", "two"},
                           {"demo", "--rows", "12x"},
                           {"check", "--connection", "40000"},
                           {"index", "--drop"},
                           {"delete-guide"},
                           {"search", "1", "x", "--format", "xml"},
                           {"table-script", "db_search_guide_cols"},
                           {"table-script", "Db_Search_Guides", "--dialect", "oracle"}};
  for (const Texts& args : misuses) {
    CommandResult result = cli_.Run(args);
    EXPECT_EQ(std::to_string(result.exit_code) + result.out + (result.err.empty() ? "" : "+"),
              "2+")  // the reason on standard error
        << ::testing::PrintToString(args);
  }
  EXPECT_THAT(cli_.Succeed({"--help"}), HasSubstr("table-script"));
  EXPECT_EQ(cli_.Succeed({"--version"}), "corvanty 1.1.0\n");
  EXPECT_THAT(cli_.Succeed({"demo", "--rows", "abc", "--help"}),
              ::testing::StartsWith("Usage: corvanty demo"));
  EXPECT_FALSE(std::filesystem::exists(cli_.Registry()));
  EXPECT_FALSE(std::filesystem::exists(cli_.File("data")));
  // After "--" words are taken as they are, even "--help".
  EXPECT_EQ(cli_.Succeed({"add-connection", "--", "--odd", "--help"}), "1\n");
  EXPECT_EQ(cli_.Succeed({"connections"}), "1\t--odd\t--help\n");
}

// Every help text fits 80 columns and says what the options take; a
// command's help wraps its usage after the command's name.
TEST_F(Corvanty, HelpFitsEightyColumnsAndNamesTheDemosDefaultsAndRange) {
  std::vector<Texts> helps = {{"--help"}};
  std::istringstream program(cli_.Succeed({"--help"}));
  std::string line;
  while (std::getline(program, line) && line != "Commands:") continue;
  while (std::getline(program, line) && !line.empty())
    if (line.size() > 2 && line.compare(0, 2, "  ") == 0 && std::islower(line[2]))
      helps.push_back({line.substr(2, line.find(' ', 2) - 2), "--help"});
  EXPECT_EQ(helps.size(), 15u);
  for (const Texts& help : helps) {
    std::istringstream text(cli_.Succeed(help));
    for (std::string line; std::getline(text, line);)
      EXPECT_LE(line.size(), 80u) << help[0] << ": " << line;
  }
  EXPECT_EQ(cli_.Succeed({"demo", "--help"}),
            "Usage: corvanty demo [--rows N] [--dir DIR]\n\n"
            "create the demo database, its ODBC data source CorvantyDemo and a saved\n"
            "connection; --rows N: how many order lines it has (default 20000, at least 10,\n"
            "at most 100000000); --dir DIR: the folder it goes in (default\n"
            "$XDG_DATA_HOME/corvanty, else ~/.local/share/corvanty)\n");
  EXPECT_EQ(cli_.Succeed({"search", "--help"}).substr(0, 133),
            "Usage: corvanty search GUIDE CRITERIA [--connection N] [--format lines|tsv|json]\n"
            "                       [--explain] [--in-database]\n\n");
  for (const char* rows : {"9", "100000001"})
    EXPECT_EQ(cli_.Outcome({"demo", "--rows", rows}),
              "2||corvanty demo: --rows takes a whole number from 10 to 100000000\n");
}

// Whatever a data source name, login or password holds, it stays a value: it
// never picks the database that is opened.
TEST_F(Corvanty, NoDataSourceNameLoginOrPasswordOpensOrCreatesAnotherDatabase) {
  testing::AddShopDatabase(cli_.Odbc(), "Good");
  const std::string other = cli_.File("other.db"), fresh = cli_.File("fresh.db");
  testing::ExecSqlite(other, "CREATE TABLE marker (x INT)");
  const std::string driver = testing::SqliteOdbcDriverPath();
  struct Case {
    std::string dsn, uid, pwd;
    int exit_code;  // 0: Good's own database is opened, 1: refused
  };
  const Case cases[] = {
      {"Good", "x;Database=" + other + ";", "", 0},
      {"Good", "demo;NoCreat=0;Database=" + fresh + ";", "", 0},
      {"Good", "u", "x;Database=" + other + ";", 0},
      {"Good", "u", "}{;NoCreat=0;Database=" + fresh, 0},
      {"Good", "u", "p;Driver=" + driver + ";Database=" + fresh + ";NoCreat=0", 0},
      {"Good;Database=" + fresh + ";NoCreat=0", "u", "", 1},
      {"Good;Driver=" + driver + ";Database=" + other, "u", "", 1},
      {"{Good};Database=" + other, "u", "", 1},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dsn + " / " + c.uid + " / " + c.pwd);
    ++number;
    if (c.dsn.size() > 32) {  // refused by add-connection now; saved as older versions did
      SetRegistryPathOverride(cli_.Registry());
      ASSERT_EQ(basCorvantyAdmin::SaveNewConnection(c.dsn, c.uid, c.pwd), number);
      SetRegistryPathOverride("");
    } else {
      cli_.Succeed({"add-connection", "--", c.dsn, c.uid, c.pwd});
    }
    EXPECT_EQ(cli_.Run({"check", "--connection", std::to_string(number)}).exit_code, c.exit_code);
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(testing::SqliteObjects(other, "table"), Texts{"marker"});
  }
}

}  // namespace
}  // namespace corvanty
