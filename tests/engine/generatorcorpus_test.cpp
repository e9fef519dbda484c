// The fuzz target's checks: apostrophes that pair up, statements SQLite
// prepares as one search, and the saved corpus replayed through them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/sqlliteral.h"
#include "fuzz/generatorfuzzinput.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;

TEST(SqlLiteral, DoubledApostrophesKeepTheLiteralClosed) {
  EXPECT_EQ(QuoteApostrophes("O'Brien's"), "O''Brien''s");
  EXPECT_TRUE(ApostrophesBalanced("a LIKE '%O''Brien%'"));
  EXPECT_FALSE(ApostrophesBalanced("a LIKE '%O'Brien%'"));
  EXPECT_FALSE(ApostrophesBalanced("a LIKE '%x"));
}

TEST(GeneratorCorpus, SqliteRefusesAnythingButOneSearchOverTheGuideTable) {
  EXPECT_EQ(fuzz::SqliteRefusal("SELECT name, id, 1 FROM t WHERE name LIKE '%a''b%' "),
            std::nullopt);
  for (const char* refused : {"SELECT name, id, 1 FROM t WHERE name LIKE '%a'b%'",
                              "SELECT name, id, 1 FROM t WHERE name LIKE '%a'; SELECT 1 --%'",
                              "SELECT name, id, 1 FROM t WHERE name LIKE ?", "SELECT name FROM t"})
    EXPECT_NE(fuzz::SqliteRefusal(refused), std::nullopt) << refused;
}

TEST(GeneratorCorpus, EveryStatementIsOneSearchSqliteAccepts) {
  const fs::path folder = fs::path(CORVANTY_SOURCE_DIR) / "tests/fuzz/corpus";
  ASSERT_TRUE(fs::is_directory(folder)) << folder << " not found";
  size_t replayed = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(fuzz::FaultyStatement(content.str()), std::nullopt) << entry.path();
    ++replayed;
  }
  EXPECT_GE(replayed, 12u);
}

}  // namespace
}  // namespace corvanty
