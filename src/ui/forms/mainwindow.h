// SPDX-License-Identifier: Apache-2.0
#pragma once
// The tool's main window as the dialogs see it: placement measures it and the
// Connect dialog closes it, without either depending on the window itself.
class QWidget;

namespace corvanty {

// The main window, or nullptr while there is none.
QWidget* MainWindow();

// Called by the main window when it is made and (with nullptr) when it goes.
void SetMainWindow(QWidget* window);

}  // namespace corvanty
