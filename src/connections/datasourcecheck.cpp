// SPDX-License-Identifier: Apache-2.0
#include "connections/datasourcecheck.h"

#include <odbcinst.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "connections/sqlitedatabase.h"

namespace corvanty::rdo {

namespace {

// The system's data source file: $ODBCSYSINI/odbc.ini, else /etc/odbc.ini.
std::string SystemOdbcIni() {
  const char* folder = std::getenv("ODBCSYSINI");
  return std::string(folder && *folder ? folder : "/etc") + "/odbc.ini";
}

std::string Normal(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

// "" for a readable regular file, else why it is not one ("is a folder").
std::string FileProblem(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
    return errno == ENOENT ? "does not exist"
                           : std::string("cannot be reached (") + std::strerror(errno) + ")";
  if (S_ISDIR(info.st_mode)) return "is a folder";
  if (!S_ISREG(info.st_mode)) return "is not a regular file";
  if (access(path.c_str(), R_OK) != 0)
    return std::string("cannot be read (") + std::strerror(errno) + ")";
  return "";
}

bool HasSqliteHeader(const std::string& path) {
  static const char kHeader[] = "SQLite format 3";  // and its NUL: 16 bytes
  char start[sizeof kHeader] = {};
  std::ifstream file(path, std::ios::binary);
  file.read(start, sizeof start);
  // An empty file is an empty database to SQLite.
  return file.gcount() == 0 ||
         (file.gcount() == sizeof start && std::memcmp(start, kHeader, sizeof start) == 0);
}

// True when another program holds the SQLite file locked against readers.
bool IsLocked(const std::string& path) {
  try {
    sqlite::Database(path, sqlite::Database::Mode::kReadOnly)
        .Exec("SELECT count(*) FROM sqlite_master");
  } catch (const sqlite::Error& error) {
    return error.IsLocked();
  }
  return false;
}

std::string Setting(const std::string& dsn, const char* key) {
  char value[4096] = "";
  SQLGetPrivateProfileString(dsn.c_str(), key, "", value, sizeof value, "odbc.ini");
  return value;
}

}  // namespace

std::string DataSourceNameProblem(const std::string& dsn) {
  if (dsn.size() <= kMaxDataSourceNameLength) return "";
  return "The data source name '" + dsn + "' is " + std::to_string(dsn.size()) +
         " characters long; the ODBC driver manager accepts at most " +
         std::to_string(kMaxDataSourceNameLength) + ".";
}

std::string UserOdbcIni() {
  if (const char* file = std::getenv("ODBCINI"); file && *file) return file;
  // A data source written under $HOME when it names another folder would
  // be one the driver manager never reads.
  passwd account{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  const bool known = getpwuid_r(getuid(), &account, buffer.data(), buffer.size(), &found) == 0 &&
                     found != nullptr && found->pw_dir != nullptr;
  return std::string(known ? found->pw_dir : "") + "/.odbc.ini";
}

std::string DescribedFile(const std::string& path) {
  std::string problem = FileProblem(path);
  return problem.empty() ? path : path + " (which " + problem + ")";
}

std::string UnknownDataSourceReport(const std::string& dsn) {
  const std::string user = Normal(UserOdbcIni()), system = Normal(SystemOdbcIni());
  const std::string start = "The data source '" + dsn + "' is ";
  if (user == system) return start + "not defined in " + DescribedFile(user) + ".";
  return start + "defined neither in " + DescribedFile(user) + " nor in " + DescribedFile(system) +
         ".";
}

std::string DatabaseFileReport(const std::string& dsn, bool read_failed) {
  const std::string path = Setting(dsn, "Database");
  if (path.empty() || path.front() != '/') return "";
  std::string problem = FileProblem(path);
  if (problem.empty() && !HasSqliteHeader(path)) problem = "is not a SQLite database";
  if (problem.empty() && read_failed && IsLocked(path)) {
    // The driver waits up to its Timeout setting (in milliseconds) for the lock.
    const std::string timeout = Setting(dsn, "Timeout");
    problem = "is locked by another program (still locked after the " +
              (timeout.empty() ? std::string("driver's wait") : timeout + " ms wait") +
              " the data source sets)";
  }
  if (problem.empty() && read_failed) problem = "is damaged or cut short";
  if (problem.empty()) return "";
  return "The database file " + path + " of data source '" + dsn + "' " + problem + ".";
}

}  // namespace corvanty::rdo
