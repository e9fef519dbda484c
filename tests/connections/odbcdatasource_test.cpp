// SPDX-License-Identifier: Apache-2.0
// Writing data sources into the user's odbc.ini: three programs writing at
// once both keep what they wrote, nothing is left beside the file, and the
// rewritten file keeps the permissions and the link it had.
#include "connections/odbcdatasource.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "connections/datasourcecheck.h"
#include "support/corvantycli.h"
#include "support/odbcfixture.h"
#include "support/tempdir.h"

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

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// An odbc.ini may hold passwords: the replacement written beside it must not
// widen (nor narrow) what its owner allowed; a new one follows the umask.
TEST(OdbcDataSources, TheRewrittenFileKeepsItsModeAndLinkAndANewOneFollowsTheUmask) {
  testing::OdbcFixture odbc;
  const std::string ini = odbc.File("odbc.ini");
  std::filesystem::remove(ini);
  const mode_t usual = umask(027);
  WriteSqliteDataSource("First", "/srv/first.db", "");
  EXPECT_EQ(ModeOf(ini), 0640u);
  umask(usual);
  for (mode_t mode : {0600, 0604, 0660}) {
    ASSERT_EQ(chmod(ini.c_str(), mode), 0);
    WriteSqliteDataSource("Mode" + std::to_string(mode), "/srv/m.db", "");
    EXPECT_EQ(ModeOf(ini), mode);
  }
  // A linked odbc.ini is rewritten where it lies; the link stays a link.
  const std::string target = odbc.File("shared.ini");
  std::filesystem::rename(ini, target);
  std::filesystem::create_symlink(target, ini);
  WriteSqliteDataSource("Linked", "/srv/l.db", "");
  EXPECT_TRUE(std::filesystem::is_symlink(ini));
  EXPECT_EQ(ModeOf(target), 0660u);
  std::ifstream shared(target);
  std::string text((std::istreambuf_iterator<char>(shared)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[Linked]"), std::string::npos);
}

// The user data source file the driver manager itself names.
std::string DriverManagersUserFile() {
  std::string listing;
  if (FILE* odbcinst = popen("odbcinst -j", "r")) {
    char line[4096];
    while (fgets(line, sizeof line, odbcinst)) listing += line;
    pclose(odbcinst);
  }
  const std::string label = "USER DATA SOURCES..: ";
  const size_t at = listing.find(label);
  if (at == std::string::npos) return "odbcinst -j named none: " + listing;
  const size_t start = at + label.size();
  return listing.substr(start, listing.find('\n', start) - start);
}

// A data source is written where the driver manager will look for it: with
// $HOME naming another folder (a tool run with a borrowed HOME), that is
// still the account's own home, not $HOME.
TEST(OdbcDataSources, AreWrittenToTheFileTheDriverManagerReadsWhateverHomeSays) {
  testing::TempDir dir;
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* odbcini = std::getenv("ODBCINI");
  const std::string kept_odbcini = odbcini ? odbcini : "";
  unsetenv("ODBCINI");
  setenv("HOME", dir.Path().c_str(), 1);
  const std::string ours = rdo::UserOdbcIni(), theirs = DriverManagersUserFile();
  setenv("HOME", home.c_str(), 1);
  if (odbcini) setenv("ODBCINI", kept_odbcini.c_str(), 1);
  EXPECT_EQ(ours, theirs);
  EXPECT_EQ(ours.rfind(dir.Path(), 0), std::string::npos);
}

}  // namespace
}  // namespace corvanty
