#pragma once
// The demo database on SQLite: a small business schema (suppliers,
// products, customers, orders, order lines) filled with deterministic data.
#include <string>

#include "demo/demorows.h"

namespace corvanty::demo {

// Creates (or replaces) the SQLite file. The new database is built in a
// temporary file beside it and renamed into place, so an interruption at
// any moment leaves either the old database or the new one. Throws
// std::runtime_error.
void CreateDemoDatabase(const std::string& path, long rows);

// Why an existing file cannot serve as the demo database ("it is not a
// database", "it lacks the demo table orders", ...); "" when it can.
std::string DemoDatabaseProblem(const std::string& path);

}  // namespace corvanty::demo
