// Conversions to varchar and list pieces on SQLite: the translated texts, and
// what they find run through SQLite itself, which is what the server gives: a
// length of 30 when none is written, and the server's text of a date in the
// common styles; any other style refuses the guide.
#include <gtest/gtest.h>

#include "engine/searchstatements.h"
#include "engine/searchsyntax.h"
#include "support/databasetest.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

using rdo::Dialect;

TEST(SqliteTranslation, PlainConversionsBecomeCastsAndPlusesOutsideLiteralsBars) {
  const std::pair<const char*, const char*> expressions[] = {
      {"convert ( VARCHAR ( 10 ) , o.Day )", "substr(CAST(o.Day AS TEXT), 1, 10)"},
      // varchar alone is 30 characters long.
      {"CONVERT(varchar(5), CONVERT(varchar, f(a, b)))",
       "substr(CAST(substr(CAST(f(a, b) AS TEXT), 1, 30) AS TEXT), 1, 5)"},
      {"x + CONVERT(varchar,'a)b') + y",
       "ifnull(x,'')||ifnull(substr(CAST('a)b' AS TEXT), 1, 30),'')||ifnull(y,'')"},
      // A + inside a conversion's argument is the argument's own arithmetic.
      {"CONVERT(varchar, c.id + 1) + ' / ' + c.city",
       "ifnull(substr(CAST(c.id + 1 AS TEXT), 1, 30),'')||ifnull(' / ','')||ifnull(c.city,'')"},
      // A date style becomes the text strftime writes in it, cut alike.
      {"CONVERT(varchar(10), o.Day, 120)", "substr(strftime('%Y-%m-%d %H:%M:%S', o.Day), 1, 10)"},
      {"CONVERT(varchar, f(o.Day, 1) , 103 )", "substr(strftime('%d/%m/%Y', f(o.Day, 1)), 1, 30)"},
      // No plain conversion: kept as written.
      {"CONVERT(int, o.n)", "CONVERT(int, o.n)"},
      {"MYCONVERT(varchar, o.n)", "MYCONVERT(varchar, o.n)"},
      {"+o.n", "+o.n"},
      {"'CONVERT(varchar, o.n)'", "'CONVERT(varchar, o.n)'"},
      {"CONVERT(varchar, o.n", "CONVERT(varchar, o.n"},
  };
  for (const auto& [expression, sqlite] : expressions)
    EXPECT_EQ(ValueExpression(expression, Dialect::Sqlite), sqlite);
  EXPECT_EQ(ListSeparator("+'it''s + more'+", Dialect::Sqlite), "||'it''s + more'||");
}

TEST(SqliteConversions, GiveTheServersTextsOrRefuseTheGuide) {
  // Event 1 has a title of 43 characters, of which the server's varchar
  // keeps "The quick brown fox jumps over"; event 2 a date without a time.
  testing::TempDir dir;
  const std::string file = dir.File("events.db");
  testing::ExecSqlite(
      file,
      "CREATE TABLE events (id INTEGER PRIMARY KEY, at TEXT, title TEXT);"
      "INSERT INTO events VALUES (1, '2021-03-04 05:06:07', "
      "'The quick brown fox jumps over the lazy dog'), (2, '1999-12-31', 'Party');");
  // Guide 9 over events: the key, then one column shown and searched
  // through the conversion. The statement's error, or what it finds:
  // ResultList*IDColumn of each row, by IDColumn.
  auto found = [&](const std::string& conversion, const std::string& criteria) {
    const GuideStatement made =
        GenerateSearchStatements(
            {{9,
              true,
              "FROM events e",
              "WHERE ",
              {{"e", "id", 0, 0, "", 0, "(none)", -1}, {"e", "at", -1, -1, "", -1, conversion}}}},
            criteria, Dialect::Sqlite)
            .Guides.at(0);
    if (!made.Error.empty()) return made.Error;
    std::string rows;
    for (const std::string& row :
         testing::SqliteColumn(file, "SELECT ResultList || '*' || IDColumn FROM (" + made.SQL +
                                         ") ORDER BY IDColumn"))
      rows += row + " | ";
    return rows;
  };
  const std::string kRefused = "Error: Database Search Guide 9 cannot be searched on SQLite: ";
  const std::string kStyles =
      " converts with a style that has no SQLite translation (there are translations for the "
      "styles 101, 103, 112, 120 and 121).";
  const struct {
    const char* conversion;
    const char* criteria;
    std::string found;
  } cases[] = {
      {"CONVERT(varchar, e.title)", "r", "The quick brown fox jumps over*1 | Party*2 | "},
      {"CONVERT(varchar, e.title)", "jumps over", "The quick brown fox jumps over*1 | "},
      // Past the 30th character the server's text has nothing to find.
      {"CONVERT(varchar, e.title)", "lazy", ""},
      {"CONVERT(varchar, e.at, 101)", "/", "03/04/2021*1 | 12/31/1999*2 | "},
      {"CONVERT(varchar, e.at, 103)", "04/03", "04/03/2021*1 | "},
      {"CONVERT(varchar, e.at, 112)", "", "20210304*1 | 19991231*2 | "},
      {"CONVERT(varchar, e.at, 120)", "", "2021-03-04 05:06:07*1 | 1999-12-31 00:00:00*2 | "},
      {"CONVERT(varchar, e.at, 121)", "",
       "2021-03-04 05:06:07.000*1 | 1999-12-31 00:00:00.000*2 | "},
      {"CONVERT(varchar(7), e.at, 120)", "-12", "1999-12*2 | "},
      // Any other style refuses the guide, naming the conversion as stored.
      {"e.id + CONVERT(varchar, e.at, 104)", "x",
       kRefused + "CONVERT(varchar, e.at, 104)" + kStyles},
      {"CONVERT(varchar(8), e.at, @style, 2)", "x",
       kRefused + "CONVERT(varchar(8), e.at, @style, 2)" + kStyles},
  };
  for (const auto& c : cases)
    EXPECT_EQ(found(c.conversion, c.criteria), c.found) << c.conversion << " / " << c.criteria;
}

}  // namespace
}  // namespace corvanty
