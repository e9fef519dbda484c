// SPDX-License-Identifier: Apache-2.0
#pragma once
// Size and placement arithmetic of the main window and the dialogs, in twips
// (1,440 to the inch), kept free of any windowing toolkit so it can be
// checked against exact figures.

namespace corvanty {

constexpr int kTwipsPerInch = 1440;

struct TwipSize {
  long width = 0;
  long height = 0;
};

struct TwipPoint {
  long left = 0;
  long top = 0;
};

// The main window is the screen less a quarter in each direction; the
// quarter is computed in single precision and rounded towards minus infinity.
TwipSize MainWindowSize(long screen_width, long screen_height);

// A dialog is centred on the horizontal middle of a window of the main
// window's width, one eighth of the main window's height down.
TwipPoint DialogPosition(long main_width, long main_height, long dialog_width);

long PixelsToTwips(int pixels, double dots_per_inch);
int TwipsToPixels(long twips, double dots_per_inch);

}  // namespace corvanty
