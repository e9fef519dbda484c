// SPDX-License-Identifier: Apache-2.0
#include "cli/searchextensionpath.h"

#include <filesystem>

namespace corvanty::cli {

std::string SearchExtensionPath() {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) return "";
  const fs::path folder = program.parent_path();
  for (const fs::path& candidate :
       {folder / "corvanty_search.so",
        folder.parent_path() / CORVANTY_EXTENSION_INSTALL_DIR / "corvanty_search.so"})
    if (fs::is_regular_file(candidate, error)) return candidate.string();
  return "";
}

}  // namespace corvanty::cli
