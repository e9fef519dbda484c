// SPDX-License-Identifier: Apache-2.0
#include "ui/twips.h"

#include <cmath>

namespace corvanty {

namespace {
// Int() of the original: rounds towards minus infinity.
long Int(float value) { return static_cast<long>(std::floor(value)); }
}  // namespace

TwipSize MainWindowSize(long screen_width, long screen_height) {
  return {screen_width - Int(static_cast<float>(screen_width) / 4.0f),
          screen_height - Int(static_cast<float>(screen_height) / 4.0f)};
}

TwipPoint DialogPosition(long main_width, long main_height, long dialog_width) {
  float half_main = static_cast<float>(main_width) / 2.0f;
  float half_dialog = static_cast<float>(dialog_width) / 2.0f;
  return {Int(half_main - half_dialog), Int(static_cast<float>(main_height) / 8.0f)};
}

long PixelsToTwips(int pixels, double dots_per_inch) {
  return std::lround(pixels * kTwipsPerInch / dots_per_inch);
}

int TwipsToPixels(long twips, double dots_per_inch) {
  return static_cast<int>(std::lround(twips * dots_per_inch / kTwipsPerInch));
}

}  // namespace corvanty
