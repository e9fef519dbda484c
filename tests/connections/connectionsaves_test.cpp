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
#include <sstream>

#include "connections/connectionstore.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

// Runs body in a child process writing its lines into file, and returns the
// child's id. The child ends with _exit: nothing of the test runner runs twice.
pid_t InChild(const std::string& file, const std::function<void(std::ostream&)>& body) {
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

std::vector<std::string> Lines(const std::string& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Two processes save 200 connections each, all at once; meanwhile a third
// lists the connections over and over and checks each entry is whole.
TEST(ConnectionSaves, TwoProcessesSavingAtOnceKeepEveryEntryWholeUnderItsOwnNumber) {
  testing::TempRegistry registry;
  testing::TempDir dir;
  constexpr int kSavesEach = 200;
  const std::string stop = dir.File("stop");
  const auto saver = [&](char who) {
    return [who](std::ostream& out) {
      for (int i = 0; i < kSavesEach; ++i) {
        const std::string tag = who + std::to_string(i);
        out << SaveNewConnection("S" + tag, "U" + tag, "W" + tag) << ' ' << tag << '\n';
      }
    };
  };
  pid_t lister = InChild(dir.File("listed"), [&](std::ostream& out) {
    size_t listings = 0;
    for (; !std::filesystem::exists(stop); ++listings)
      for (const ListedConnection& entry : ListConnectionsWithLogins())
        if (entry.dsn.substr(1) != entry.uid.substr(1))
          out << "fault: mixed " << entry.dsn << ' ' << entry.uid << '\n';
    out << listings << " listings\n";
  });
  pid_t savers[] = {InChild(dir.File("a"), saver('a')), InChild(dir.File("b"), saver('b'))};
  for (pid_t pid : savers) waitpid(pid, nullptr, 0);
  std::ofstream{stop};
  waitpid(lister, nullptr, 0);

  std::vector<std::string> listed = Lines(dir.File("listed"));
  ASSERT_EQ(listed.size(), 1u) << listed.front();
  EXPECT_NE(listed.front(), "0 listings");
  std::map<int, std::string> saved;  // number printed -> the tag of that save
  for (const char* file : {"a", "b"})
    for (const std::string& line : Lines(dir.File(file))) {
      std::istringstream words(line);
      int number = 0;
      std::string tag;
      ASSERT_TRUE(words >> number >> tag) << line;
      EXPECT_TRUE(saved.emplace(number, tag).second) << "number " << number << " given twice";
    }
  ASSERT_EQ(saved.size(), 2u * kSavesEach);
  EXPECT_EQ(saved.begin()->first, 1);
  EXPECT_EQ(saved.rbegin()->first, 2 * kSavesEach);
  for (const auto& [number, tag] : saved) {
    ASSERT_TRUE(LoadConnection(static_cast<int16_t>(number))) << number;
    EXPECT_EQ(gstrDSN + gstrUID + gstrPWD, "S" + tag + "U" + tag + "W" + tag) << number;
  }
  ResetConnectionParameters();
}

class SavedConnections : public ::testing::Test {
 protected:
  void TearDown() override { ResetConnectionParameters(); }
  testing::TempRegistry registry_;
};

TEST_F(SavedConnections, RemovingOneKeepsTheOthersUnderTheirNumbersAndTheNextSaveFillsTheGap) {
  for (int number = 1; number <= 11; ++number)
    ASSERT_EQ(SaveNewConnection("S" + std::to_string(number), "u", "p"), number);
  EXPECT_TRUE(RemoveConnection(1));
  EXPECT_FALSE(RemoveConnection(1));
  EXPECT_FALSE(RemoveConnection(12));
  for (int16_t kept : {10, 11}) {  // keys 10 and 11 start like key 1: they stay
    ASSERT_TRUE(LoadConnection(kept));
    EXPECT_EQ(gstrDSN, "S" + std::to_string(kept));
  }
  std::vector<std::string> list;
  ListConnections(list);
  EXPECT_EQ(list, std::vector<std::string>{""});  // the list stops at the gap
  EXPECT_EQ(SaveNewConnection("New", "n", ""), 1);
  ASSERT_TRUE(LoadConnection(1));
  EXPECT_EQ(gstrConnect, "DSN=New;UID=n;PWD=;");
  ListConnections(list);
  EXPECT_EQ(list.size(), 12u);
}

TEST_F(SavedConnections, AFileOthersCouldReadIsClosedToThemBeforeAPasswordGoesIn) {
  ASSERT_EQ(SaveNewConnection("A", "u", ""), 1);
  ASSERT_EQ(chmod(registry_.Path().c_str(), 0644), 0);
  ASSERT_EQ(SaveNewConnection("B", "u", "secret"), 2);
  struct stat info {};
  ASSERT_EQ(stat(registry_.Path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace corvanty
