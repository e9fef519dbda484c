// SPDX-License-Identifier: Apache-2.0
// corvanty demo: the database, its data source, connection and sample
// guides; an existing database is replaced only on --yes and only whole, and
// kept only when it really is a demo database.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "connections/sqlitedatabase.h"
#include "support/corvantycli.h"
#include "support/databasetest.h"
#include "support/readme.h"

namespace corvanty {
namespace {

using ::testing::HasSubstr;
using Texts = std::vector<std::string>;

class DemoCommand : public ::testing::Test {
 protected:
  // The demo in the user's data folder, with --yes when replace.
  Texts Demo(const char* rows, bool replace = false) const {
    return replace ? Texts{"--yes", "demo", "--rows", rows} : Texts{"demo", "--rows", rows};
  }
  std::string Guides() const {
    return testing::SqliteColumn(database_,
                                 "SELECT group_concat(DSG_name, '|') FROM "
                                 "(SELECT DSG_name FROM Db_Search_Guides ORDER BY DSG_ID)")[0];
  }
  testing::CorvantyCli cli_;
  const std::string database_ = cli_.File("data/corvanty/corvanty-demo.db");
  const std::string samples_ = "Customers by name and city|Orders by ship city and customer";
};

TEST_F(DemoCommand, WritesItsDatabaseDataSourceConnectionAndSampleGuidesAndKeepsAnOldOne) {
  const std::string others = "[Shop]\nDriver=SQLite3\nDatabase=/srv/shop.db\n\n; kept\n[Hr]\nA = b";
  std::ofstream(cli_.OdbcIni(), std::ios::trunc) << others;
  // A writer waits while another program holds the file's lock.
  const int lock = open(cli_.OdbcIni().c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(testing::FileBytes(cli_.OdbcIni()), others) << "written under the lock";
    close(lock);
  });
  EXPECT_EQ(cli_.Succeed(Demo("200")),
            "Demo database " + database_ +
                " (200 order lines)\nODBC data source CorvantyDemo, saved connection 1\n"
                "Sample guides: 'Customers by name and city' 'Orders by ship city and customer'\n");
  release.join();
  // Nothing of the writing is left beside the file.
  std::string beside;
  for (const auto& entry : std::filesystem::directory_iterator(cli_.File("")))
    if (entry.path().filename().string().rfind("odbc.ini", 0) == 0)
      beside += entry.path().filename().string() + " ";
  EXPECT_EQ(beside, "odbc.ini ");
  EXPECT_EQ(cli_.Succeed({"connections"}), "1\tCorvantyDemo\tdemo\n");
  const std::string ini = testing::FileBytes(cli_.OdbcIni());
  EXPECT_EQ(ini, others + "\n\n[CorvantyDemo]\nDescription=Corvanty demo database\nDriver=" +
                     testing::SqliteOdbcDriverPath() + "\nDatabase=" + database_ +
                     "\nStepAPI=1\nTimeout=2000\nNoCreat=1\nLoadExt=" +
                     CORVANTY_SEARCH_EXTENSION_PATH + "\n");
  struct stat written {};
  ASSERT_EQ(stat(cli_.OdbcIni().c_str(), &written), 0);
  // 200 order lines: a quarter as many orders, a twentieth as many customers,
  // at least 20 products and 3 suppliers; every line leads to its order,
  // customer, product and supplier; every seventh customer has no phone and
  // every fifth order a note with an apostrophe, for searches to meet.
  EXPECT_EQ(
      testing::SqliteColumn(
          database_,
          "SELECT (SELECT count(*) FROM suppliers) || ' ' || (SELECT count(*) FROM products)"
          " || ' ' || (SELECT count(*) FROM customers) || ' ' || (SELECT count(*) FROM orders)"
          " || ' ' || (SELECT count(*) FROM order_lines JOIN orders USING (order_id) JOIN"
          " customers USING (customer_id) JOIN products USING (product_id) JOIN suppliers"
          " USING (supplier_id)) || ' ' || (SELECT count(*) FROM customers WHERE phone IS"
          " NULL) || ' ' || (SELECT count(*) FROM orders WHERE note LIKE '%''%')")[0],
      "3 20 10 50 200 1 10");
  const char* const kLines = "SELECT * FROM order_lines JOIN orders USING (order_id)";
  const auto lines = testing::QuerySqlite(database_, kLines);
  // It may hold the administrator's guides by now.
  testing::ExecSqlite(database_, "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Mine')");
  EXPECT_EQ(cli_.Outcome(Demo("200")),
            "0|Demo database " + database_ +
                " (kept as it was)\nODBC data source CorvantyDemo, saved connection 1\n|"
                "The demo database " +
                database_ +
                " exists already. Replace it with a new one? Its guides will be lost.\n"
                "(answered No; pass --yes to answer Yes)\n");
  EXPECT_EQ(Guides(), samples_ + "|Mine");
  struct stat kept {};  // a plain demo that changes nothing writes nothing
  ASSERT_EQ(stat(cli_.OdbcIni().c_str(), &kept), 0);
  EXPECT_EQ(kept.st_ino, written.st_ino);
  EXPECT_EQ(testing::FileBytes(cli_.OdbcIni()), ini);
  EXPECT_THAT(cli_.Run(Demo("200", true)).out, HasSubstr(" (200 order lines)\n"));
  EXPECT_EQ(Guides(), samples_);
  EXPECT_TRUE(testing::QuerySqlite(database_, kLines) == lines) << "not the same demo again";
}

// The README's ways to search from an application, run as it shows them
// (the library's path made the build's): each prints what corvanty search
// prints.
TEST_F(DemoCommand, TheReadmesWaysToSearchFromAnApplicationFindWhatCorvantySearchFinds) {
  cli_.Succeed(Demo("2000"));
  const std::string expected = cli_.Succeed({"search", "1", "Lisbon"});
  ASSERT_THAT(expected, HasSubstr(", Lisbon, Portugal*"));
  const std::string library = CORVANTY_SEARCH_EXTENSION_PATH;
  const std::vector<std::string> environment = {
      "HOME=" + cli_.File(""), "XDG_DATA_HOME=" + cli_.File("data"), "ODBCINI=" + cli_.OdbcIni(),
      "ODBCSYSINI=" + cli_.File(""), "PATH=/usr/bin:/bin"};
  size_t ways = 0;
  for (const testing::ReadmeBlock& way : testing::ReadmeBlocks()) {
    if (way.section != "Searching from your application" || way.language.empty()) continue;
    std::string block = way.text;
    const std::string prefix = library.substr(0, library.size() - 3);  // no ".so"
    for (size_t built = 0;
         (built = block.find("build/corvanty_search", built)) != std::string::npos;
         built += prefix.size())
      block.replace(built, 21, prefix);
    SCOPED_TRACE(block);
    const testing::CommandResult run =
        testing::RunCommand(environment, way.language == "python" ? Texts{"python3", "-c", block}
                                                                  : Texts{"sh", "-c", block});
    EXPECT_EQ(run.out, expected) << run.err;
    ++ways;
  }
  EXPECT_EQ(ways, 3u);
}

TEST_F(DemoCommand, AReplacementKilledMidBuildLeavesTheOldDatabaseInPlace) {
  cli_.Succeed(Demo("100"));
  const std::string before = testing::FileBytes(database_);
  // Killed once the replacement beside the database has grown, however
  // long the machine takes to get there; a build that ends first fails.
  const char* const kKillMidBuild =
      "\"$@\" & build=$!; "
      "until [ -n \"$(/usr/bin/find \"$0\" -type f ! -name corvanty-demo.db -size +64k)\" ]; do "
      "kill -0 $build 2>/dev/null || exit 3; /usr/bin/sleep 0.02; done; "
      "kill -KILL $build; wait $build";
  EXPECT_EQ(cli_.Run(Demo("5000000", true),
                     {"/bin/bash", "-c", kKillMidBuild, cli_.File("data/corvanty")})
                .exit_code,
            128 + 9);
  size_t half_built = 0;  // what the killed build left beside the database
  for (const auto& entry : std::filesystem::directory_iterator(cli_.File("data/corvanty")))
    half_built += entry.path().filename() != "corvanty-demo.db" && entry.file_size() > 0;
  EXPECT_EQ(half_built, 1u) << "killed before or after the build";
  EXPECT_TRUE(testing::FileBytes(database_) == before) << "the old database was changed";
  EXPECT_THAT(cli_.Run(Demo("100")).out, HasSubstr("(kept as it was)"));
  EXPECT_EQ(Guides(), samples_);  // the old demo's sample guides
  size_t left = 0;                // the next run removed the half-built file
  for (const auto& entry : std::filesystem::directory_iterator(cli_.File("data/corvanty")))
    left += entry.path().filename() != "corvanty-demo.db";
  EXPECT_EQ(left, 0u);
}

// A writer killed in the middle of a transaction leaves a hot journal
// beside the old database: the replacement must not inherit it.
TEST_F(DemoCommand, AJournalLeftBesideTheOldDatabaseDoesNotReachTheNewOne) {
  cli_.Succeed(Demo("100"));
  if (fork() == 0) {
    sqlite::Database writer(database_, sqlite::Database::Mode::kReadWrite);
    writer.Exec("PRAGMA cache_size=1; BEGIN; UPDATE order_lines SET quantity = 0;");
    _exit(0);  // killed before its commit
  }
  wait(nullptr);
  ASSERT_GT(std::filesystem::file_size(database_ + "-journal"), 0u);
  EXPECT_THAT(cli_.Run(Demo("3000", true)).out, HasSubstr(" (3000 order lines)\n"));
  EXPECT_FALSE(std::filesystem::exists(database_ + "-journal"));
  EXPECT_EQ(testing::SqliteColumn(database_, "PRAGMA integrity_check")[0], "ok");
  EXPECT_EQ(testing::SqliteColumn(database_, "SELECT count(*) FROM order_lines")[0], "3000");
  EXPECT_EQ(Guides(), samples_);
}

TEST_F(DemoCommand, AnExistingFileThatIsNoDemoDatabaseIsReportedNotKept) {
  cli_.Succeed(Demo("100"));
  const std::string whole = testing::FileBytes(database_);
  const auto changed = [&](const char* sql) {
    testing::ExecSqlite(database_, sql);
    std::string bytes = testing::FileBytes(database_);
    std::ofstream(database_, std::ios::binary | std::ios::trunc) << whole;
    return bytes;
  };
  const std::pair<std::string, std::string> cases[] = {
      {changed("DROP TABLE Db_Search_Guide_SQL"), "it lacks the guide table Db_Search_Guide_SQL"},
      {changed("DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = 2"),
       "the sample guide 'Orders by ship city and customer' lacks its tables or columns"},
      {changed("DELETE FROM Db_Search_Guides WHERE DSG_ID = 1"),
       "it lacks the sample guide 'Customers by name and city'"},
      {std::string(whole.size(), 'x'), "file is not a database"},
      {whole.substr(0, whole.size() / 2), "database disk image is malformed"},
      {"", "it lacks the demo table suppliers"},
  };
  for (const auto& [content, cause] : cases) {
    std::ofstream(database_, std::ios::binary | std::ios::trunc) << content;
    EXPECT_THAT(cli_.Outcome(Demo("100")),
                ::testing::MatchesRegex("1\\|\\|.*The demo database " + database_ +
                                        " cannot be kept: " + cause +
                                        "\\. Replace it with corvanty --yes demo\\.\n"));
    EXPECT_TRUE(testing::FileBytes(database_) == content) << "the file was changed";
  }
  EXPECT_THAT(cli_.Run({"--yes", "demo"}).out, HasSubstr("(20000 order lines)"));
  EXPECT_THAT(cli_.Run(Demo("100")).out, HasSubstr("(kept as it was)"));
}

}  // namespace
}  // namespace corvanty
