// SPDX-License-Identifier: Apache-2.0
#pragma once
// Peak memory of a search, measured in a fresh process per search so that
// no earlier search's heap hides what this one needs.
#include <cstdint>
#include <functional>
#include <string>

namespace corvanty::bench {

struct MemoryUse {
  long rows = 0;
  long before_kb = 0;  // peak resident set once the driver is loaded and warm
  long after_kb = 0;   // peak resident set after the search
};

// Starts this program again with child_flag, source, guide and criteria, and
// reads its report.
MemoryUse MeasureInChild(const char* child_flag, const std::string& source, int32_t guide,
                         const std::string& criteria);

// The engine's search over ODBC; source is a connect string.
inline constexpr char kMemoryChildFlag[] = "--memory-child";
// The search extension's function; source is the database file.
inline constexpr char kExtensionMemoryChildFlag[] = "--extension-memory-child";

// The child's side: runs a search that matches nothing (loading the driver
// or the extension and filling the page cache), then the measured one, each
// through search (which returns the number of rows); prints the report.
int RunMemoryChild(const std::function<long(const std::string& criteria)>& search,
                   const std::string& criteria);

}  // namespace corvanty::bench
