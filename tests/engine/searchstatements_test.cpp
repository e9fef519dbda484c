// Statement generation: the SQL Server text character for character. The
// SQLite statements are run by the search engine's tests.
#include "engine/searchstatements.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

// A column neither shown nor searched, the guide's key.
GuideColumn Key(std::string qualifier, std::string name) {
  return {qualifier, name, 0, 0, "+ ' ' +", 0, "(none)", -1};
}

GuideDefinition Guide(int32_t id, std::vector<GuideColumn> columns, std::string where = "WHERE ",
                      std::string from = "FROM t") {
  return {id, true, from, where, columns};
}

// The statement of a search over one guide, or the guide's error.
std::string SqlServerText(const GuideDefinition& guide, std::string_view criteria) {
  const SearchStatements made =
      GenerateSearchStatements({guide}, criteria, rdo::Dialect::SqlServer);
  EXPECT_EQ(made.Error, "");
  return made.Guides.size() == 1 ? made.Guides[0].Error + made.Guides[0].SQL : "not one guide";
}

// Guide 1 showing t.a without a key, up to its WHERE clause.
const std::string kSelectA =
    "SELECT CONVERT(varchar(200),t.a) ResultList, 0 IDColumn, 1 DSG_ID  FROM t";
const GuideColumn kShownSearchedA{"t", "a"};

TEST(SqlServerStatement, IsTheProceduresTextCharacterForCharacter) {
  const GuideColumn shownA{"t", "a", -1, 0};
  const struct {
    const char* what;
    GuideDefinition guide;
    const char* criteria;
    std::string sql;
  } cases[] = {
      {"key first, own WHERE",
       Guide(5, {Key("t", "id"), kShownSearchedA, {"t", "b", -1, 0}}, "WHERE t.x = 1"), "abc",
       "SELECT CONVERT(varchar(200),t.a+ ' ' +t.b) ResultList,t.id IDColumn, 5 DSG_ID  FROM t "
       "WHERE t.x = 1 AND ( (t.a LIKE '%abc%') )"},
      {"no search column, own WHERE", Guide(1, {shownA}, "WHERE t.x = 1"), "abc",
       kSelectA + " WHERE t.x = 1 "},
      {"no search column, a stored WHERE alone", Guide(1, {shownA}), "abc", kSelectA + "   "},
      {"a key flag on a later column", Guide(1, {kShownSearchedA, Key("t", "id")}), "abc",
       kSelectA + "  WHERE  (t.a LIKE '%abc%')  "},
      {"the columns editor's separator and a conversion",
       Guide(7,
             {{"c", "Name", -1, 0, "+', '+", 0, "(none)", -1},
              {"o", "Total", -1, 0, "+', '+", -1, "CONVERT(varchar,o.Total)"}},
             "WHERE c.ID = o.CustID", "FROM Customers c, Orders o"),
       "x",
       "SELECT CONVERT(varchar(200),c.Name+', '+CONVERT(varchar,o.Total)) ResultList,c.Name "
       "IDColumn, 7 DSG_ID  FROM Customers c, Orders o WHERE c.ID = o.CustID "},
      {"every search column in sequence, joined by OR",
       Guide(
           1,
           {kShownSearchedA, {"t", "b", 0, 0}, {"t", "n", 0, -1, "", -1, "CONVERT(varchar,t.n)"}}),
       "\"x\" or \"yz\"",
       kSelectA + "  WHERE  (t.a LIKE '%x%' OR t.a LIKE '%yz%') OR  (CONVERT(varchar,t.n) LIKE "
                  "'%x%' OR CONVERT(varchar,t.n) LIKE '%yz%')  "},
      // Of a last separator with outer blanks, as many leading characters
      // stay as it has outer blanks: the procedure's statement breaks too.
      {"a last separator cut by its trimmed length",
       Guide(1, {{"t", "a", -1, 0, " + ' ' + "}, {"t", "b", -1, 0, " + ' ' + "}}), "x",
       "SELECT CONVERT(varchar(200),t.a + ' ' + t.b +) ResultList, 0 IDColumn, 1 DSG_ID  FROM t "
       "  "},
  };
  for (const auto& c : cases) EXPECT_EQ(SqlServerText(c.guide, c.criteria), c.sql) << c.what;
}

TEST(SearchConditions, CriteriaBecomeTheProceduresLikeConditions) {
  std::string accents;  // 300 characters of two bytes each
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
  const std::pair<std::string, std::string> cases[] = {
      // Plain text, matched as typed.
      {"  abc def ", " (t.a LIKE '%  abc def %')  "},
      // One quoted phrase.
      {"find \"red car\"", " (t.a LIKE '%red car%')  "},
      {"  \"  red car  \"  ", " (t.a LIKE '%red car%')  "},
      // Phrases joined by AND and OR in any case; of blanks inside the
      // quotes the first phrase loses its leading ones, the pattern as a
      // whole its trailing ones.
      {"\"a b\"   aNd   \"c\" Or \"d\"",
       " (t.a LIKE '%a b%' AND t.a LIKE '%c%' OR t.a LIKE '%d%')  "},
      {"\" red \" AND \" blue \"", " (t.a LIKE '%red %' AND t.a LIKE '% blue%')  "},
      // Any word beginning with AND joins; OR needs a blank after it; other
      // words after a phrase end the list (the procedure looped forever).
      {"\"red\" ANDROID \"blue\"", " (t.a LIKE '%red%' AND t.a LIKE '%blue%')  "},
      {"\"red\" OR\"blue\"", " (t.a LIKE '%red%')  "},
      {"\"red\" bluegreen", " (t.a LIKE '%red%')  "},
      // A lone phrase of one character (not byte) falls back to the text as
      // typed; joined phrases are used however short.
      {"\"a\"", " (t.a LIKE '%\"a\"%')  "},
      {"\"\xC3\xA9\"", " (t.a LIKE '%\"\xC3\xA9\"%')  "},
      {"\"a\" and \"b\"", " (t.a LIKE '%a%' AND t.a LIKE '%b%')  "},
      // Apostrophes are doubled.
      {"x') OR 1=1 --", " (t.a LIKE '%x'') OR 1=1 --%')  "},
      {"\"O'Brien\" AND \"it's\"", " (t.a LIKE '%O''Brien%' AND t.a LIKE '%it''s%')  "},
      // An unclosed quote takes the rest as the phrase.
      {"\"red car  ", " (t.a LIKE '%red car%')  "},
      {"\"red\" AND \"blu", " (t.a LIKE '%red%' AND t.a LIKE '%blu%')  "},
      // The criteria are cut at 255 characters before apostrophes are doubled.
      {std::string(254, 'x') + "'yz", " (t.a LIKE '%" + std::string(254, 'x') + "''%')  "},
      {accents, " (t.a LIKE '%" + accents.substr(0, 510) + "%')  "},
  };
  for (const auto& [criteria, conditions] : cases)
    EXPECT_EQ(SqlServerText(Guide(1, {kShownSearchedA}), criteria),
              kSelectA + "  WHERE " + conditions)
        << criteria;
}

}  // namespace
}  // namespace corvanty
