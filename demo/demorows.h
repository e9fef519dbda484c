// SPDX-License-Identifier: Apache-2.0
#pragma once
// The demo's schema and its rows, made by fixed rules apart from how they
// are written, so that every server's demo holds the same data.
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace corvanty::demo {

struct DemoSize {
  long suppliers, products, customers, orders, order_lines;
};

// The table sizes for a demo whose largest table (order lines) has rows rows.
DemoSize DemoSizeFor(long rows);

// How many order lines a demo has unless told, and how many it may have.
constexpr long kDefaultDemoRows = 20000;
constexpr long kMinDemoRows = 10;
constexpr long kMaxDemoRows = 100000000;

// The five tables and their indexes, in a text SQLite and PostgreSQL both
// take: tables in the order they are filled, each referring only to tables
// before it.
extern const char* const kDemoSchema;

// The demo's tables, in the order they are filled.
extern const char* const kDemoTables[5];

// One value of a row: NULL, a whole number, a price, or text.
using DemoValue = std::variant<std::monostate, long, double, std::string>;

// Receives the rows of each table in turn: the table's name and its number
// of columns, then its rows in key order, each value in column order.
class DemoRowSink {
 public:
  virtual ~DemoRowSink() = default;
  virtual void BeginTable(const char* table, size_t columns) = 0;
  virtual void Row(const std::vector<DemoValue>& values) = 0;
  virtual void EndTable() = 0;
};

// Makes the rows of a demo whose largest table has rows rows: the same rows
// on every call.
void MakeDemoRows(long rows, DemoRowSink& sink);

}  // namespace corvanty::demo
