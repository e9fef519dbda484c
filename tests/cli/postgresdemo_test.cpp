// scripts/postgres-demo.sh: a throwaway server with the demo on it, reached
// through the data source and saved connection it writes, its guides
// indexed and searched like the SQLite demo of the same size, and removed
// again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <utility>

#include "support/corvantycli.h"
#include "support/postgresserver.h"

namespace corvanty {
namespace {

// The lines of a search's results in sorted order: the servers return them
// in an order of their own.
std::multiset<std::string> Lines(const std::string& text) {
  std::multiset<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  return lines;
}

TEST(PostgresDemo, StartsAServerWithTheSqliteDemosDataAndGuidesThenRemovesIt) {
  testing::SkipWithoutPostgres();
  if (IsSkipped() || HasFailure()) return;
  const testing::CorvantyCli cli;
  const std::string folder = "/tmp/corvanty-test-pgdemo-" + std::to_string(getpid());
  // The script in the command line's own configuration, given corvanty.
  const auto script = [&](const std::vector<std::string>& args) {
    return cli.Run(args,
                   {"/bin/bash", "-c",
                    "CORVANTY_CLI=$0 CORVANTY_PG_DEMO_DIR=" + folder +
                        " exec " CORVANTY_TEST_DATA_DIR "/../../scripts/postgres-demo.sh \"$@\""});
  };
  const std::shared_ptr<void> stop_at_end(nullptr, [&](void*) { script({"stop"}); });
  const testing::CommandResult started = script({"--rows", "2000"});
  ASSERT_EQ(started.exit_code, 0) << started.err;
  cli.Succeed({"demo", "--rows", "2000", "--dir", cli.File("sqlite")});  // connection 2
  for (const char* guide : {"1", "2"}) cli.Succeed({"index", guide, "--connection", "1"});
  for (const auto& [guide, criteria] : {std::pair{"1", "amber"}, {"2", "\"lyon\" or \"basel\""}}) {
    const std::string on_postgres = cli.Succeed({"search", guide, criteria, "--connection", "1"});
    EXPECT_FALSE(on_postgres.empty()) << guide << " " << criteria;
    EXPECT_EQ(Lines(on_postgres),
              Lines(cli.Succeed({"search", guide, criteria, "--connection", "2"})))
        << guide << " " << criteria;
  }
  const testing::CommandResult stopped = script({"stop"});
  EXPECT_EQ(stopped.exit_code, 0) << stopped.err;
  EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace corvanty
