#pragma once
// Where the search service's SQLite extension library lies, for the demo's
// data source to load it.
#include <string>

namespace corvanty::cli {

// The library beside the running corvanty program (a build folder holds
// both), else in lib/corvanty of the folder above it (an installed
// program in bin/); "" when neither holds it.
std::string SearchExtensionPath();

}  // namespace corvanty::cli
