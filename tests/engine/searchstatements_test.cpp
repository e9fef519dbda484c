#include "engine/searchstatements.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

using rdo::Dialect;

GuideColumn Column(std::string qualifier, std::string name, bool shown, bool searched,
                   bool key = false) {
  GuideColumn column;
  column.Column_qualifier = std::move(qualifier);
  column.Column_name = std::move(name);
  column.Show_in_list = shown ? -1 : 0;
  column.Is_search_column = searched ? -1 : 0;
  column.Is_key_column = key ? -1 : 0;
  return column;
}

GuideDefinition Guide(int32_t id, std::vector<GuideColumn> columns,
                      std::optional<std::string> where = std::nullopt,
                      std::string from = "FROM t") {
  GuideDefinition guide;
  guide.DSG_ID = id;
  guide.HasTablesRow = true;
  guide.FROM_clause = std::move(from);
  guide.WHERE_clause = std::move(where);
  guide.Columns = std::move(columns);
  return guide;
}

// The statement of a search over one guide, which must be searchable.
std::string SqlServerText(const GuideDefinition& guide, std::string_view criteria) {
  const SearchStatements statements =
      GenerateSearchStatements({guide}, criteria, Dialect::SqlServer);
  EXPECT_EQ(statements.Error, "");
  EXPECT_EQ(statements.Guides.size(), 1u);
  if (statements.Guides.size() != 1) return "";
  EXPECT_EQ(statements.Guides[0].Error, "");
  return statements.Guides[0].SQL;
}

TEST(SqlServerStatement, IsTheTextTheProcedureBuilds) {
  const GuideDefinition guide = Guide(5,
                                      {Column("t", "id", false, false, true),
                                       Column("t", "a", true, true), Column("t", "b", true, false)},
                                      "WHERE t.x = 1");
  EXPECT_EQ(SqlServerText(guide, "abc"),
            "SELECT CONVERT(varchar(200),t.a+ ' ' +t.b) ResultList,t.id IDColumn, 5 DSG_ID  FROM t "
            "WHERE t.x = 1 AND ( (t.a LIKE '%abc%') )");
}

// One shown and searched column t.a, no WHERE clause of its own: the
// conditions follow this prefix.
const std::string kPrefix =
    "SELECT CONVERT(varchar(200),t.a) ResultList, 0 IDColumn, 1 DSG_ID  FROM t  WHERE ";

std::string ConditionsFor(std::string_view criteria) {
  const std::string sql = SqlServerText(Guide(1, {Column("t", "a", true, true)}), criteria);
  EXPECT_EQ(sql.substr(0, kPrefix.size()), kPrefix);
  return sql.substr(kPrefix.size());
}

TEST(SearchConditions, PlainTextIsMatchedAsTyped) {
  EXPECT_EQ(ConditionsFor("abc def"), " (t.a LIKE '%abc def%')  ");
  EXPECT_EQ(ConditionsFor("  abc "), " (t.a LIKE '%  abc %')  ");
  EXPECT_EQ(ConditionsFor("and OR"), " (t.a LIKE '%and OR%')  ");
  EXPECT_EQ(ConditionsFor(""), " (t.a LIKE '%%')  ");
}

TEST(SearchConditions, OneQuotedPhrase) {
  EXPECT_EQ(ConditionsFor("\"abc\""), " (t.a LIKE '%abc%')  ");
  EXPECT_EQ(ConditionsFor("  \"  red car  \"  "), " (t.a LIKE '%red car%')  ");
  EXPECT_EQ(ConditionsFor("find \"red car\""), " (t.a LIKE '%red car%')  ");
}

TEST(SearchConditions, PhrasesJoinedByAndOrInAnyCase) {
  EXPECT_EQ(ConditionsFor("\"red car\" AND \"blue\""),
            " (t.a LIKE '%red car%' AND t.a LIKE '%blue%')  ");
  EXPECT_EQ(ConditionsFor("\"red\" or \"blue\""), " (t.a LIKE '%red%' OR t.a LIKE '%blue%')  ");
  EXPECT_EQ(ConditionsFor("\"a b\"   aNd   \"c\" Or \"d\""),
            " (t.a LIKE '%a b%' AND t.a LIKE '%c%' OR t.a LIKE '%d%')  ");
  // Blanks inside the quotes: the first phrase loses its leading ones, the
  // pattern as a whole its trailing ones; the rest stay, as in the procedure.
  EXPECT_EQ(ConditionsFor("\" red \" AND \" blue \""),
            " (t.a LIKE '%red %' AND t.a LIKE '% blue%')  ");
}

TEST(SearchConditions, AnyWordBeginningWithAndJoins) {
  EXPECT_EQ(ConditionsFor("\"red\" ANDROID \"blue\""),
            " (t.a LIKE '%red%' AND t.a LIKE '%blue%')  ");
  // Nothing quoted follows: nothing is joined (the procedure never ended).
  EXPECT_EQ(ConditionsFor("\"red\" android"), " (t.a LIKE '%red%')  ");
  EXPECT_EQ(ConditionsFor("\"red\" or"), " (t.a LIKE '%red%')  ");
}

TEST(SearchConditions, OrNeedsABlankAfterIt) {
  EXPECT_EQ(ConditionsFor("\"red\" OR\"blue\""), " (t.a LIKE '%red%')  ");
  EXPECT_EQ(ConditionsFor("\"red\" ORANGE \"blue\""), " (t.a LIKE '%red%')  ");
}

TEST(SearchConditions, WordsAfterAPhraseWithoutConnectorAreSkipped) {
  // The procedure looped forever on the first of these.
  EXPECT_EQ(ConditionsFor("\"red\" bluegreen"), " (t.a LIKE '%red%')  ");
  EXPECT_EQ(ConditionsFor("\"red\" x AND \"blue\""), " (t.a LIKE '%red%')  ");
}

TEST(SearchConditions, APhraseOfOneCharacterFallsBackToTheTextAsTyped) {
  EXPECT_EQ(ConditionsFor("\"a\""), " (t.a LIKE '%\"a\"%')  ");
  EXPECT_EQ(ConditionsFor(" \" a \" "), " (t.a LIKE '% \" a \" %')  ");
  EXPECT_EQ(ConditionsFor("\"\""), " (t.a LIKE '%\"\"%')  ");
  // Characters, not bytes, are counted.
  EXPECT_EQ(ConditionsFor("\"\xC3\xA9\""), " (t.a LIKE '%\"\xC3\xA9\"%')  ");
  // Joined phrases are always used, however short.
  EXPECT_EQ(ConditionsFor("\"a\" and \"b\""), " (t.a LIKE '%a%' AND t.a LIKE '%b%')  ");
}

TEST(SearchConditions, ApostrophesAreDoubled) {
  EXPECT_EQ(ConditionsFor("O'Brien"), " (t.a LIKE '%O''Brien%')  ");
  EXPECT_EQ(ConditionsFor("\"O'Brien\" AND \"it's\""),
            " (t.a LIKE '%O''Brien%' AND t.a LIKE '%it''s%')  ");
  // A phrase of one apostrophe is one character: the text as typed is used.
  EXPECT_EQ(ConditionsFor("\"'\""), " (t.a LIKE '%\"''\"%')  ");
  EXPECT_EQ(ConditionsFor("x') OR 1=1 --"), " (t.a LIKE '%x'') OR 1=1 --%')  ");
}

TEST(SearchConditions, AnUnclosedQuoteTakesTheRestAsPhrase) {
  EXPECT_EQ(ConditionsFor("\"red car  "), " (t.a LIKE '%red car%')  ");
  EXPECT_EQ(ConditionsFor("\"red\" AND \"blu"), " (t.a LIKE '%red%' AND t.a LIKE '%blu%')  ");
  EXPECT_EQ(ConditionsFor("abc\""), " (t.a LIKE '%abc\"%')  ");
}

TEST(SearchConditions, CriteriaAreCutAt255Characters) {
  const std::string longText = std::string(254, 'x') + "'yz";
  EXPECT_EQ(ConditionsFor(longText), " (t.a LIKE '%" + std::string(254, 'x') + "''%')  ");
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(ConditionsFor(accents), " (t.a LIKE '%" + accents.substr(0, 510) + "%')  ");
}

TEST(SearchConditions, EverySearchColumnInSequenceJoinedByOr) {
  GuideColumn converted = Column("t", "n", false, true);
  converted.Conv_required = -1;
  converted.Conversion_expression = "CONVERT(varchar,t.n)";
  const GuideDefinition guide =
      Guide(1, {Column("t", "a", true, true), Column("t", "b", false, false), converted});
  EXPECT_EQ(SqlServerText(guide, "\"x\" or \"yz\""),
            kPrefix +
                " (t.a LIKE '%x%' OR t.a LIKE '%yz%') OR  (CONVERT(varchar,t.n) LIKE '%x%' "
                "OR CONVERT(varchar,t.n) LIKE '%yz%')  ");
}

TEST(WhereClause, StoredKeywordAloneCountsAsNone) {
  const std::vector<GuideColumn> columns = {Column("t", "a", true, true)};
  EXPECT_EQ(SqlServerText(Guide(1, columns, "WHERE "), "abc"), kPrefix + " (t.a LIKE '%abc%')  ");
  EXPECT_EQ(SqlServerText(Guide(1, columns, std::nullopt), "abc"),
            kPrefix + " (t.a LIKE '%abc%')  ");
  EXPECT_EQ(SqlServerText(Guide(1, columns, "WHERE x"), "abc"),
            "SELECT CONVERT(varchar(200),t.a) ResultList, 0 IDColumn, 1 DSG_ID  FROM t WHERE x AND "
            "( (t.a LIKE '%abc%') )");
}

TEST(WhereClause, WithoutSearchColumnsOnlyTheGuidesOwnConditionRemains) {
  const std::vector<GuideColumn> columns = {Column("t", "a", true, false)};
  EXPECT_EQ(SqlServerText(Guide(1, columns, "WHERE t.x = 1"), "abc"),
            "SELECT CONVERT(varchar(200),t.a) ResultList, 0 IDColumn, 1 DSG_ID  FROM t WHERE t.x = "
            "1 ");
  EXPECT_EQ(SqlServerText(Guide(1, columns, "WHERE "), "abc"),
            "SELECT CONVERT(varchar(200),t.a) ResultList, 0 IDColumn, 1 DSG_ID  FROM t   ");
}

TEST(SelectList, OnlyTheFirstColumnCanBeTheKey) {
  const GuideDefinition guide =
      Guide(12, {Column("t", "a", true, true), Column("t", "id", false, false, true)});
  EXPECT_EQ(SqlServerText(guide, "abc"),
            "SELECT CONVERT(varchar(200),t.a) ResultList, 0 IDColumn, 12 DSG_ID  FROM t  WHERE  "
            "(t.a LIKE '%abc%')  ");
}

TEST(SelectList, SeparatorsAndConversions) {
  GuideColumn first = Column("c", "Name", true, false, true);
  first.List_column_separator = "+', '+";  // as the columns editor writes it
  GuideColumn total = Column("o", "Total", true, false);
  total.Conv_required = -1;
  total.Conversion_expression = "CONVERT(varchar,o.Total)";
  total.List_column_separator = "+', '+";
  EXPECT_EQ(
      SqlServerText(Guide(7, {first, total}, "WHERE c.ID = o.CustID", "FROM Customers c, Orders o"),
                    "x"),
      "SELECT CONVERT(varchar(200),c.Name+', '+CONVERT(varchar,o.Total)) ResultList,c.Name "
      "IDColumn, 7 DSG_ID  FROM Customers c, Orders o WHERE c.ID = o.CustID ");
}

TEST(SelectList, LastSeparatorIsCutByItsTrimmedLength) {
  // Of a last separator with outer blanks, as many leading characters stay
  // as it has outer blanks: the procedure's statement breaks, and so does this.
  GuideColumn a = Column("t", "a", true, false);
  a.List_column_separator = " + ' ' + ";
  GuideColumn b = a;
  b.Column_name = "b";
  EXPECT_EQ(SqlServerText(Guide(1, {a, b}), "x"),
            "SELECT CONVERT(varchar(200),t.a + ' ' + t.b +) ResultList, 0 IDColumn, 1 DSG_ID  "
            "FROM t   ");
  a.List_column_separator = "";
  EXPECT_EQ(SqlServerText(Guide(1, {a}), "x"),
            "SELECT CONVERT(varchar(200),t.a) ResultList, 0 IDColumn, 1 DSG_ID  FROM t   ");
}

TEST(SeveralGuides, EachInNumberOrderWithItsOwnConditions) {
  const std::vector<GuideDefinition> guides = {
      Guide(9, {Column("u", "b", true, true)}, std::nullopt, "FROM u"),
      Guide(4, {}),  // no column rows: skipped
      Guide(3, {Column("t", "a", true, true, true)}, "WHERE t.k = 2"),
      Guide(9, {Column("v", "c", true, true)}, std::nullopt, "FROM v")};  // listed twice
  const SearchStatements statements = GenerateSearchStatements(guides, "x", Dialect::SqlServer);
  EXPECT_EQ(statements.Error, "");
  ASSERT_EQ(statements.Guides.size(), 2u);
  EXPECT_EQ(statements.Guides[0].DSG_ID, 3);
  EXPECT_EQ(
      statements.Guides[0].SQL,
      "SELECT CONVERT(varchar(200),t.a) ResultList,t.a IDColumn, 3 DSG_ID  FROM t WHERE t.k = "
      "2 AND ( (t.a LIKE '%x%') )");
  EXPECT_EQ(statements.Guides[1].DSG_ID, 9);
  EXPECT_EQ(statements.Guides[1].SQL,
            "SELECT CONVERT(varchar(200),u.b) ResultList, 0 IDColumn, 9 DSG_ID  FROM u  WHERE  "
            "(u.b LIKE '%x%')  ");
}

TEST(SeveralGuides, NoneWithColumnRowsIsTheInvalidGuidesError) {
  for (const std::vector<GuideDefinition>& guides :
       {std::vector<GuideDefinition>{}, std::vector<GuideDefinition>{Guide(2, {})}}) {
    const SearchStatements statements = GenerateSearchStatements(guides, "x", Dialect::Sqlite);
    EXPECT_EQ(statements.Error, "Error: Database Search Guide ID(s) invalid.");
    EXPECT_TRUE(statements.Guides.empty());
  }
}

TEST(SeveralGuides, AGuideThatCannotBeSearchedIsReportedNotBuilt) {
  GuideDefinition noTables = Guide(2, {Column("t", "a", true, true)});
  noTables.HasTablesRow = false;
  const GuideDefinition nothingShown = Guide(3, {Column("t", "a", false, true)});
  const GuideDefinition fine = Guide(4, {Column("t", "a", true, true)});
  const SearchStatements statements =
      GenerateSearchStatements({fine, nothingShown, noTables}, "x", Dialect::SqlServer);
  EXPECT_EQ(statements.Error, "");
  ASSERT_EQ(statements.Guides.size(), 3u);
  EXPECT_EQ(statements.Guides[0].Error, "Error: Database Search Guide 2 has no tables defined.");
  EXPECT_EQ(statements.Guides[1].Error,
            "Error: Database Search Guide 3 shows no column in its result list.");
  EXPECT_EQ(statements.Guides[0].SQL + statements.Guides[1].SQL, "");
  EXPECT_EQ(statements.Guides[2].Error, "");
  EXPECT_NE(statements.Guides[2].SQL, "");
}

}  // namespace
}  // namespace corvanty
