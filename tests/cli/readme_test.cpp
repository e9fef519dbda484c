// SPDX-License-Identifier: Apache-2.0
// Every command block of the README runs in a test as written: the command
// line's here, on a demo of the test's own; each other one where it can run.
#include "support/readme.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/corvantycli.h"
#include "support/testdata.h"

namespace corvanty {
namespace {

using ::testing::HasSubstr;

// The blocks other tests run (or none can), by the start of their first
// line, and which.
const std::pair<const char*, const char*> kRunElsewhere[] = {
    {"scripts/run.sh\n", "none: it installs packages, builds and opens the window"},
    {"scripts/test.sh\n", "none: it is the whole test run"},
    {"scripts/package.sh\n", "tests/package/check.sh builds the package (and installs nothing)"},
    {"sqlite3 ", "DemoCommand.TheReadmesWaysToSearchFromAnApplication..."},
    {"import os, sqlite3\n", "DemoCommand.TheReadmesWaysToSearchFromAnApplication..."},
    {"echo \"SELECT * FROM velmorastine_search(", "DemoCommand.TheReadmesWaysToSearch..."},
    {"SELECT * FROM velmorastine_search(", "PostgresDemo"},
    {"PGPASSWORD=corvanty_app psql ", "PostgresDemo"},
    {"import os, psycopg\n", "PostgresDemo"},
    {"GRANT USAGE ON SCHEMA public TO corvanty_app;\n", "PostgresDemo"},
    {"CREATE EXTENSION corvanty_search SCHEMA shop;\n", "tests/package/postgresextension.sh"},
};

TEST(Readme, EveryCommandLineBlockRunsAsWrittenOnTheDemoAndNoBlockIsLeftUnrun) {
  const testing::CorvantyCli cli;
  cli.Succeed({"demo", "--rows", "2000"});
  const std::string lisbon = cli.Succeed({"search", "1", "Lisbon"});
  std::vector<testing::CommandResult> runs;
  for (const testing::ReadmeBlock& block : testing::ReadmeBlocks()) {
    if (block.text.rfind("corvanty ", 0) == 0) {
      runs.push_back(cli.RunShell(block.text));
      EXPECT_EQ(runs.back().exit_code, 0) << block.text << runs.back().err;
      continue;
    }
    size_t runners = 0;
    for (const auto& [start, runner] : kRunElsewhere) runners += block.text.rfind(start, 0) == 0;
    EXPECT_EQ(runners, 1u) << "no test runs this README block:\n" << block.text;
  }
  ASSERT_EQ(runs.size(), 3u);
  // The check passes silently; the script is SQL Server's.
  EXPECT_EQ(runs[0].out + runs[0].err, testing::TestData("sqlserver/Db_Search_Guide_Cols.sql"));
  EXPECT_THAT(runs[1].out, HasSubstr(", Lisbon, Portugal\", \"IDColumn\": "));
  // The index is built over the demo's 100 customers, listed fresh, serves
  // the search, which finds what the scan found, and is dropped.
  EXPECT_THAT(runs[2].out, HasSubstr("\n1\tfresh\t100\t"));
  EXPECT_THAT(runs[2].out,
              HasSubstr("\t"
                        "Customers by name and city\n2\tabsent\t-\t-\tOrders by "
                        "ship city and customer\n" +
                        lisbon + "Dropped the search index of Database Search Guide 1.\n"));
  EXPECT_THAT(runs[2].err, ::testing::StartsWith("Database Search Guide 1: index: "));
}

}  // namespace
}  // namespace corvanty
