// SPDX-License-Identifier: Apache-2.0
#include "bench/benchtrigram.h"

#include <cstdio>
#include <stdexcept>

#include "bench/benchsearch.h"
#include "connections/rdo.h"
#include "index/trigramindex.h"

namespace corvanty::bench {
namespace {

// Median milliseconds of the search, and its rows and whether it ran
// through the index.
std::pair<double, SearchCount> TimedSearch(const std::string& connect, int32_t guide,
                                           const std::string& criteria, int runs) {
  const SearchCount count = EngineSearch(connect, guide, criteria);  // warm-up
  std::vector<double> samples;
  for (int run = 0; run < runs; ++run)
    samples.push_back(Microseconds([&] { EngineSearch(connect, guide, criteria); }));
  return {Median(samples) / 1000, count};
}

}  // namespace

void ReportTrigramIndex(const std::string& connect, int32_t guide,
                        const std::vector<TrigramCase>& cases, int runs) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
  DropTrigramIndex(connection, guide);
  std::vector<std::pair<double, SearchCount>> scans;
  for (const TrigramCase& c : cases) scans.push_back(TimedSearch(connect, guide, c.criteria, runs));
  size_t built = 0;
  const double build_ms =
      Microseconds([&] { built = BuildTrigramIndex(connection, guide); }) / 1000;
  std::printf("\nTrigram indexes of guide %d on PostgreSQL: %zu built in %.0f ms\n", guide, built,
              build_ms);
  std::printf("Search, median of %d runs (engine: StartSearch + Next over ODBC)\n", runs);
  std::printf("  %-10s %-26s %8s %10s %10s %8s\n", "case", "criteria", "rows", "scan ms",
              "index ms", "speed-up");
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto [indexed_ms, indexed] = TimedSearch(connect, guide, cases[i].criteria, runs);
    if (indexed.rows != scans[i].second.rows || !indexed.indexed || scans[i].second.indexed)
      throw std::runtime_error("the indexed search and the scan disagree on " + cases[i].criteria);
    std::printf("  %-10s %-26s %8ld %10.1f %10.1f %8.1f\n", cases[i].label,
                ("\"" + cases[i].criteria + "\"").c_str(), indexed.rows, scans[i].first, indexed_ms,
                scans[i].first / indexed_ms);
  }
  DropTrigramIndex(connection, guide);
}

}  // namespace corvanty::bench
