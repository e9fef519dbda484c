// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvanty {

// Start-up: shows the main window, whose load opens the Connect dialog.
void Main();

}  // namespace corvanty
