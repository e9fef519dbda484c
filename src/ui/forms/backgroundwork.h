// SPDX-License-Identifier: Apache-2.0
#pragma once
// Work that would freeze the window (a long search) runs on a thread of its
// own; what it found is handed back on the window's thread.
#include <functional>

class QObject;

namespace corvanty {

// Runs work on a new thread, then runs done on the GUI thread, unless
// receiver is gone by then. work must catch its own exceptions and must not
// touch widgets; done may.
void RunInBackground(QObject* receiver, std::function<void()> work, std::function<void()> done);

// Waits for every thread started by RunInBackground to end. The tool calls
// it before it exits, so no search is cut off in the middle of a driver call.
void WaitForBackgroundWork();

}  // namespace corvanty
