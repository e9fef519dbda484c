// scripts/postgres-demo.sh: a throwaway server with the demo on it, reached
// through the data source and saved connection it writes, searched like the
// SQLite demo of the same size, and removed again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/corvantycli.h"
#include "support/postgresserver.h"

namespace corvanty {
namespace {

using ::testing::HasSubstr;

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Runs the script with the command line's own configuration.
class DemoScript {
 public:
  explicit DemoScript(const testing::CorvantyCli& cli) {
    environment_ = {"PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"),
                    "HOME=" + cli.File("home"),
                    "CORVANTY_REGISTRY=" + cli.Registry(),
                    "ODBCINI=" + cli.OdbcIni(),
                    "ODBCSYSINI=" + cli.File(""),
                    "XDG_DATA_HOME=" + cli.File("data"),
                    "XDG_CONFIG_HOME=" + cli.File("config"),
                    "CORVANTY_CLI=" CORVANTY_CLI_PATH,
                    "CORVANTY_PG_DEMO_DIR=" + folder_};
    for (const char* passed : {"CORVANTY_PG_BINDIR", "ASAN_OPTIONS", "UBSAN_OPTIONS"})
      if (const char* value = std::getenv(passed))
        environment_.push_back(std::string(passed) + "=" + value);
  }
  ~DemoScript() { Run({"stop"}); }  // whatever the test found
  testing::CommandResult Run(const std::vector<std::string>& args) const {
    return testing::RunCommand(CORVANTY_TEST_DATA_DIR "/../../scripts/postgres-demo.sh", args,
                               environment_);
  }
  const std::string folder_ = "/tmp/corvanty-test-pgdemo-" + std::to_string(getpid());

 private:
  std::vector<std::string> environment_;
};

using PostgresDemo = testing::PostgresTest;

TEST_F(PostgresDemo, StartsAServerWithTheSqliteDemosDataAndGuidesThenRemovesIt) {
  testing::CorvantyCli cli;
  DemoScript script(cli);
  const testing::CommandResult started = script.Run({"--rows", "2000"});
  ASSERT_EQ(started.exit_code, 0) << started.err;
  EXPECT_THAT(started.out, HasSubstr("ODBC data source CorvantyDemoPG, saved connection 1\n"
                                     "Sample guides: 'Customers by name and city' 'Orders by "
                                     "ship city and customer'\n"));
  cli.Succeed({"demo", "--rows", "2000", "--dir", cli.File("sqlite")});  // connection 2

  for (const char* criteria : {"amber", "\"lyon\" or \"basel\""}) {
    for (const char* guide : {"1", "2"}) {
      const std::string on_postgres = cli.Succeed({"search", guide, criteria, "--connection", "1"});
      EXPECT_FALSE(on_postgres.empty()) << guide << " " << criteria;
      EXPECT_EQ(SortedLines(on_postgres),
                SortedLines(cli.Succeed({"search", guide, criteria, "--connection", "2"})))
          << guide << " " << criteria;
    }
  }
  const testing::CommandResult index = cli.Run({"index", "--connection", "1"});
  EXPECT_EQ(index.exit_code, 1);
  EXPECT_EQ(index.err,
            "This PostgreSQL database keeps no search indexes yet (they are kept in SQLite "
            "databases only): its searches read the guides' tables.\n");

  const testing::CommandResult stopped = script.Run({"stop"});
  EXPECT_EQ(stopped.exit_code, 0) << stopped.err;
  EXPECT_FALSE(std::filesystem::exists(script.folder_));
}

}  // namespace
}  // namespace corvanty
