// SPDX-License-Identifier: Apache-2.0
#pragma once
// Where the search service's SQLite extension library lies, for the demo's
// data source to load it.
#include <string>

namespace corvanty::cli {

// The library beside the running corvanty program (a build folder holds
// both), else in the extension folder the package installs it in, above the
// program's bin/ (lib/<multiarch>/corvanty); "" when neither holds it.
std::string SearchExtensionPath();

}  // namespace corvanty::cli
