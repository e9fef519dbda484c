// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvanty {

// The application's identity, set once the QApplication exists: its name,
// the desktop entry it belongs to (corvanty-admin.desktop) and its window
// icon, the one that entry shows.
void SetUpApplication();

// Gives the dialogs of the lower floors what they run from the higher ones:
// the Connect dialogs' readiness check, whose errors are reported and the
// tool goes on.
void ConnectDialogsToChecks();

// Start-up: shows the main window, whose load opens the Connect dialog.
void Main();

}  // namespace corvanty
