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
  const std::pair<const char*, const char*> cases[] = {
      {"SELECT name ResultList, id IDColumn, 1 DSG_ID FROM t WHERE name LIKE '%a''b%' ", nullptr},
      {"SELECT name, id, 1 FROM t WHERE name LIKE '%a'b%'", "syntax error"},
      {"SELECT name, id, 1 FROM t WHERE name LIKE '%a' ; SELECT 1 --%'", "text after"},
      {"SELECT name, id, 1 FROM t WHERE name LIKE ?", "a parameter"},
      {"SELECT name, id FROM t", "2 result columns"},
      {"SELECT name, id, 1 FROM nowhere", "no such table"},
  };
  for (const auto& [sql, refusal] : cases) {
    std::optional<std::string> found = fuzz::SqliteRefusal(sql);
    if (!refusal)
      EXPECT_EQ(found, std::nullopt) << sql;
    else
      EXPECT_NE(found.value_or("").find(refusal), std::string::npos) << sql << ": " << *found;
  }
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
