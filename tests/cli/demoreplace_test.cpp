// corvanty demo replaces its database only whole, and keeps an existing one
// only when it really is a demo database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/corvantycli.h"
#include "support/databasetest.h"

namespace corvanty {
namespace {

using ::testing::HasSubstr;

class DemoReplace : public ::testing::Test {
 protected:
  std::vector<std::string> Demo(const char* rows = "100") const {
    return {"demo", "--rows", rows, "--dir", cli_.File("demo")};
  }
  testing::CorvantyCli cli_;
  const std::string database_ = cli_.File("demo/corvanty-demo.db");
};

TEST_F(DemoReplace, AReplacementKilledMidBuildLeavesTheOldDatabaseInPlace) {
  cli_.Succeed(Demo());
  const std::string before = testing::FileBytes(database_);
  std::vector<std::string> replace = Demo("5000000");
  replace.insert(replace.begin(), "--yes");
  EXPECT_EQ(cli_.Run(replace, {"/usr/bin/timeout", "--foreground", "-s", "KILL", "1"}).exit_code,
            128 + 9);

  size_t half_built = 0;  // what the killed build left beside the database
  for (const auto& entry : std::filesystem::directory_iterator(cli_.File("demo")))
    half_built += entry.path().filename() != "corvanty-demo.db" && entry.file_size() > 0;
  EXPECT_EQ(half_built, 1u) << "killed before or after the build";
  EXPECT_TRUE(testing::FileBytes(database_) == before) << "the old database was changed";
  EXPECT_THAT(cli_.Run(Demo()).out, HasSubstr("(kept as it was)"));
  EXPECT_EQ(testing::SqliteColumn(database_, "SELECT count(*) FROM Db_Search_Guides"),
            std::vector<std::string>{"2"});  // the old demo's sample guides
}

TEST_F(DemoReplace, AnExistingFileThatIsNoDemoDatabaseIsReportedNotKept) {
  cli_.Succeed(Demo());
  const std::string whole = testing::FileBytes(database_);
  const std::pair<std::string, std::string> cases[] = {
      {std::string(whole.size(), 'x'), "file is not a database"},
      {whole.substr(0, whole.size() / 2), "database disk image is malformed"},
      {"", "it lacks the demo table suppliers"},
  };
  for (const auto& [content, cause] : cases) {
    std::ofstream(database_, std::ios::binary | std::ios::trunc) << content;
    testing::CommandResult result = cli_.Run(Demo());
    EXPECT_EQ(result.exit_code, 1) << cause;
    EXPECT_THAT(result.err, HasSubstr("The demo database " + database_ + " cannot be kept: " +
                                      cause + ". Replace it with corvanty --yes demo.\n"));
    EXPECT_TRUE(testing::FileBytes(database_) == content) << "the file was changed";
  }
  EXPECT_THAT(cli_.Run({"--yes", "demo", "--dir", cli_.File("demo")}).out,
              HasSubstr("(20000 order lines)"));
  EXPECT_THAT(cli_.Run(Demo()).out, HasSubstr("(kept as it was)"));
}

}  // namespace
}  // namespace corvanty
