// Conversions to varchar on SQLite and PostgreSQL give what SQL Server
// gives: a length of 30 when none is written, and its text of a date in the
// common styles; any other style refuses the guide. Statements generated for
// each server, run on it.
#include <gtest/gtest.h>

#include "engine/searchstatements.h"
#include "support/databasetest.h"
#include "support/postgresserver.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

using Texts = std::vector<std::string>;

// Event 1 has a title of 43 characters, of which the server's varchar keeps
// "The quick brown fox jumps over"; event 2 a date without a time.
const char kEvents[] =
    "CREATE TABLE events (id INTEGER PRIMARY KEY, at TEXT, title TEXT);"
    "INSERT INTO events VALUES (1, '2021-03-04 05:06:07', "
    "'The quick brown fox jumps over the lazy dog'), (2, '1999-12-31', 'Party');";

// Guide 9 over events: the key, then one column shown and searched through
// the conversion.
GuideDefinition EventsGuide(const std::string& conversion) {
  const GuideColumn key{"e", "id", 0, 0, "+ ' ' +", 0, "(none)", -1};
  const GuideColumn converted{"e", "at", -1, -1, "+ ' ' +", -1, conversion, 0};
  return {9, true, "FROM events e", "WHERE ", {key, converted}};
}

class Conversions : public ::testing::TestWithParam<rdo::Dialect> {
 protected:
  void SetUp() override {
    if (GetParam() == rdo::Dialect::Sqlite) return testing::ExecSqlite(file_, kEvents);
    testing::SkipWithoutPostgres();
    if (!IsSkipped() && !HasFailure())
      postgres_ = std::make_unique<testing::PostgresSchema>("EventsOnPostgres", kEvents);
  }
  // The first column of each row a query returns.
  Texts Query(const std::string& sql) {
    return postgres_ ? postgres_->Query(sql) : testing::SqliteColumn(file_, sql);
  }

  testing::TempDir dir_;
  const std::string file_ = dir_.File("events.db");
  std::unique_ptr<testing::PostgresSchema> postgres_;
};
INSTANTIATE_TEST_SUITE_P(On, Conversions, testing::kEachServer, testing::ServerParamName);

TEST_P(Conversions, GiveTheServersTextsOrRefuseTheGuide) {
  const rdo::Dialect server = GetParam();
  const std::string name = server == rdo::Dialect::Sqlite ? "SQLite" : "PostgreSQL";
  const struct {
    const char* conversion;
    const char* criteria;
    Texts found;  // ResultList*IDColumn, by IDColumn
  } cases[] = {
      {"CONVERT(varchar, e.title)", "r", {"The quick brown fox jumps over*1", "Party*2"}},
      {"CONVERT(varchar, e.title)", "jumps over", {"The quick brown fox jumps over*1"}},
      // Past the 30th character the server's text has nothing to find.
      {"CONVERT(varchar, e.title)", "lazy", {}},
      {"CONVERT(varchar, e.at, 101)", "/", {"03/04/2021*1", "12/31/1999*2"}},
      {"CONVERT(varchar, e.at, 103)", "04/03", {"04/03/2021*1"}},
      {"CONVERT(varchar, e.at, 112)", "", {"20210304*1", "19991231*2"}},
      {"CONVERT(varchar, e.at, 120)", "", {"2021-03-04 05:06:07*1", "1999-12-31 00:00:00*2"}},
      {"CONVERT(varchar, e.at, 121)",
       "",
       {"2021-03-04 05:06:07.000*1", "1999-12-31 00:00:00.000*2"}},
      {"CONVERT(varchar(7), e.at, 120)", "-12", {"1999-12*2"}},
  };
  for (const auto& c : cases) {
    const SearchStatements generated =
        GenerateSearchStatements({EventsGuide(c.conversion)}, c.criteria, server);
    ASSERT_EQ(generated.Guides.size(), 1u);
    ASSERT_EQ(generated.Guides[0].Error, "") << c.conversion;
    EXPECT_EQ(Query("SELECT ResultList || '*' || IDColumn FROM (" + generated.Guides[0].SQL +
                    ") AS found ORDER BY IDColumn"),
              c.found)
        << c.conversion << " / " << c.criteria;
  }
  // Any other style refuses the guide, naming the conversion as stored.
  for (const auto& [expression, named] :
       {std::pair{"e.id + CONVERT(varchar, e.at, 104)", "CONVERT(varchar, e.at, 104)"},
        {"CONVERT(varchar(8), e.at, @style, 2)", "CONVERT(varchar(8), e.at, @style, 2)"}})
    EXPECT_EQ(GenerateSearchStatements({EventsGuide(expression)}, "x", server).Guides.at(0).Error,
              "Error: Database Search Guide 9 cannot be searched on " + name + ": " + named +
                  " converts with a style that has no " + name +
                  " translation (there are translations for the styles 101, 103, 112, 120 and "
                  "121).");
}

}  // namespace
}  // namespace corvanty
