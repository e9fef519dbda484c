// SPDX-License-Identifier: Apache-2.0
#pragma once
// What keeping the two sample guides' search indexes exact costs a write,
// against the same write without them, side by side in one run: two copies
// of the demo database in WAL with synchronous=NORMAL, one with both
// indexes, the same random writes sent to each in turns through SQLite's
// own C API (each statement prepared once, so the statement is what is
// timed); then a selective search through the index with a pending list
// near its size, against the scan; then four writers and two searchers at
// once on each copy for contention_seconds.
#include <string>

#include "bench/benchodbc.h"

namespace corvanty::bench {

void ReportUpkeep(const BenchFolder& folder, const std::string& database_file, int writes, int runs,
                  double contention_seconds);

}  // namespace corvanty::bench
