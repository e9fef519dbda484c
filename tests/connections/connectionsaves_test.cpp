// Saving and removing connections: whole entries under numbers of their own,
// also with two processes saving at the same moment.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "connections/connectionstore.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

class SavedConnections : public ::testing::Test {
 protected:
  void TearDown() override { ResetConnectionParameters(); }
  // Runs body in a child process writing into file; the child ends with
  // _exit, so nothing of the test runner runs twice.
  static pid_t InChild(const std::string& file, const std::function<void(std::ostream&)>& body) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    std::ofstream out(file);
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

// Two processes save 200 connections each, all at once, while a third lists
// them over and over; each save prints its number and its own tag.
TEST_F(SavedConnections, TwoProcessesSavingAtOnceKeepEveryEntryWholeUnderItsOwnNumber) {
  const std::string stop = dir_.File("stop");
  pid_t lister = InChild(dir_.File("listed"), [&](std::ostream& out) {
    while (!std::filesystem::exists(stop))
      for (const ListedConnection& entry : ListConnectionsWithLogins())
        if (entry.dsn.substr(1) != entry.uid.substr(1)) out << entry.dsn << entry.uid << '\n';
  });
  pid_t savers[2];
  for (char who : {'a', 'b'})
    savers[who - 'a'] = InChild(dir_.File({who}), [who](std::ostream& out) {
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
      const size_t blank = line.find(' ');
      ASSERT_NE(line.rfind("fault", 0), 0u) << line;
      EXPECT_TRUE(saved.emplace(std::stoi(line), line.substr(blank + 1)).second) << line;
    }
  }
  ASSERT_EQ(saved.size(), 400u);
  EXPECT_EQ(saved.rbegin()->first, 400);
  for (const auto& [number, tag] : saved) {
    ASSERT_TRUE(LoadConnection(static_cast<int16_t>(number)));
    EXPECT_EQ(gstrDSN + gstrUID + gstrPWD, "S" + tag + "U" + tag + "W" + tag) << number;
  }
}

TEST_F(SavedConnections, RemovingOneKeepsTheOthersNumbersAndTheNextSaveFillsTheGap) {
  for (int number = 1; number <= 11; ++number)
    ASSERT_EQ(SaveNewConnection("S" + std::to_string(number), "u", "p"), number);
  ASSERT_EQ(chmod(registry_.Path().c_str(), 0644), 0);
  EXPECT_TRUE(RemoveConnection(1));
  EXPECT_FALSE(RemoveConnection(1));
  ASSERT_TRUE(LoadConnection(10));  // key 10 starts like key 1: it stays
  EXPECT_EQ(gstrDSN, "S10");
  std::vector<std::string> list;
  ListConnections(list);
  EXPECT_EQ(list, std::vector<std::string>{""});  // the list stops at the gap
  EXPECT_EQ(SaveNewConnection("New", "n", "secret"), 1);
  ListConnections(list);
  EXPECT_EQ(list.size(), 12u);
  struct stat info {};  // closed to others before the password went in
  ASSERT_EQ(stat(registry_.Path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace corvanty
