// SPDX-License-Identifier: Apache-2.0
// The saved corpus of the generator's fuzz target replayed through its
// checks (a statement SQLite does not take as the one search it is meant to
// be, or an unclosed literal, fails).
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/generatorfuzzinput.h"
#include "support/corvantycli.h"

namespace corvanty {
namespace {

TEST(GeneratorCorpus, EveryStatementIsOneSearchSqliteAccepts) {
  size_t replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(CORVANTY_SOURCE_DIR) / "tests/fuzz/corpus")) {
    EXPECT_EQ(fuzz::FaultyStatement(testing::FileBytes(entry.path())), std::nullopt)
        << entry.path();
    ++replayed;
  }
  EXPECT_GE(replayed, 12u);
}

}  // namespace
}  // namespace corvanty
