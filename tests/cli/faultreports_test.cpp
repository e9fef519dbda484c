// SPDX-License-Identifier: Apache-2.0
// A registry, odbc.ini or database file that cannot serve is reported by
// name with its cause, the command fails, and the file is left as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "connections/sqlitedatabase.h"
#include "support/corvantycli.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using Words = std::vector<std::string>;

class FaultReports : public ::testing::Test {
 protected:
  // How a command fails for a registry that cannot be read or written.
  std::string Report(const std::string& command, const char* verb, const std::string& cause) {
    return "1||corvanty " + command + ": The registry " + cli_.Registry() + " cannot be " + verb +
           ": " + cause + ".\n";
  }
  testing::CorvantyCli cli_;
};

TEST_F(FaultReports, ARegistryThatCannotBeReadIsNamedWithItsCauseAndLeftAsItWas) {
  for (int i = 1; i <= 30; ++i) cli_.Succeed({"add-connection", "S" + std::to_string(i), "u"});
  const std::string registry = cli_.Registry(), whole = testing::FileBytes(registry);
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { std::ofstream(registry) << whole.substr(0, 8192); },
       "it is damaged or cut short (database disk image is malformed)"},
      {[&] { std::ofstream(registry) << std::string(4096, 'x') + whole.substr(4096); },
       "it is not a database"},
      {[&] { testing::ExecSqlite(registry, "CREATE TABLE orders (id INT)"); },
       "it is a database of another kind, not a registry"},
      {[&] { fs::create_directory(registry); }, "it is a folder"},
  };
  for (const auto& [make, cause] : cases) {
    fs::remove_all(registry);
    make();
    const std::string before = testing::FileBytes(registry);
    for (const Words& command :
         {Words{"connections"}, Words{"check"}, Words{"add-connection", "A", "u"}})
      EXPECT_EQ(cli_.Outcome(command),
                Report(command[0], command.size() > 1 ? "written" : "read", cause));
    EXPECT_TRUE(testing::FileBytes(registry) == before) << "changed: " << cause;
  }
  fs::remove_all(registry);
  cli_.Succeed({"add-connection", "A", "u"});
  ASSERT_EQ(chmod(registry.c_str(), 0400), 0);
  EXPECT_EQ(cli_.Outcome({"add-connection", "B", "u"}),
            Report("add-connection", "written", "it is read-only"));
  EXPECT_EQ(cli_.Succeed({"connections"}), "1\tA\tu\n");
}

// Reader and writer wait a few seconds for the lock, then give up and say so.
TEST_F(FaultReports, ARegistryLockedByAnotherProcessIsReportedByReadersAndWriters) {
  cli_.Succeed({"add-connection", "A", "u"});
  std::optional<sqlite::Database> holder(std::in_place, cli_.Registry(),
                                         sqlite::Database::Mode::kReadWrite);
  holder->Exec("BEGIN EXCLUSIVE");
  std::string reader;
  std::thread reading([&] { reader = cli_.Outcome({"connections"}); });
  std::string writer = cli_.Outcome({"add-connection", "B", "u"});
  reading.join();
  holder.reset();
  EXPECT_EQ(reader, Report("connections", "read", "another process holds it locked"));
  EXPECT_EQ(writer, Report("add-connection", "written", "another process holds it locked"));
  EXPECT_EQ(cli_.Succeed({"connections"}), "1\tA\tu\n");
}

TEST_F(FaultReports, ADatabaseFileOrDataSourceThatCannotServeIsNamedWithItsCause) {
  std::ofstream(cli_.File("junk.db")) << std::string(3000, 'j');
  fs::create_directory(cli_.File("folder.db"));
  const std::pair<const char*, std::string> cases[] = {
      {"gone.db", "does not exist"},
      {"folder.db", "is a folder"},
      {"junk.db", "is not a SQLite database"},
  };
  int number = 0;
  for (const auto& [file, cause] : cases) {
    const std::string source = "Source" + std::to_string(++number);
    cli_.AddDataSource(source, cli_.File(file));
    cli_.Succeed({"add-connection", source, "u"});
    EXPECT_THAT(
        cli_.Outcome({"check", "--connection", std::to_string(number)}),
        AllOf(StartsWith("1|"), HasSubstr("[[The database file " + cli_.File(file) +
                                          " of data source '" + source + "' " + cause + ".]]")));
  }
  EXPECT_FALSE(fs::exists(cli_.File("gone.db")));
  EXPECT_EQ(testing::FileBytes(cli_.File("junk.db")), std::string(3000, 'j'));

  // A database another program holds locked is locked, not damaged.
  testing::ExecSqlite(cli_.File("held.db"), "CREATE TABLE t (a INT)");
  cli_.AddDataSource("Held", cli_.File("held.db"));
  cli_.Succeed({"add-connection", "Held", "u"});
  {
    sqlite::Database holder(cli_.File("held.db"), sqlite::Database::Mode::kReadWrite);
    holder.Exec("BEGIN EXCLUSIVE");
    EXPECT_THAT(cli_.Outcome({"guides", "--connection", "4"}),
                HasSubstr("[[The database file " + cli_.File("held.db") +
                          " of data source 'Held' is locked by another program (still locked "
                          "after the 2000 ms wait the data source sets).]]"));
  }

  // Names and values the ODBC configuration cannot hold are refused, naming them.
  const std::string long_name(33, 'N');
  const std::string ini = testing::FileBytes(cli_.OdbcIni());
  const std::pair<Words, std::string> refused[] = {
      {{"add-connection", long_name, "u"},
       "1||The data source name '" + long_name +
           "' is 33 characters long; the ODBC driver manager accepts at most 32.\n"},
      {{"demo-postgres", "--server", "h\nConnSettings=DROP TABLE t", "--user", "u"},
       "2||corvanty demo-postgres: --server holds a line break\n"},
      {{"demo-postgres", "--server", "h", "--database", " d", "--user", "u"},
       "2||corvanty demo-postgres: --database starts or ends with a blank, which the driver "
       "manager would drop\n"},
      {{"demo-postgres", "--server", "h", "--user", "u\tx"},
       "2||corvanty demo-postgres: --user holds a control character (such as a tab or NUL)\n"},
      {{"demo", "--dir", "/tmp/a\rb"},
       "2||corvanty demo: --dir: the database path /tmp/a\\x0db/corvanty-demo.db holds a line "
       "break, and odbc.ini cannot hold it\n"},
  };
  for (const auto& [command, outcome] : refused) EXPECT_EQ(cli_.Outcome(command), outcome);
  EXPECT_EQ(testing::FileBytes(cli_.OdbcIni()), ini);
  EXPECT_EQ(cli_.Succeed({"connections"}),
            "1\tSource1\tu\n2\tSource2\tu\n3\tSource3\tu\n4\tHeld\tu\n");

  fs::remove(cli_.OdbcIni());
  fs::create_directory(cli_.OdbcIni());  // where the data sources should be
  EXPECT_THAT(cli_.Outcome({"check"}),
              AllOf(StartsWith("1|"), HasSubstr("[[The data source 'Source1' is not defined in " +
                                                cli_.OdbcIni() + " (which is a folder).]]")));
  EXPECT_THAT(
      cli_.Outcome({"demo", "--dir", cli_.File("demo")}),
      AllOf(StartsWith("1|"), HasSubstr("into " + cli_.OdbcIni() + " (which is a folder)")));
  EXPECT_FALSE(fs::exists(cli_.File("demo/corvanty-demo.db")));
}

}  // namespace
}  // namespace corvanty
