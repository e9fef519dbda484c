// A registry, odbc.ini or database file that cannot serve is reported by
// name with its cause, the command fails, and the file is left as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "support/corvantycli.h"
#include "support/odbcfixture.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using ::testing::HasSubstr;

class FaultReports : public ::testing::Test {
 protected:
  // Each command that reads the registry fails with the same report.
  void ExpectRegistryReport(const std::string& cause) {
    const std::string before = testing::FileBytes(cli_.Registry());
    const std::pair<std::vector<std::string>, const char*> commands[] = {
        {{"connections"}, "read"}, {{"check"}, "read"}, {{"add-connection", "A", "u"}, "written"}};
    for (const auto& [command, verb] : commands) {
      CommandResult result = cli_.Run(command);
      EXPECT_EQ(result.exit_code, 1) << command[0];
      EXPECT_EQ(result.out, "") << command[0];
      EXPECT_EQ(result.err, "corvanty " + command[0] + ": The registry " + cli_.Registry() +
                                " cannot be " + verb + ": " + cause + ".\n");
    }
    EXPECT_EQ(testing::FileBytes(cli_.Registry()), before) << "the registry was changed";
  }

  testing::CorvantyCli cli_;
};

TEST_F(FaultReports, ARegistryThatCannotBeReadIsNamedWithItsCause) {
  for (int i = 1; i <= 30; ++i) cli_.Succeed({"add-connection", "S" + std::to_string(i), "u"});
  const std::string whole = testing::FileBytes(cli_.Registry());
  ASSERT_GT(whole.size(), 8192u);
  const std::string registry = cli_.Registry();
  struct Case {
    const char* name;
    std::function<void()> make;
    std::string cause;
  };
  const Case cases[] = {
      {"cut short", [&] { std::ofstream(registry) << whole.substr(0, 8192); },
       "it is damaged or cut short (database disk image is malformed)"},
      {"not a database",
       [&] { std::ofstream(registry) << std::string(4096, 'x') + whole.substr(4096); },
       "it is not a database"},
      {"another database", [&] { testing::ExecSqlite(registry, "CREATE TABLE orders (id INT)"); },
       "it is a database of another kind, not a registry"},
      {"a folder", [&] { fs::create_directory(registry); }, "it is a folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(registry);
    c.make();
    ExpectRegistryReport(c.cause);
  }
  if (geteuid() != 0) {  // the super-user reads every file
    fs::remove_all(registry);
    std::ofstream(registry) << whole;
    chmod(registry.c_str(), 0200);
    ExpectRegistryReport("Permission denied");
  }
}

// A reader and a writer both wait for the lock a few seconds, then give up
// and say so.
TEST_F(FaultReports, ARegistryLockedByAnotherProcessIsReportedByReadersAndWriters) {
  cli_.Succeed({"add-connection", "A", "u"});
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(cli_.Registry().c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  CommandResult reader, writer;
  std::thread reading([&] { reader = cli_.Run({"connections"}); });
  writer = cli_.Run({"add-connection", "B", "u"});
  reading.join();
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(reader.exit_code, 1);
  EXPECT_EQ(reader.err, "corvanty connections: The registry " + cli_.Registry() +
                            " cannot be read: another process holds it locked.\n");
  EXPECT_EQ(writer.exit_code, 1);
  EXPECT_EQ(writer.err, "corvanty add-connection: The registry " + cli_.Registry() +
                            " cannot be written: another process holds it locked.\n");
  EXPECT_EQ(cli_.Succeed({"connections"}), "1\tA\tu\n");
}

TEST_F(FaultReports, ADatabaseFileThatIsGoneOrNoDatabaseIsNamedWithItsCause) {
  const std::string junk = cli_.File("junk.db");
  std::ofstream(junk) << std::string(3000, 'j');
  fs::create_directory(cli_.File("folder.db"));
  const std::pair<std::string, std::string> cases[] = {
      {cli_.File("gone.db"), "does not exist"},
      {cli_.File("folder.db"), "is a folder"},
      {junk, "is not a SQLite database"},
  };
  int number = 0;
  for (const auto& [file, cause] : cases) {
    const std::string source = "Source" + std::to_string(++number);
    cli_.AddDataSource(source, file);
    cli_.Succeed({"add-connection", source, "u"});
    CommandResult result = cli_.Run({"check", "--connection", std::to_string(number)});
    EXPECT_EQ(result.exit_code, 1) << file;
    EXPECT_THAT(result.err, HasSubstr("[[The database file " + file + " of data source '" + source +
                                      "' " + cause + ".]]"));
  }
  EXPECT_FALSE(fs::exists(cli_.File("gone.db")));
  EXPECT_EQ(testing::FileBytes(junk), std::string(3000, 'j'));
}

TEST_F(FaultReports, ADataSourceNoOdbcIniDefinesNamesTheFilesLookedIn) {
  fs::create_directory(cli_.OdbcIni());  // where the data sources should be
  cli_.Succeed({"add-connection", "Nowhere", "u"});
  CommandResult result = cli_.Run({"check"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_THAT(result.err, HasSubstr("[[The data source 'Nowhere' is not defined in " +
                                    cli_.OdbcIni() + " (which is a folder).]]"));
  CommandResult demo = cli_.Run({"demo", "--rows", "10", "--dir", cli_.File("demo")});
  EXPECT_EQ(demo.exit_code, 1);
  EXPECT_THAT(demo.err, HasSubstr(cli_.OdbcIni()));
}

}  // namespace
}  // namespace corvanty
