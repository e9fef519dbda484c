#pragma once
// The demo database: a small business schema (suppliers, products,
// customers, orders, order lines) filled with deterministic data.
#include <string>

namespace corvanty::demo {

struct DemoSize {
  long suppliers, products, customers, orders, order_lines;
};

// The table sizes for a demo whose largest table (order lines) has rows rows.
DemoSize DemoSizeFor(long rows);

constexpr long kDefaultDemoRows = 20000;

// Creates (or replaces) the SQLite file. Throws std::runtime_error.
void CreateDemoDatabase(const std::string& path, long rows);

}  // namespace corvanty::demo
