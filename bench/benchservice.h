// SPDX-License-Identifier: Apache-2.0
#pragma once
// PostgreSQL's search service against the physical limit, side by side in
// one run over one open connection: velmorastine_search against the same
// generated statement sent by the client, on guides with their trigram
// indexes and without; and against corvanty search as a whole process.
#include <cstdint>
#include <string>
#include <vector>

namespace corvanty::bench {

struct ServiceCase {
  const char* label;
  int32_t guide;
  std::string criteria;
  bool indexed;   // the guide searched with its trigram indexes, or without
  double target;  // the most the service may take, times the client-sent statement
};

// Installs the service when it is missing. Builds or drops each case's
// guide's indexes as the case needs, leaving every guide as it found it.
void ReportSearchService(const std::string& connect, const std::vector<ServiceCase>& cases,
                         int runs);

// The service against `corvanty search` started as a process (the program
// beside this one, with a saved connection of its own), for one guide with
// its trigram indexes, leaving it as it found it.
void ReportServiceAgainstProcess(const std::string& connect, int32_t guide,
                                 const std::string& criteria, int runs);

}  // namespace corvanty::bench
