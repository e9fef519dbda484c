#include "shell/twips.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

TEST(MainWindowSize, IsTheScreenLessAWholeTwipQuarter) {
  TwipSize size = MainWindowSize(12000, 9000);
  EXPECT_EQ(size.width, 9000);
  EXPECT_EQ(size.height, 6750);
  // Int(3000.5) = 3000, so the odd half twip stays with the window.
  EXPECT_EQ(MainWindowSize(12002, 9000).width, 9002);
  EXPECT_EQ(MainWindowSize(12003, 9001).height, 9001 - 2250);
}

TEST(DialogPosition, CentresOnTheMainWindowWidthAndAnEighthDown) {
  TwipPoint at = DialogPosition(9000, 6750, 5000);
  EXPECT_EQ(at.left, 2000);
  EXPECT_EQ(at.top, 843);  // Int(843.75)
}

TEST(DialogPosition, RoundsANegativeLeftTowardsMinusInfinity) {
  // Half of 9000 less half of 9025 is -12.5, which becomes -13, not -12.
  EXPECT_EQ(DialogPosition(9000, 6750, 9025).left, -13);
  EXPECT_EQ(DialogPosition(9000, 6750, 9025).top, 843);
}

TEST(TwipConversion, UsesFourteenFortyTwipsToTheInch) {
  EXPECT_EQ(PixelsToTwips(96, 96.0), 1440);
  EXPECT_EQ(TwipsToPixels(1440, 96.0), 96);
  EXPECT_EQ(PixelsToTwips(1920, 96.0), 28800);
  EXPECT_EQ(TwipsToPixels(PixelsToTwips(1000, 120.0), 120.0), 1000);
}

}  // namespace
}  // namespace corvanty
