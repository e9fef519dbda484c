// corvanty demo replaces its database only whole, and keeps an existing one
// only when it really is a demo database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/corvantycli.h"
#include "support/databasetest.h"
#include "support/odbcfixture.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using ::testing::HasSubstr;

class DemoReplace : public ::testing::Test {
 protected:
  std::string Database() const { return cli_.File("demo/corvanty-demo.db"); }
  std::vector<std::string> Demo(const std::vector<std::string>& extra = {}) const {
    std::vector<std::string> args = {"demo", "--rows", "100", "--dir", cli_.File("demo")};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  // True once the replacement being built beside the database has content.
  bool ReplacementUnderWay() const {
    for (const fs::directory_entry& entry : fs::directory_iterator(cli_.File("demo")))
      if (entry.path().filename().string().rfind("corvanty-demo.db.new-", 0) == 0 &&
          entry.file_size() > 100000)
        return true;
    return false;
  }

  testing::CorvantyCli cli_;
};

TEST_F(DemoReplace, AReplacementKilledMidBuildLeavesTheOldDatabaseInPlace) {
  cli_.Succeed(Demo());
  cli_.Succeed({"check"});  // the old demo now holds the guide tables
  const std::string before = testing::FileBytes(Database());

  std::vector<std::string> words = {CORVANTY_CLI_PATH, "--yes", "demo",           "--rows",
                                    "5000000",         "--dir", cli_.File("demo")};
  std::vector<std::string> environment = cli_.Environment();
  std::vector<char*> argv, envp;
  for (std::string& word : words) argv.push_back(word.data());
  for (std::string& entry : environment) envp.push_back(entry.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()), 0);
  for (int waited = 0; waited < 600 && !ReplacementUnderWay(); ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const bool under_way = ReplacementUnderWay();
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(under_way) << "the replacement never started";
  ASSERT_TRUE(WIFSIGNALED(status)) << "the replacement ended before it was killed";

  EXPECT_EQ(testing::FileBytes(Database()), before);
  CommandResult kept = cli_.Run(Demo());
  EXPECT_EQ(kept.exit_code, 0) << kept.err;
  EXPECT_THAT(kept.out, HasSubstr("(kept as it was)"));
  EXPECT_EQ(testing::SqliteColumn(Database(), "SELECT count(*) FROM Db_Search_Guides"),
            std::vector<std::string>{"0"});
}

TEST_F(DemoReplace, AnExistingFileThatIsNoDemoDatabaseIsReportedNotKept) {
  cli_.Succeed(Demo());
  const std::string whole = testing::FileBytes(Database());
  const std::pair<std::string, std::string> cases[] = {
      {std::string(whole.size(), 'x'), "file is not a database"},
      {whole.substr(0, whole.size() / 2), "database disk image is malformed"},
      {"", "it lacks the demo table suppliers"},
  };
  for (const auto& [content, cause] : cases) {
    SCOPED_TRACE(cause);
    std::ofstream(Database(), std::ios::binary | std::ios::trunc) << content;
    CommandResult result = cli_.Run(Demo());
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, HasSubstr("The demo database " + Database() + " cannot be kept: " +
                                      cause + ". Replace it with corvanty --yes demo.\n"));
    EXPECT_EQ(testing::FileBytes(Database()), content);
  }
  CommandResult replaced = cli_.Run({"--yes", "demo", "--rows", "100", "--dir", cli_.File("demo")});
  EXPECT_EQ(replaced.exit_code, 0) << replaced.err;
  EXPECT_THAT(replaced.out, HasSubstr("(100 order lines)"));
  EXPECT_THAT(cli_.Run(Demo()).out, HasSubstr("(kept as it was)"));
}

}  // namespace
}  // namespace corvanty
