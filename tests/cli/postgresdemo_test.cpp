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
  EXPECT_EQ(script("stop").exit_code, 0);
  EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace corvanty
