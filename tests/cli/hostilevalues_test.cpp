// Whatever a stored name, login, password or result text holds, it stays a
// value: it never picks the database that is opened, never breaks the JSON
// output and never reaches the terminal as a control character.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/searchguidetables.h"
#include "support/corvantycli.h"
#include "support/databasetest.h"
#include "support/odbcfixture.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using Texts = std::vector<std::string>;

class HostileValues : public ::testing::Test {
 protected:
  HostileValues() {
    testing::ExecSqlite(good_, "CREATE TABLE marker (x INT)");
    testing::ExecSqlite(other_, "CREATE TABLE marker (x INT)");
    cli_.AddDataSource("Good", good_);
  }
  testing::CorvantyCli cli_;
  const std::string good_ = cli_.File("good.db"), other_ = cli_.File("other.db");
  const std::string fresh_ = cli_.File("fresh.db");
};

TEST_F(HostileValues, NoDataSourceNameLoginOrPasswordOpensOrCreatesAnotherDatabase) {
  const std::string driver = testing::SqliteOdbcDriverPath();
  struct Case {
    std::string dsn, uid, pwd;
    int exit_code;  // 0: Good's own database is opened, 1: refused
  };
  const Case cases[] = {
      {"Good", "x;Database=" + other_ + ";", "", 0},
      {"Good", "demo;NoCreat=0;Database=" + fresh_ + ";", "", 0},
      {"Good", "u", "x;Database=" + other_ + ";", 0},
      {"Good", "u", "}{;NoCreat=0;Database=" + fresh_, 0},
      {"Good", "u", "p;Driver=" + driver + ";Database=" + fresh_ + ";NoCreat=0", 0},
      {"Good;Database=" + fresh_ + ";NoCreat=0", "u", "", 1},
      {"Good;Driver=" + driver + ";Database=" + other_, "u", "", 1},
      {"{Good};Database=" + other_, "u", "", 1},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dsn + " / " + c.uid + " / " + c.pwd);
    cli_.Succeed({"add-connection", "--", c.dsn, c.uid, c.pwd});
    CommandResult result = cli_.Run({"check", "--connection", std::to_string(++number)});
    EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
    EXPECT_FALSE(fs::exists(fresh_));
    EXPECT_EQ(testing::SqliteObjects(other_, "table"), Texts{"marker"});
  }
  EXPECT_EQ(testing::SqliteObjects(good_, "table").size(), 6u);  // marker and the guide tables
}

TEST_F(HostileValues, StoredBytesThatAreNoUtf8ComeOutAsValidJsonAndControlsEscaped) {
  // caf, a lone E9, a blank, U+0001, a quote, x, a backslash, a line feed.
  testing::ExecSqlite(
      good_,
      testing::GuideTablesSql(
          {kSearchGuideTableBuildOrder.begin(), kSearchGuideTableBuildOrder.end()}) +
          "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT);"
          "INSERT INTO t VALUES (1, CAST(X'636166E9200122785C0A' AS TEXT));"
          "INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (1, 'Bytes'),"
          " (2, 'Bell' || char(7) || char(27) || '[2J');"
          "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause)"
          " VALUES (1, 'FROM t t', 'WHERE ');"
          "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
          " Column_name, Show_in_list, Is_search_column, List_column_separator, Conv_required,"
          " Conversion_expression, Is_key_column) VALUES"
          " (1, 1, 't', 'id', 0, 0, '+'', ''+', 0, '(none)', -1),"
          " (1, 2, 't', 'name', -1, -1, '+'', ''+', 0, '(none)', 0);");
  cli_.Succeed({"add-connection", "Good", "tab\there\x1b]0;title\x07"});
  EXPECT_EQ(cli_.Succeed({"search", "Bytes", "caf", "--format", "json"}),
            "[\n  {\"ResultList\": \"caf\xEF\xBF\xBD \\u0001\\\"x\\\\\\n\", \"IDColumn\": \"1\", "
            "\"DSG_ID\": 1}\n]\n");
  EXPECT_EQ(cli_.Succeed({"connections"}), "1\tGood\ttab\\x09here\\x1b]0;title\\x07\n");
  EXPECT_EQ(cli_.Succeed({"guides"}), "2\tBell\\x07\\x1b[2J\n1\tBytes\n");
  CommandResult unknown = cli_.Run({"search", "No\x1b[2J", "x"});
  EXPECT_EQ(unknown.exit_code, 1);
  EXPECT_EQ(unknown.err, "[[There is no Database Search Guide named 'No\\x1b[2J'.]]\n");
}

}  // namespace
}  // namespace corvanty
