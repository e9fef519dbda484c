// SPDX-License-Identifier: Apache-2.0
#pragma once
// Trigram indexes against the scan on a PostgreSQL database (such as the
// demo of scripts/postgres-demo.sh), side by side in one run: how long the
// build takes, and how long a search takes by the scan and through the
// indexes in the union shape, with the same rows found.
#include <cstdint>
#include <string>
#include <vector>

namespace corvanty::bench {

struct TrigramCase {
  const char* label;
  std::string criteria;
};

// Drops the guide's trigram indexes first, times the searches, builds the
// indexes, times the searches again, and drops them at the end.
void ReportTrigramIndex(const std::string& connect, int32_t guide,
                        const std::vector<TrigramCase>& cases, int runs);

}  // namespace corvanty::bench
