// SPDX-License-Identifier: Apache-2.0
// Conversions to varchar on SQLite and PostgreSQL, run through the server
// itself, give what SQL Server gives: a length of 30 when none is written,
// and its text of a date in the common styles; any other style refuses the
// guide. What is no plain conversion, and a + inside a literal, stay as
// written.
#include <gtest/gtest.h>

#include <tuple>

#include "statements/searchstatements.h"
#include "statements/searchsyntax.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

class Conversions : public testing::EachServer {};
INSTANTIATE_TEST_SUITE_P(On, Conversions, testing::kEachServer, testing::ServerParamName);

TEST_P(Conversions, GiveTheServersTextsOrRefuseTheGuide) {
  // Event 1 has a title of 43 characters, of which the server's varchar
  // keeps "The quick brown fox jumps over"; event 2 a date without a time.
  Seed("EventsOnPostgres",
       "CREATE TABLE events (id INTEGER PRIMARY KEY, at TEXT, title TEXT);"
       "INSERT INTO events VALUES (1, '2021-03-04 05:06:07', 'The quick brown fox jumps over the "
       "lazy dog'), (2, '1999-12-31', 'Party');");
  const std::string server = rdo::ServerName(GetParam());
  const std::string kRefused =
      "Error: Database Search Guide 9 cannot be searched on " + server + ": ";
  const std::string kStyles = " converts with a style that has no " + server +
                              " translation (there are translations for the styles 101, 103, "
                              "112, 120 and 121).";
  // Conversion, criteria, and the ResultList*IDColumn of each row found or
  // the guide's error.
  const std::tuple<const char*, const char*, std::string> cases[] = {
      {"CONVERT(varchar, e.title)", "r", "The quick brown fox jumps over*1 Party*2 "},
      // Past the 30th character the server's text has nothing to find.
      {"CONVERT(varchar, e.title)", "lazy", ""},
      // Conversions inside conversions, literals holding parentheses, a +
      // of the argument's own, blanks and case as typed.
      {"CONVERT(varchar(40), CONVERT(varchar, e.title)) + CONVERT(varchar,'a)b')", "overa)",
       "The quick brown fox jumps overa)b*1 "},
      {"convert ( VARCHAR ( 9 ) , e.title ) + ' (' + CONVERT(varchar, e.id + 1) + ')'", "",
       "The quick (2)*1 Party (3)*2 "},
      {"CONVERT(varchar, e.at, 101)", "/", "03/04/2021*1 12/31/1999*2 "},
      {"CONVERT(varchar, date(e.at) , 103 )", "/", "04/03/2021*1 31/12/1999*2 "},
      {"CONVERT(varchar, e.at, 112)", "", "20210304*1 19991231*2 "},
      {"CONVERT(varchar, e.at, 120)", "", "2021-03-04 05:06:07*1 1999-12-31 00:00:00*2 "},
      {"CONVERT(varchar, e.at, 121)", "", "2021-03-04 05:06:07.000*1 1999-12-31 00:00:00.000*2 "},
      {"CONVERT(varchar(7), e.at, 120)", "-12", "1999-12*2 "},
      // No plain conversion: kept as written.
      {"'CONVERT(varchar, e.id)'", "", "CONVERT(varchar, e.id)*1 CONVERT(varchar, e.id)*2 "},
      // Any other style refuses the guide, naming the conversion as stored.
      {"e.id + CONVERT(varchar, e.at, 104)", "x",
       kRefused + "CONVERT(varchar, e.at, 104)" + kStyles},
      {"CONVERT(varchar(8), e.at, @style, 2)", "x",
       kRefused + "CONVERT(varchar(8), e.at, @style, 2)" + kStyles},
  };
  for (const auto& [conversion, criteria, expected] : cases) {
    const GuideStatement made =
        GenerateSearchStatements(
            {{9,
              true,
              "FROM events e",
              "WHERE ",  // the key, the conversion
              {{"e", "id", 0, 0, "", 0, "(none)", -1}, {"e", "at", -1, -1, "", -1, conversion}}}},
            SearchCriteria(criteria), GetParam())
            .Guides.at(0);
    std::string found = made.Error;
    if (found.empty())
      for (const std::string& row : Query("SELECT ResultList || '*' || IDColumn FROM (" + made.SQL +
                                          ") AS found ORDER BY IDColumn"))
        found += row + " ";
    EXPECT_EQ(found, expected) << conversion << " / " << criteria;
  }
  // CONVERT only as a whole word: at the end of a longer name, also one
  // with non-ASCII letters, it is no conversion.
  for (const char* expression : {"CONVERT(int, o.n)", "MYCONVERT(varchar, o.n)",
                                 "\u00e9CONVERT(varchar, o.n)", "+o.n", "CONVERT(varchar, o.n"})
    EXPECT_EQ(ValueExpression(expression, ForDialect(GetParam())), expression);
  EXPECT_EQ(ListSeparator("+'it''s + more'+", ForDialect(GetParam())), "||'it''s + more'||");
}

}  // namespace
}  // namespace corvanty
