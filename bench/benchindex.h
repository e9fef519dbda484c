// SPDX-License-Identifier: Apache-2.0
#pragma once
// The search index against the scan on one database, side by side in one
// run: how long the build takes and how much the file grows, what one write
// to an indexed table pays to keep the index up to date, and, after 1,000
// random writes, how long a search takes through the index and by the scan.
#include <cstdint>
#include <string>
#include <vector>

namespace corvanty::bench {

struct IndexCase {
  const char* label;
  std::string criteria;
  double target;  // selective: at least this many times faster; wide: at most this ratio
  bool selective;
};

// Drops every search index the database holds first (their triggers would
// weigh on the writes measured without one), then builds the guide's, and
// drops it again at the end.
void ReportIndex(const std::string& connect, const std::string& database_file, int32_t guide,
                 const std::vector<IndexCase>& cases, int runs);

}  // namespace corvanty::bench
