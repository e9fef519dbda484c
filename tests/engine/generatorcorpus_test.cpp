// Replays the fuzz target's saved corpus through the same check.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/generatorfuzzinput.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;

// $CORVANTY_FUZZ_CORPUS, else the source tree's folder, else the folder as
// seen from the repository or from a build folder inside it.
fs::path CorpusFolder() {
  if (const char* folder = std::getenv("CORVANTY_FUZZ_CORPUS")) return folder;
#ifdef CORVANTY_SOURCE_DIR
  return fs::path(CORVANTY_SOURCE_DIR) / "tests/fuzz/corpus";
#else
  for (const char* candidate : {"tests/fuzz/corpus", "../tests/fuzz/corpus"})
    if (fs::is_directory(candidate)) return candidate;
  return "tests/fuzz/corpus";
#endif
}

TEST(GeneratorCorpus, EveryStatementClosesItsLiterals) {
  const fs::path folder = CorpusFolder();
  ASSERT_TRUE(fs::is_directory(folder)) << folder << " not found";
  size_t replayed = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(fuzz::UnbalancedStatement(content.str()), std::nullopt) << entry.path();
    ++replayed;
  }
  EXPECT_GE(replayed, 12u);
}

}  // namespace
}  // namespace corvanty
