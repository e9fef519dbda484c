// SPDX-License-Identifier: Apache-2.0
// Saved connections: connect strings, whole entries under numbers of their
// own (also with two processes saving at once), gaps, and failed writes.
#include "connections/connectionstore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "connections/connectstring.h"
#include "connections/registryfile.h"
#include "connections/sqlerrorreport.h"
#include "support/databasetest.h"
#include "support/odbcfixture.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

class ConnectionStore : public ::testing::Test {
 protected:
  void SetUp() override { testing::ForgetConnectionAndGuide(); }
  void TearDown() override { testing::ForgetConnectionAndGuide(); }
  // The list as the Connect dialog gets it, each name followed by ';'.
  static std::string Listed() {
    std::vector<std::string> list{"stale"};
    ListConnections(list);
    std::string joined;
    for (const std::string& name : list) joined += name + ";";
    return joined;
  }
  // Runs body in a child process writing into file; the child ends with
  // _exit, so nothing of the test runner runs twice.
  pid_t InChild(const char* file, const std::function<void(std::ostream&)>& body) const {
    pid_t pid = fork();
    if (pid != 0) return pid;
    std::ofstream out(dir_.File(file));
    try {
      body(out);
    } catch (const std::exception& error) {
      out << "fault: " << error.what() << '\n';
    }
    out.close();
    _exit(0);
  }
  testing::TempRegistry registry_;
  testing::TempDir dir_;
};

// Each row: the three values, and the connect string they join into and
// read back from; plain values go as given, others in braces.
TEST(ConnectString, JoinsValuesThatReadBackAsTheyWereAndRefusesAnyOtherSetting) {
  const std::string rows[][4] = {
      {"Sales", "sa", "", "DSN=Sales;UID=sa;PWD=;"},
      {"Sales", "sa", "a;b", "DSN=Sales;UID=sa;PWD={a;b};"},
      {" Sales", "sa ", "x}y{", "DSN={ Sales};UID={sa };PWD={x}}y{};"},
      {"My Data", "dom\\user", "p=w'\" ", "DSN=My Data;UID=dom\\user;PWD={p=w'\" };"},
      {"{S}", "x;Database=o.db;", "{", "DSN={{S}}};UID={x;Database=o.db;};PWD={{};"},
  };
  for (const auto& [dsn, uid, pwd, joined] : rows) {
    EXPECT_EQ(basCorvantyAdmin::BuildConnectString(dsn, uid, pwd), joined);
    std::optional<ConnectValues> read = ParseConnectString(joined);
    ASSERT_TRUE(read) << joined;
    EXPECT_EQ(read->dsn + "|" + *read->uid + "|" + *read->pwd, dsn + "|" + uid + "|" + pwd);
  }
  EXPECT_EQ(ParseConnectString("dsn=Shop;")->uid, std::nullopt);
  for (const char* refused : {"", "DSN=A;Database=b.db;", "DRIVER=/x.so;Database=b.db;",
                              "DSN=A;DSN=B;", "DSN={A;", "DSN={A}x", "UID=u;PWD=p;"})
    EXPECT_FALSE(ParseConnectString(refused)) << refused;
}

// Two processes save 200 connections each, all at once, while a third lists
// them over and over; each save prints its number and its own tag.
TEST_F(ConnectionStore, TwoProcessesSavingAtOnceKeepEveryEntryWholeUnderItsOwnNumber) {
  const std::string stop = dir_.File("stop");
  pid_t lister = InChild("listed", [&](std::ostream& out) {
    while (!std::filesystem::exists(stop))
      for (const ListedConnection& entry : ListConnectionsWithLogins())
        if (entry.dsn.substr(1) != entry.uid.substr(1)) out << entry.dsn << entry.uid << '\n';
  });
  pid_t savers[2];
  for (char who : {'a', 'b'})
    savers[who - 'a'] = InChild(who == 'a' ? "a" : "b", [who](std::ostream& out) {
      for (int i = 0; i < 200; ++i) {
        const std::string tag = who + std::to_string(i);
        out << SaveNewConnection("S" + tag, "U" + tag, "W" + tag) << ' ' << tag << '\n';
      }
    });
  for (pid_t pid : savers) waitpid(pid, nullptr, 0);
  std::ofstream{stop};
  waitpid(lister, nullptr, 0);

  EXPECT_EQ(std::filesystem::file_size(dir_.File("listed")), 0u) << "a listing mixed entries";
  std::map<int, std::string> saved;  // number printed -> the tag of that save
  for (const char* file : {"a", "b"}) {
    std::ifstream in(dir_.File(file));
    for (std::string line; std::getline(in, line);) {
      ASSERT_NE(line.rfind("fault", 0), 0u) << line;
      EXPECT_TRUE(saved.emplace(std::stoi(line), line.substr(line.find(' ') + 1)).second) << line;
    }
  }
  ASSERT_EQ(saved.size(), 400u);
  EXPECT_EQ(saved.rbegin()->first, 400);
  for (const auto& [number, tag] : saved) {
    ASSERT_TRUE(LoadConnection(static_cast<int16_t>(number)));
    EXPECT_EQ(gstrDSN + gstrUID + gstrPWD, "S" + tag + "U" + tag + "W" + tag) << number;
  }
}

TEST_F(ConnectionStore, TheListStopsAtTheFirstGapARemovalClosesAndFailedWritesChangeNothing) {
  EXPECT_EQ(Listed(), ";");  // upper bound 0
  ASSERT_EQ(SaveNewConnection("Sales", "sa", "secret"), 1);
  ASSERT_TRUE(LoadConnection(1));
  EXPECT_FALSE(LoadConnection(2));  // no data source name: the rest keep their values
  EXPECT_EQ(
      gstrDSN + "|" + gstrUID + "|" + gstrConnect + "|" + std::to_string(gintActiveConnection),
      "|sa|DSN=Sales;UID=sa;PWD=secret;|0");  // the callers choose the active number
  for (int number = 2; number <= 11; ++number)
    ASSERT_EQ(SaveNewConnection("S" + std::to_string(number), "u", "p"), number);
  ASSERT_EQ(chmod(registry_.Path().c_str(), 0644), 0);
  gintActiveConnection = 11;
  EXPECT_EQ(RemoveConnection(1), 11);  // 2 to 11 move down to 1 to 10
  EXPECT_EQ(RemoveConnection(11), std::nullopt);
  EXPECT_EQ(gintActiveConnection, 10);  // the active number follows its entry
  ASSERT_TRUE(LoadConnection(9));
  EXPECT_EQ(gstrDSN + "|" + gstrUID + "|" + gstrPWD, "S10|u|p");
  gintActiveConnection = 2;
  EXPECT_EQ(RemoveConnection(2), 10);
  EXPECT_EQ(gintActiveConnection, 0);  // its entry is gone
  EXPECT_EQ(RemoveConnection(9), 9);   // the last: none moves
  EXPECT_EQ(SaveNewConnection("New", "n", "secret"), 9);
  EXPECT_EQ(Listed(), ";S2;S4;S5;S6;S7;S8;S9;S10;New;");
  struct stat info {};  // closed to others before the password went in
  ASSERT_EQ(stat(registry_.Path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // A save that fails half-way leaves nothing that would be listed.
  testing::ExecSqlite(registry_.Path(),
                      "CREATE TRIGGER no_pwd BEFORE INSERT ON reg_values WHEN NEW.name = 'PWD' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
  EXPECT_THROW(SaveNewConnection("S3", "u", "secret"), RegistryError);
  EXPECT_EQ(Listed(), ";S2;S4;S5;S6;S7;S8;S9;S10;New;");
  ASSERT_EQ(chmod(registry_.Path().c_str(), 0400), 0);
  EXPECT_THROW(SaveNewConnection("S3", "u", ""), RegistryError);  // a failed write is reported
  EXPECT_THROW(RemoveConnection(1), RegistryError);
  EXPECT_TRUE(LoadConnection(1) && gstrDSN == "S2");
}

TEST(SqlErrorReport, EachSiteWrapsErrorsInItsMarksAndAdds911AtTheTableTest) {
  auto record = [](int32_t number, int retcode) {
    return rdo::rdoError{number, "E" + std::to_string(number), retcode, "HY000"};
  };
  const std::vector<rdo::rdoError> two = {record(1, -1), record(2, -1)};
  EXPECT_EQ(SqlErrorReport(two, kEngineInstallMarks) + "|" + SqlErrorReport(two, kTableBuildMarks) +
                "|" + SqlErrorReport(two, kTablesExistMarks) + "|" +
                SqlErrorReport(two, kSyntaxCheckMarks),
            " [[E1]]  [[E2]] |[[E1]][[E2]]|[[E1]] [[E2]] | [[E1]]  [[E2]] ");
  EXPECT_EQ(SqlErrorReport({record(5701, 1)}, kEngineInstallMarks), "");  // informational only
  const std::string no_db = "[[The DSN supplied points to a database that does not exist.]] ";
  EXPECT_EQ(SqlErrorReport({record(911, -1)}, kTablesExistMarks) + "|" +
                SqlErrorReport({record(911, -1)}, kTableBuildMarks),
            "[[E911]] " + no_db + "|[[E911]]");
  EXPECT_EQ(SqlErrorReport({record(911, 1)}, kTablesExistMarks), no_db);  // even informational
}

}  // namespace
}  // namespace corvanty
