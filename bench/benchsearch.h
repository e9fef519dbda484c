// SPDX-License-Identifier: Apache-2.0
#pragma once
// One search, run through the engine over ODBC or as the same SELECT through
// SQLite's own C API, and the median of repeated timings.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvanty::bench {

struct SearchCount {
  long rows = 0;
  size_t bytes = 0;      // of the three values, so no reading can be skipped
  bool indexed = false;  // the first guide's statement ran through its index
};

// StartSearch and Next until done.
SearchCount EngineSearch(const std::string& connect, int32_t guide, const std::string& criteria);

// Opens the file read-only, prepares the statement and steps through it,
// reading the three columns as text.
SearchCount NativeSearch(const std::string& database_file, const std::string& sql);

// The SELECT the engine runs for the guide on SQLite.
std::string SqliteStatement(const std::string& connect, int32_t guide, const std::string& criteria);

// How long one call of body takes, in microseconds.
double Microseconds(const std::function<void()>& body);

double Median(std::vector<double> samples);

}  // namespace corvanty::bench
