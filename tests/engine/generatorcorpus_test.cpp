// The fuzz target's checks, and the saved corpus replayed through them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/generatorfuzzinput.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;

TEST(GeneratorCorpus, TheChecksRefuseAnythingButOneSearchOverTheGuideTable) {
  EXPECT_EQ(fuzz::SqliteRefusal("SELECT name, id, 1 FROM t WHERE name LIKE '%a''b%' "),
            std::nullopt);
  for (const char* refused : {"SELECT name, id, 1 FROM t WHERE name LIKE '%a'b%'",
                              "SELECT name, id, 1 FROM t WHERE name LIKE '%a'; SELECT 1 --%'",
                              "SELECT name, id, 1 FROM t WHERE name LIKE ?", "SELECT name FROM t"})
    EXPECT_NE(fuzz::SqliteRefusal(refused), std::nullopt) << refused;
  EXPECT_FALSE(ApostrophesBalanced("a LIKE '%O'Brien%'"));
}

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
