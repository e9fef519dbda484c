// Whatever a data source name, login or password holds, it stays a
// value: it never picks the database that is opened.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/corvantycli.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using Texts = std::vector<std::string>;

class HostileValues : public ::testing::Test {
 protected:
  HostileValues() {
    testing::AddShopDatabase(cli_.Odbc(), "Good");
    testing::ExecSqlite(other_, "CREATE TABLE marker (x INT)");
  }
  testing::CorvantyCli cli_;
  const std::string other_ = cli_.File("other.db"), fresh_ = cli_.File("fresh.db");
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
    EXPECT_EQ(cli_.Run({"check", "--connection", std::to_string(++number)}).exit_code, c.exit_code);
    EXPECT_FALSE(std::filesystem::exists(fresh_));
    EXPECT_EQ(testing::SqliteObjects(other_, "table"), Texts{"marker"});
  }
}

}  // namespace
}  // namespace corvanty
