#include "engine/sqlliteral.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

TEST(SqlLiteral, DoubledApostrophesKeepTheLiteralClosed) {
  EXPECT_EQ(QuoteApostrophes("O'Brien's"), "O''Brien''s");
  EXPECT_TRUE(ApostrophesBalanced("a LIKE '%O''Brien%'"));
  EXPECT_FALSE(ApostrophesBalanced("a LIKE '%O'Brien%'"));
  EXPECT_FALSE(ApostrophesBalanced("a LIKE '%x"));
}

}  // namespace
}  // namespace corvanty
