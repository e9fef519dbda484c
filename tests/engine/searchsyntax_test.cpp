#include "engine/searchsyntax.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

using rdo::Dialect;

TEST(SqliteTranslation, ConversionsBecomeCasts) {
  EXPECT_EQ(ValueExpression("CONVERT(varchar,Orders.Total)", Dialect::Sqlite),
            "CAST(Orders.Total AS TEXT)");
  EXPECT_EQ(ValueExpression("convert ( VARCHAR ( 10 ) , o.Day )", Dialect::Sqlite),
            "substr(CAST(o.Day AS TEXT), 1, 10)");
  EXPECT_EQ(ValueExpression("CONVERT(varchar(5), CONVERT(varchar, f(a, b)))", Dialect::Sqlite),
            "substr(CAST(CAST(f(a, b) AS TEXT) AS TEXT), 1, 5)");
  EXPECT_EQ(ValueExpression("x + CONVERT(varchar,'a)b') + y", Dialect::Sqlite),
            "x + CAST('a)b' AS TEXT) + y");
  EXPECT_EQ(ConvertToText("t.a", 200, Dialect::Sqlite), "substr(CAST(t.a AS TEXT), 1, 200)");
}

TEST(SqliteTranslation, LeavesAloneWhatIsNoPlainConversion) {
  for (const char* expression :
       {"CONVERT(varchar, o.Day, 103)", "CONVERT(int, o.n)", "MYCONVERT(varchar, o.n)",
        "'CONVERT(varchar, o.n)'", "CONVERT(varchar, o.n", "CONVERT(varchar(max), o.n)"})
    EXPECT_EQ(ValueExpression(expression, Dialect::Sqlite), expression);
}

TEST(SqliteTranslation, SeparatorsConcatenateWithBars) {
  EXPECT_EQ(ListSeparator("+ ' ' +", Dialect::Sqlite), "|| ' ' ||");
  EXPECT_EQ(ListSeparator("+'+'+", Dialect::Sqlite), "||'+'||");
  EXPECT_EQ(ListSeparator("+'it''s + more'+", Dialect::Sqlite), "||'it''s + more'||");
  EXPECT_EQ(ListSeparator("+ CONVERT(varchar, 1+2) +", Dialect::Sqlite),
            "|| CAST(1||2 AS TEXT) ||");
}

}  // namespace
}  // namespace corvanty
