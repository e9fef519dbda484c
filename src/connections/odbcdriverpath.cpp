// SPDX-License-Identifier: Apache-2.0
#include "connections/odbcdriverpath.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace corvanty {

namespace fs = std::filesystem;

namespace {

// The driver library chosen by the environment variable, else the first
// file of that name in the usual library folders; "" when there is none.
std::string DriverPath(const char* variable, const std::string& name) {
  if (const char* chosen = std::getenv(variable); chosen && *chosen) return chosen;
  std::vector<fs::path> folders;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator("/usr/lib", ignored))
    folders.push_back(entry.path() / "odbc");  // Debian's multiarch folders
  for (const char* folder : {"/usr/lib/odbc", "/usr/lib64", "/usr/local/lib", "/usr/lib"})
    folders.emplace_back(folder);
  for (const fs::path& folder : folders)
    if (fs::is_regular_file(folder / name, ignored)) return (folder / name).string();
  return "";
}

}  // namespace

std::string SqliteOdbcDriverPath() {
  return DriverPath("CORVANTY_SQLITE_ODBC_DRIVER", "libsqlite3odbc.so");
}

std::string PostgresOdbcDriverPath() {
  return DriverPath("CORVANTY_POSTGRES_ODBC_DRIVER", "psqlodbcw.so");
}

}  // namespace corvanty
