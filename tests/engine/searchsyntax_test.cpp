#include "engine/searchsyntax.h"

#include <gtest/gtest.h>

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
  };
  for (const auto& [expression, sqlite] : expressions)
    EXPECT_EQ(ValueExpression(expression, Dialect::Sqlite), sqlite);
  // No plain conversion: kept as written.
  for (const char* expression : {"CONVERT(int, o.n)", "MYCONVERT(varchar, o.n)", "+o.n",
                                 "'CONVERT(varchar, o.n)'", "CONVERT(varchar, o.n"})
    EXPECT_EQ(ValueExpression(expression, Dialect::Sqlite), expression);
  EXPECT_EQ(ListSeparator("+'it''s + more'+", Dialect::Sqlite), "||'it''s + more'||");
}

}  // namespace
}  // namespace corvanty
