// The saved corpus of the generator's fuzz target replayed through its
// checks (a statement SQLite does not take as the one search it is meant to
// be, or an unclosed literal, fails).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/generatorfuzzinput.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;

TEST(GeneratorCorpus, EveryStatementIsOneSearchSqliteAccepts) {
  size_t replayed = 0;
  for (const auto& entry :
       fs::directory_iterator(fs::path(CORVANTY_SOURCE_DIR) / "tests/fuzz/corpus")) {
    std::stringstream content;
    content << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    EXPECT_EQ(fuzz::FaultyStatement(content.str()), std::nullopt) << entry.path();
    ++replayed;
  }
  EXPECT_GE(replayed, 12u);
}

}  // namespace
}  // namespace corvanty
