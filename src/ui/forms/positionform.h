// SPDX-License-Identifier: Apache-2.0
#pragma once
class QWidget;

namespace corvanty {

// Places a dialog centred on the horizontal middle of a window the main
// window's width, one eighth of its height down. Every dialog calls it
// first thing when it loads.
void PositionForm(QWidget& dialog);

// The screen's logical dots per inch, through which twips become pixels.
double ScreenDotsPerInch(const QWidget& widget);

}  // namespace corvanty
