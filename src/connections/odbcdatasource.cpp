// SPDX-License-Identifier: Apache-2.0
#include "connections/odbcdatasource.h"

#include <fcntl.h>
#include <odbcinst.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "connections/datasourcecheck.h"
#include "connections/filelock.h"
#include "connections/inisection.h"
#include "connections/odbcdriverpath.h"
#include "connections/sqlitedatabase.h"

namespace corvanty {

namespace {

[[noreturn]] void Fail(const std::string& name, const std::string& file, const std::string& cause) {
  throw std::runtime_error("cannot write the ODBC data source '" + name + "' into " + file + ": " +
                           cause);
}

// The file's whole text; false when it exists but cannot be read.
bool ReadWhole(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return errno == ENOENT;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Writes content to a new file beside path and renames it over path, so a
// reader, or a run interrupted at any instant, finds the old file or the
// new one, each whole. The new file keeps the old one's permissions.
void ReplaceWhole(const std::string& path, const std::string& content, const std::string& name) {
  std::string temporary = path + ".new-XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0)
    Fail(name, path, std::string("cannot create a file beside it: ") + std::strerror(errno));
  struct stat info {};
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0666 & ~mask);
  bool written =
      write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()) &&
      fsync(fd) == 0;
  int error = errno;
  close(fd);
  if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
    if (written) error = errno;
    unlink(temporary.c_str());
    Fail(name, path, std::strerror(error));
  }
  // The rename reaches the disk before the data source counts as written.
  int folder = open(std::filesystem::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
}

// The driver manager keeps settings it read for a while; a write through
// its installer is what makes it forget them. The one write that changes
// nothing anyone reads: no section removed from an empty scratch file
// beside the shared one, removed again at once.
void ForgetCachedSettings(const std::string& path) {
  std::string scratch = path + ".forget-XXXXXX";
  int fd = mkstemp(scratch.data());
  if (fd < 0) return;  // the settings are written; the cache lapses by itself
  close(fd);
  SQLWritePrivateProfileString("Corvanty", nullptr, nullptr, scratch.c_str());
  unlink(scratch.c_str());
}

// Replaces the user data source name by one with exactly these settings:
// the file is read once and rewritten whole under a lock that serialises
// the programs doing the same; other data sources stay byte for byte, and
// a definition that is already there as it would be written is not touched.
void WriteDataSource(const std::string& name, const IniSettings& settings) {
  for (const auto& [key, value] : settings)
    if (std::string problem = IniValueProblem(value); !problem.empty())
      throw std::runtime_error("the " + key + " value of the ODBC data source '" + name + "' " +
                               problem);
  std::string path = rdo::UserOdbcIni();
  // A linked file is replaced where it lies, keeping the link.
  std::error_code ignored;
  if (std::filesystem::is_symlink(path, ignored))
    path = std::filesystem::weakly_canonical(path, ignored).string();
  // The file itself is locked (a lock file beside it would stay behind), so
  // a file that cannot be opened is reported as the reader would see it.
  if (std::filesystem::exists(path, ignored) &&
      (!std::filesystem::is_regular_file(path, ignored) || access(path.c_str(), R_OK) != 0))
    Fail(name, rdo::DescribedFile(path), "it cannot be read");
  FileLock lock(path, "The ODBC data source file " + path, FileLock::Kind::kReplacedFile);
  std::string before;
  if (std::filesystem::is_directory(path, ignored) || !ReadWhole(path, before))
    Fail(name, rdo::DescribedFile(path), "it cannot be read");
  const std::string after = WithIniSection(before, name, IniSectionText(name, settings));
  if (after == before) return;
  ReplaceWhole(path, after, name);
  ForgetCachedSettings(path);
}

}  // namespace

void WriteSqliteDataSource(const std::string& name, const std::string& database_path,
                           const std::string& extension) {
  std::string driver = SqliteOdbcDriverPath();
  if (driver.empty())
    throw std::runtime_error(
        "the SQLite ODBC driver (libsqlite3odbc.so, package libsqliteodbc) is not installed");
  IniSettings settings = {{"Description", "Corvanty demo database"},
                          {"Driver", driver},
                          {"Database", database_path},
                          {"StepAPI", "1"},
                          {"Timeout", std::to_string(sqlite::kLockWaitMs)},
                          // A database file that has gone must be reported, not
                          // silently re-created empty.
                          {"NoCreat", "1"}};
  // The driver loads each library of this comma-separated list into every
  // connection it opens; a driver too old to know the setting ignores it.
  if (!extension.empty()) settings.emplace_back("LoadExt", extension);
  WriteDataSource(name, settings);
}

void WritePostgresDataSource(const std::string& name, const PostgresServerAddress& address,
                             const std::string& database, const std::string& schema) {
  std::string driver = PostgresOdbcDriverPath();
  if (driver.empty())
    throw std::runtime_error(
        "the PostgreSQL ODBC driver (psqlodbcw.so, package odbc-postgresql) is not installed");
  IniSettings settings = {{"Description", "Corvanty demo database on PostgreSQL"},
                          {"Driver", driver},
                          {"Servername", address.server},
                          {"Port", address.port},
                          {"Database", database},
                          {"UseDeclareFetch", "1"},
                          {"Fetch", "1000"}};
  if (!schema.empty()) {
    // Set by a query, which the driver runs for a data source marked
    // read-only too, where it refuses SET: the schema stays the one named.
    std::string path = "\"";
    for (char c : schema) path += c == '"' ? "\"\"" : c == '\'' ? "''" : std::string(1, c);
    settings.emplace_back("ConnSettings",
                          "SELECT pg_catalog.set_config('search_path', '" + path + "\"', false)");
  }
  WriteDataSource(name, settings);
}

}  // namespace corvanty
