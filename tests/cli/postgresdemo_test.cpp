// SPDX-License-Identifier: Apache-2.0
// scripts/postgres-demo.sh: a throwaway server with the demo on it, reached
// through the data source and saved connection it writes, its guides
// indexed and searched, and removed again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <utility>

#include "support/corvantycli.h"
#include "support/postgresserver.h"
#include "support/readme.h"

namespace corvanty {
namespace {

TEST(PostgresDemo, StartsAServerWithTheDemosDataAndGuidesThenRemovesIt) {
  testing::SkipWithoutPostgres();
  if (IsSkipped() || HasFailure()) return;
  const testing::CorvantyCli cli;
  const std::string folder = "/tmp/corvanty-test-pgdemo-" + std::to_string(getpid());
  // The script in the command line's own configuration, given corvanty.
  const auto script = [&](const std::string& args) {
    return cli.Run({},
                   {"/bin/bash", "-c",
                    "CORVANTY_CLI=$0 CORVANTY_PG_DEMO_DIR=" + folder +
                        " exec " CORVANTY_TEST_DATA_DIR "/../../scripts/postgres-demo.sh " + args});
  };
  const std::shared_ptr<void> stop_at_end(nullptr, [&](void*) { script("stop"); });
  ASSERT_EQ(script("--rows 2000").exit_code, 0);
  // A second run finds the sample guides there and keeps them.
  EXPECT_EQ(cli.Outcome({"demo-postgres", "--server", folder, "--database", "corvanty_demo",
                         "--user", "corvanty", "--password", "corvanty"}),
            "0|PostgreSQL database corvanty_demo on " + folder +
                " port 5432\nODBC data source CorvantyDemoPG, saved connection 1\n"
                "Sample guides kept as they were: 'Customers by name and city' 'Orders by ship "
                "city and customer'\n|");
  EXPECT_EQ(cli.Succeed({"guides"}),
            "1\tCustomers by name and city\n2\tOrders by ship city and customer\n");
  for (const auto& [guide, criteria] : {std::pair{"1", "amber"}, {"2", "\"lyon\" or \"basel\""}}) {
    cli.Succeed({"index", guide, "--connection", "1"});
    EXPECT_NE(cli.Succeed({"search", guide, criteria, "--connection", "1"}), "") << guide;
  }
  // The README's calls of the search service from an application, as the
  // demo's application role with the least rights the README names, print
  // what the command line prints, as does the command line calling the
  // service.
  const std::string found = cli.Succeed({"search", "1", "Lisbon", "--format", "tsv"});
  EXPECT_NE(found, "");
  EXPECT_EQ(cli.Succeed({"search", "1", "Lisbon", "--format", "tsv", "--in-database"}), found);
  for (const auto& [first_line, program] : {std::pair{"PGPASSWORD=corvanty_app psql ", "/bin/bash"},
                                            {"import os, psycopg", "/usr/bin/python3"}}) {
    const testing::CommandResult run =
        testing::RunCommand({"PATH=/usr/bin:/bin", "CORVANTY_PG_DEMO_DIR=" + folder},
                            {program, "-c", testing::ReadmeBlockStartingWith(first_line)});
    EXPECT_EQ(run.out + run.err, found) << program;
  }
  // The README's SQL as the demo's owner: the grants an application needs
  // (the demo made them already) and the search with one statement.
  for (const char* first_line :
       {"GRANT USAGE ON SCHEMA public TO corvanty_app;", "SELECT * FROM velmorastine_search("}) {
    const testing::CommandResult run = testing::RunCommand(
        {"PATH=/usr/bin:/bin", "PGPASSWORD=corvanty"},
        {"psql", "-h", folder, "-U", "corvanty", "-d", "corvanty_demo", "-qAtF", "\t", "-v",
         "ON_ERROR_STOP=1", "-c", testing::ReadmeBlockStartingWith(first_line)});
    EXPECT_EQ(std::to_string(run.exit_code) + "|" + run.out + run.err,
              first_line[0] == 'G' ? "0|" : "0|" + found)
        << first_line;
  }
  EXPECT_EQ(script("stop").exit_code, 0);
  EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace corvanty
