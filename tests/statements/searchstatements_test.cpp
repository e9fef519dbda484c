// SPDX-License-Identifier: Apache-2.0
// Statement generation: the SQL Server text character for character. The
// SQLite statements are run by the search engine's tests.
#include "statements/searchstatements.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

// The key: a column neither shown nor searched.
const GuideColumn kKeyId{"t", "id", 0, 0, "", 0, "", -1};

GuideDefinition Guide(int32_t id, std::vector<GuideColumn> columns, std::string where = "WHERE ",
                      std::string from = "FROM t") {
  return {id, true, from, where, columns};
}

// The statement of a search over one guide, or the guide's error.
std::string SqlServerText(const GuideDefinition& guide, std::string_view criteria) {
  const auto made =
      GenerateSearchStatements({guide}, SearchCriteria(criteria), rdo::Dialect::SqlServer);
  return made.Guides.size() == 1 ? made.Guides[0].Error + made.Guides[0].SQL : "not one guide";
}

// Guide 1 showing t.a without a key, up to its WHERE clause.
const std::string kSelectA =
    "SELECT CONVERT(varchar(200),t.a) ResultList, 0 IDColumn, 1 DSG_ID  FROM t";
const GuideColumn kShownSearchedA{"t", "a"};

TEST(SqlServerStatement, IsTheProceduresTextCharacterForCharacter) {
  const GuideColumn shownA{"t", "a", -1, 0};
  const std::pair<GuideDefinition, std::string> cases[] = {
      // The key first, a WHERE clause of its own.
      {Guide(5, {kKeyId, kShownSearchedA, {"t", "b", -1, 0}}, "WHERE t.x = 1"),
       "SELECT CONVERT(varchar(200),t.a+ ' ' +t.b) ResultList,t.id IDColumn, 5 DSG_ID  FROM t "
       "WHERE t.x = 1 AND ( (t.a LIKE '%abc%') )"},
      // No search column, with a WHERE clause of its own and with the stored
      // WHERE alone.
      {Guide(1, {shownA}, "WHERE t.x = 1"), kSelectA + " WHERE t.x = 1 "},
      {Guide(1, {shownA}), kSelectA + "   "},
      // A key flag on a later column.
      {Guide(1, {kShownSearchedA, kKeyId}), kSelectA + "  WHERE  (t.a LIKE '%abc%')  "},
      // The columns editor's separator and a conversion.
      {Guide(7,
             {{"c", "Name", -1, 0, "+', '+", 0, "(none)", -1},
              {"o", "Total", -1, 0, "+', '+", -1, "CONVERT(varchar,o.Total)"}},
             "WHERE c.ID = o.CustID", "FROM Customers c, Orders o"),
       "SELECT CONVERT(varchar(200),c.Name+', '+CONVERT(varchar,o.Total)) ResultList,c.Name "
       "IDColumn, 7 DSG_ID  FROM Customers c, Orders o WHERE c.ID = o.CustID "},
      // Every search column in sequence, joined by OR.
      {Guide(1, {kShownSearchedA, {"t", "b", 0, 0}, {"t", "n", 0, -1, "", -1, "CONVERT(t.n)"}}),
       kSelectA + "  WHERE  (t.a LIKE '%abc%') OR  (CONVERT(t.n) LIKE '%abc%')  "},
      // Of a last separator with outer blanks, as many leading characters
      // stay as it has outer blanks: the procedure's statement breaks too.
      {Guide(1, {{"t", "a", -1, 0, " + ' ' + "}, {"t", "b", -1, 0, " + ' ' + "}}),
       "SELECT CONVERT(varchar(200),t.a + ' ' + t.b +) ResultList, 0 IDColumn, 1 DSG_ID  FROM t "
       "  "},
  };
  for (const auto& [guide, sql] : cases) EXPECT_EQ(SqlServerText(guide, "abc"), sql);
}

TEST(SearchConditions, CriteriaBecomeTheProceduresLikeConditions) {
  std::string accents;  // 300 characters of two bytes each
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
  const std::string kOrA = "%' OR t.a LIKE '%", kAndA = "%' AND t.a LIKE '%";
  const std::pair<std::string, std::string> cases[] = {
      // Plain text, matched as typed.
      {"  abc def ", "  abc def "},
      // One quoted phrase.
      {"find \"red car\"", "red car"},
      // Phrases joined by AND and OR in any case; of blanks inside the
      // quotes the first phrase loses its leading ones, the pattern as a
      // whole its trailing ones.
      {"\"a b\"   aNd   \"c\" Or \"d\"", "a b" + kAndA + "c" + kOrA + "d"},
      {"\" red \" AND \" blue \"", "red " + kAndA + " blue"},
      // Any word beginning with AND joins; OR needs a blank after it; other
      // words after a phrase end the list (the procedure looped forever).
      {"\"red\" ANDROID \"blue\"", "red" + kAndA + "blue"},
      {"\"red\" OR\"blue\"", "red"},
      {"\"red\" bluegreen", "red"},
      // A lone phrase of one character (not byte) falls back to the text as
      // typed; joined phrases are used however short.
      {"\"a\"", "\"a\""},
      {"\"\xC3\xA9\"", "\"\xC3\xA9\""},
      {"\"a\" and \"b\"", "a" + kAndA + "b"},
      // Apostrophes are doubled.
      {"x') OR 1=1 --", "x'') OR 1=1 --"},
      {"\"O'Brien\" AND \"it's\"", "O''Brien" + kAndA + "it''s"},
      // An unclosed quote takes the rest as the phrase.
      {"\"red car  ", "red car"},
      {"\"red\" AND \"blu", "red" + kAndA + "blu"},
      // The criteria are cut at 255 characters before apostrophes are doubled.
      {std::string(254, 'x') + "'yz", std::string(254, 'x') + "''"},
      {accents, accents.substr(0, 510)},
  };
  for (const auto& [criteria, pattern] : cases)
    EXPECT_EQ(SqlServerText(Guide(1, {kShownSearchedA}), criteria),
              kSelectA + "  WHERE  (t.a LIKE '%" + pattern + "%')  ")
        << criteria;
}

}  // namespace
}  // namespace corvanty
