#include "guides/fromlist.h"

#include <gtest/gtest.h>

#include "engine/dialectsql.h"
#include "guides/replaceall.h"
#include "guides/syntaxcheck.h"

namespace corvanty {
namespace {

using basCorvantyAdmin::ReplaceAll;

TEST(ReplaceAll, ReplacesEveryOccurrenceResumingAfterTheInsertedText) {
  const struct {
    const char *text, *find, *replace, *expected;
  } rows[] = {
      {"Customers, Orders", ", ", ",", "Customers,Orders"},
      {"aaa", "a", "aa", "aaaaaa"},  // the inserted text is not searched again
      {"abcabc", "b", "", "acac"},
      {"Orders, orders", "Orders", "X", "X, orders"},  // case-sensitive
      {"FROM FROM A", "FROM ", "", "A"},
      {"abc", "", "x", "abc"},  // nothing to find: nothing changes
  };
  for (const auto& row : rows) {
    std::string text = row.text;
    EXPECT_EQ(ReplaceAll(text, row.find, row.replace), row.expected) << row.text;
    EXPECT_EQ(text, row.expected) << "the caller's text keeps the result";
  }
}

TEST(FromList, ReadsAStoredClauseBackAsACommaBracketedList) {
  const struct {
    const char *clause, *bracketed, *tables;
  } rows[] = {
      {"FROM Customers, Orders", ",Customers,Orders,", "Customers|Orders|"},
      {"FROM Customers , Orders ", ",Customers,Orders,", "Customers|Orders|"},
      {"FROM Customers,  Orders", ",Customers, Orders,", "Customers| Orders|"},
      {"FROM Customers c, Orders o", ",Customers c,Orders o,", "Customers c|Orders o|"},
      {"FROM ", ",,", ""},
      {"", ",,", ""},
  };
  for (const auto& row : rows) {
    std::string bracketed = CommaBracketedTables(row.clause);
    EXPECT_EQ(bracketed, row.bracketed) << row.clause;
    std::string tables;
    for (const std::string& table : TablesOfList(bracketed)) tables += table + "|";
    EXPECT_EQ(tables, row.tables) << row.clause;
  }
  EXPECT_TRUE(ListNamesTable(",Customers,Orders,", "Orders"));
  EXPECT_FALSE(ListNamesTable(",Customers,Orders,", "Order"));
  EXPECT_FALSE(ListNamesTable(",Customers c,", "Customers"));
}

TEST(FromList, AddsAtTheEndAndRemovesExactlyTheTablesItem) {
  EXPECT_EQ(FromTextWithTable("", "Customers"), "Customers");
  EXPECT_EQ(FromTextWithTable("Customers", "Orders"), "Customers, Orders");
  const struct {
    const char *from, *table, *expected;
  } rows[] = {
      {"Customers, Orders, Items", "Orders", "Customers, Items"},
      {"Customers, Orders, Items", "Customers", "Orders, Items"},
      {"Customers, Orders, Items", "Items", "Customers, Orders"},
      {"Orders, Order", "Order", "Orders"},
      {"Order, Orders", "Order", "Orders"},
      {"Customers c, Orders o", "Orders", "Customers c"},
      {"Customers c,\n  Orders o, Items", "Orders", "Customers c, Items"},
      {"Customers", "Customers", ""},
      {"Customers, Orders", "Items", "Customers, Orders"},  // not in the list: unchanged
      {"", "Items", ""},
  };
  for (const auto& row : rows)
    EXPECT_EQ(FromTextWithoutTable(row.from, row.table), row.expected)
        << row.from << " without " << row.table;
}

TEST(TablesEditorStatements, TextsAreExactlyTheServersOwn) {
  EXPECT_EQ(SyntaxTestStatement("", ""), "SELECT 'atest'  ");
  EXPECT_EQ(SyntaxTestStatement("Customers, Orders", ""), "SELECT 'atest' FROM Customers, Orders ");
  EXPECT_EQ(SyntaxTestStatement("Customers", "id > 1"),
            "SELECT 'atest' FROM Customers WHERE id > 1");
  EXPECT_EQ(SyntaxTestStatement("", "1 = 1"), "SELECT 'atest'  WHERE 1 = 1");
  EXPECT_EQ(UserTablesQuery(rdo::Dialect::SqlServer),
            "SELECT Name FROM SysObjects WHERE Type = 'U'");
}

}  // namespace
}  // namespace corvanty
