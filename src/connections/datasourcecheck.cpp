#include "connections/datasourcecheck.h"

#include <odbcinst.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

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

}  // namespace

std::string UserOdbcIni() {
  if (const char* file = std::getenv("ODBCINI"); file && *file) return file;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.odbc.ini";
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
  char database[4096] = "";
  SQLGetPrivateProfileString(dsn.c_str(), "Database", "", database, sizeof database, "odbc.ini");
  const std::string path = database;
  if (path.empty() || path.front() != '/') return "";
  std::string problem = FileProblem(path);
  if (problem.empty() && !HasSqliteHeader(path)) problem = "is not a SQLite database";
  if (problem.empty() && read_failed) problem = "is damaged or cut short";
  if (problem.empty()) return "";
  return "The database file " + path + " of data source '" + dsn + "' " + problem + ".";
}

}  // namespace corvanty::rdo
