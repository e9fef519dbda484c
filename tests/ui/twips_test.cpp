#include "ui/twips.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

TEST(Twips, MainWindowIsTheScreenLessAQuarterRoundedDown) {
  // {screen width, screen height, window width, window height}; Int(3000.5)
  // is 3000, so the odd half twip stays with the window.
  const long rows[][4] = {{12000, 9000, 9000, 6750}, {12002, 9001, 9002, 6751}};
  for (const auto& row : rows) {
    TwipSize size = MainWindowSize(row[0], row[1]);
    EXPECT_EQ(size.width, row[2]) << row[0];
    EXPECT_EQ(size.height, row[3]) << row[1];
  }
}

TEST(Twips, DialogIsCentredOnTheMainWidthAnEighthDownRoundedTowardsMinusInfinity) {
  // {main width, main height, dialog width, left, top}: 843.75 becomes 843,
  // and -12.5 becomes -13, not -12.
  const long rows[][5] = {{9000, 6750, 5000, 2000, 843}, {9000, 6750, 9025, -13, 843}};
  for (const auto& row : rows) {
    TwipPoint at = DialogPosition(row[0], row[1], row[2]);
    EXPECT_EQ(at.left, row[3]) << row[2];
    EXPECT_EQ(at.top, row[4]) << row[2];
  }
}

TEST(Twips, ConvertAtFourteenFortyToTheInch) {
  EXPECT_EQ(PixelsToTwips(1920, 96.0), 28800);
  EXPECT_EQ(TwipsToPixels(1440, 96.0), 96);
  EXPECT_EQ(TwipsToPixels(PixelsToTwips(1000, 120.0), 120.0), 1000);
}

}  // namespace
}  // namespace corvanty
