// SPDX-License-Identifier: Apache-2.0
#pragma once
// Peak memory of a search, measured in a fresh process per search so that
// no earlier search's heap hides what this one needs.
#include <cstdint>
#include <string>

namespace corvanty::bench {

struct MemoryUse {
  long rows = 0;
  long before_kb = 0;  // peak resident set once the driver is loaded and warm
  long after_kb = 0;   // peak resident set after the search
};

// Starts this program again with kMemoryChildFlag and reads its report.
MemoryUse MeasureInChild(const std::string& connect, int32_t guide, const std::string& criteria);

inline constexpr char kMemoryChildFlag[] = "--memory-child";

// The child's side: runs a search that matches nothing (loading the driver
// and filling the page cache), then the measured one; prints the report.
int RunMemoryChild(const std::string& connect, int32_t guide, const std::string& criteria);

}  // namespace corvanty::bench
