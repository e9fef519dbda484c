// SPDX-License-Identifier: Apache-2.0
// Writing data sources into the user's odbc.ini: three programs writing at
// once both keep what they wrote, and nothing is left beside the file.
#include "connections/odbcdatasource.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "support/corvantycli.h"
#include "support/odbcfixture.h"

namespace corvanty {
namespace {

TEST(OdbcDataSources, ThreeProgramsWritingAtOnceKeepEverySectionAndLeaveNoFileBeside) {
  testing::OdbcFixture odbc;
  pid_t writers[3];
  for (char who : {'a', 'b', 'c'}) {
    writers[who - 'a'] = fork();
    if (writers[who - 'a'] != 0) continue;
    int failed = 0;  // the child ends with _exit: nothing of the runner runs twice
    for (int i = 0; i < 40; ++i) {
      try {
        WriteSqliteDataSource(who + std::to_string(i), "/srv/" + std::to_string(i) + ".db", "");
      } catch (...) {
        failed = 1;
      }
    }
    _exit(failed);
  }
  for (pid_t pid : writers) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::ifstream ini(odbc.File("odbc.ini"));
  std::set<std::string> sections;
  for (std::string line; std::getline(ini, line);)
    if (line.rfind('[', 0) == 0) EXPECT_TRUE(sections.insert(line).second) << line;
  EXPECT_EQ(sections.size(), 120u) << "a write was lost";
  EXPECT_EQ(sections.count("[a39]") + sections.count("[c0]"), 2u);
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(odbc.File("")))
    files.insert(entry.path().filename().string());
  EXPECT_EQ(files, (std::set<std::string>{"odbc.ini", "odbcinst.ini"}));
}

}  // namespace
}  // namespace corvanty
