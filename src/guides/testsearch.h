// SPDX-License-Identifier: Apache-2.0
#pragma once
// One run of the test dialog's search through the search control: the
// result lines as the dialog shows them, or what kept them from coming.
#include <atomic>
#include <string>

#include "search/velmorastinesearch.h"

namespace corvanty {

struct TestSearchOutcome {
  bool found = false;  // at least one result
  std::string text;    // each result trimmed of blanks, then CR LF
  std::string error;   // the error report when the search failed, else ""
};

// Runs the search with the values set on the control and reads its results,
// stopping early (with what was read) once cancelled is set.
TestSearchOutcome RunTestSearch(VelmorastineSearch::Corvanty& control,
                                const std::atomic<bool>& cancelled);

}  // namespace corvanty
