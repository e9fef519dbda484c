// SPDX-License-Identifier: Apache-2.0
#pragma once
// The demo database the benchmark searches, and the guide it searches with:
// orders o joined to customers c, showing three columns and searching two.
#include <cstdint>
#include <string>

namespace corvanty::bench {

// Creates the demo database at path with rows order lines, unless the file
// already exists (a kept database is reused as it is).
void EnsureDemoDatabase(const std::string& path, long rows);

// The benchmark guide's name, as the guide lists show it.
const char* BenchGuideName();

// Creates the guide tables that are missing (never dropping one that holds
// guides), replaces the benchmark's guide and returns its DSG_ID.
int32_t InstallBenchGuide(const std::string& database_file);

// The number of orders and customers, for the report.
std::string DescribeDatabase(const std::string& database_file);

}  // namespace corvanty::bench
