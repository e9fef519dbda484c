#include "engine/searchsyntax.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

using rdo::Dialect;

TEST(SqliteTranslation, PlainConversionsBecomeCastsAndPlusesOutsideLiteralsBars) {
  const std::pair<const char*, const char*> expressions[] = {
      {"convert ( VARCHAR ( 10 ) , o.Day )", "substr(CAST(o.Day AS TEXT), 1, 10)"},
      {"CONVERT(varchar(5), CONVERT(varchar, f(a, b)))",
       "substr(CAST(CAST(f(a, b) AS TEXT) AS TEXT), 1, 5)"},
      {"x + CONVERT(varchar,'a)b') + y",
       "ifnull(x,'')||ifnull(CAST('a)b' AS TEXT),'')||ifnull(y,'')"},
      // A + inside a conversion's argument is the argument's own arithmetic.
      {"CONVERT(varchar, c.id + 1) + ' / ' + c.city",
       "ifnull(CAST(c.id + 1 AS TEXT),'')||ifnull(' / ','')||ifnull(c.city,'')"},
  };
  for (const auto& [expression, sqlite] : expressions)
    EXPECT_EQ(ValueExpression(expression, Dialect::Sqlite), sqlite);
  // No plain conversion: kept as written.
  for (const char* expression :
       {"CONVERT(varchar, o.Day, 103)", "CONVERT(int, o.n)", "MYCONVERT(varchar, o.n)", "+o.n",
        "'CONVERT(varchar, o.n)'", "CONVERT(varchar, o.n"})
    EXPECT_EQ(ValueExpression(expression, Dialect::Sqlite), expression);
  EXPECT_EQ(ListSeparator("+'it''s + more'+", Dialect::Sqlite), "||'it''s + more'||");
}

}  // namespace
}  // namespace corvanty
