// SPDX-License-Identifier: Apache-2.0
#include "ui/twips.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

TEST(Twips, SizesAndPlacesRoundingDownAndConvertsRoundingToTheNearestPixel) {
  // Screen 12002 x 9001 twips: the quarters Int(3000.5) and Int(2250.25).
  EXPECT_EQ(MainWindowSize(12002, 9001).width, 9002);
  EXPECT_EQ(MainWindowSize(12002, 9001).height, 6751);
  // Main window 9000 x 6750: Int(843.75) = 843 down; a dialog 9025 wide
  // goes to Int(-12.5) = -13, not -12.
  EXPECT_EQ(DialogPosition(9000, 6750, 5000).left, 2000);
  EXPECT_EQ(DialogPosition(9000, 6750, 9025).left, -13);
  EXPECT_EQ(DialogPosition(9000, 6750, 5000).top, 843);
  // At 100 dpi a pixel is 14.4 twips: 4 pixels are 57.6 twips, 58; 100
  // twips at 96 dpi are 6.67 pixels, 7.
  EXPECT_EQ(PixelsToTwips(4, 100.0), 58);
  EXPECT_EQ(PixelsToTwips(1920, 96.0), 28800);
  EXPECT_EQ(TwipsToPixels(100, 96.0), 7);
}

}  // namespace
}  // namespace corvanty
