// corvanty index and search --explain, run as child processes on the shop
// database with their own registry and ODBC configuration.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <future>

#include "support/databasetest.h"
#include "support/runcommand.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using testing::CommandResult;
using ::testing::MatchesRegex;
using Texts = std::vector<std::string>;

// The lines of a text, sorted when asked (a search's are in no set order).
Texts SplitLines(const std::string& text, bool sorted = false) {
  Texts lines;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
  }
  if (sorted) std::sort(lines.begin(), lines.end());
  return lines;
}

class IndexCommand : public ::testing::Test {
 protected:
  IndexCommand() {
    testing::AddShopDatabase(odbc_, "Shop");
    EXPECT_EQ(Run({"add-connection", "Shop", "admin"}).out, "1\n");
  }

  CommandResult Run(const Texts& args) const {
    const std::string folder = std::filesystem::path(odbc_.File("odbc.ini")).parent_path();
    return testing::RunCommand(
        CORVANTY_CLI_PATH, args,
        {"CORVANTY_REGISTRY=" + odbc_.File("registry.db"), "ODBCSYSINI=" + folder,
         "ODBCINI=" + odbc_.File("odbc.ini"), "HOME=" + folder});
  }

  testing::OdbcFixture odbc_;
};

TEST_F(IndexCommand, BuildsListsServesAndDropsAnIndex) {
  EXPECT_EQ(Run({"index"}).out,
            "1\tabsent\t-\t-\tCustomers\n2\tabsent\t-\t-\tOrders by customer's name\n"
            "3\tabsent\t-\t-\tItems\n4\tabsent\t-\t-\tBroken\n5\tabsent\t-\t-\tNo tables\n"
            "6\tabsent\t-\t-\tNothing shown\n7\tabsent\t-\t-\tOverflow\n");

  CommandResult built = Run({"index", "Orders by customer's name"});
  EXPECT_EQ(built.exit_code, 0) << built.err;
  EXPECT_THAT(built.out, MatchesRegex("Built the search index of Database Search Guide 2: 3 rows, "
                                      "row ids of o, [0-9]+ bytes, [0-9.]+ s\\. Changes to "
                                      "customers, orders or to the guide mark it stale\\.\n"));
  EXPECT_THAT(SplitLines(Run({"index"}).out)[1],
              MatchesRegex("2\tfresh\t3\t[1-9][0-9]*\tOrders by customer's name"));

  CommandResult found = Run({"search", "2", "car", "--explain"});
  EXPECT_EQ(SplitLines(found.out, true),
            (Texts{"green van for Carla O'Hara*12*2", "red car for Carla O'Hara*10*2"}));
  EXPECT_THAT(found.err, MatchesRegex("Database Search Guide 2: index: the rows of o it finds "
                                      "for \"car\"\n2 results in [0-9.]+ ms\n"));
  EXPECT_THAT(Run({"search", "2", "ca", "--explain"}).err,
              MatchesRegex("Database Search Guide 2: scan: the index cannot serve it: \"ca\" is "
                           "shorter than 3 characters\n2 results in [0-9.]+ ms\n"));

  // A refusal is a reported failure.
  EXPECT_EQ(Run({"index", "6"}).err,
            "corvanty index: Error: Database Search Guide 6 shows no column in its result list.\n");

  // Dropping one index leaves the others fresh, their triggers in place.
  EXPECT_EQ(Run({"index", "1"}).exit_code, 0);
  EXPECT_EQ(Run({"index", "2", "--drop"}).out,
            "Dropped the search index of Database Search Guide 2.\n");
  EXPECT_EQ(Run({"index", "2", "--drop"}).out, "Database Search Guide 2 has no search index.\n");
  const Texts listed = SplitLines(Run({"index"}).out);
  EXPECT_THAT(listed[0], MatchesRegex("1\tfresh\t5\t[1-9][0-9]*\tCustomers"));
  EXPECT_EQ(listed[1], "2\tabsent\t-\t-\tOrders by customer's name");
  EXPECT_EQ(testing::SqliteColumn(odbc_.File("Shop.db"),
                                  "SELECT count(*) FROM sqlite_master "
                                  "WHERE type = 'trigger'"),
            Texts{"9"});  // customers and the two guide tables
  for (const Texts& misuse : {Texts{"index", "--drop"}, Texts{"index", "1", "2"}})
    EXPECT_EQ(Run(misuse).exit_code, 2);
}

TEST_F(IndexCommand, TwoBuildsAtOnceLeaveOneSoundFreshIndex) {
  auto build = [this] { return Run({"index", "2"}); };
  std::future<CommandResult> first = std::async(std::launch::async, build);
  std::future<CommandResult> second = std::async(std::launch::async, build);
  for (std::future<CommandResult>* result : {&first, &second}) {
    const CommandResult done = result->get();
    EXPECT_EQ(done.exit_code, 0) << done.err;
  }
  const std::string file = odbc_.File("Shop.db");
  EXPECT_EQ(testing::SqliteColumn(file, "PRAGMA integrity_check"), Texts{"ok"});
  // Three triggers on each of customers, orders and the two guide tables.
  EXPECT_EQ(testing::SqliteColumn(file,
                                  "SELECT count(*) FROM sqlite_master WHERE type = "
                                  "'trigger'"),
            Texts{"12"});
  EXPECT_THAT(SplitLines(Run({"index"}).out)[1], MatchesRegex("2\tfresh\t3\t.*"));
}

}  // namespace
}  // namespace corvanty
