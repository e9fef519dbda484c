#include "connections/odbcdriverpath.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace corvanty {

namespace fs = std::filesystem;

std::string SqliteOdbcDriverPath() {
  if (const char* chosen = std::getenv("CORVANTY_SQLITE_ODBC_DRIVER"); chosen && *chosen)
    return chosen;
  const std::string name = "libsqlite3odbc.so";
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

}  // namespace corvanty
