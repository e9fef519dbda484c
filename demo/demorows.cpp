// SPDX-License-Identifier: Apache-2.0
#include "demo/demorows.h"

#include <algorithm>
#include <cstdio>

namespace corvanty::demo {

const char* const kDemoSchema = R"(
CREATE TABLE suppliers (
  supplier_id INTEGER PRIMARY KEY, company_name varchar(60) NOT NULL,
  city varchar(40), country varchar(40));
CREATE TABLE products (
  product_id INTEGER PRIMARY KEY, product_name varchar(60) NOT NULL,
  supplier_id int NOT NULL REFERENCES suppliers, category varchar(30),
  unit_price decimal(10,2) NOT NULL);
CREATE TABLE customers (
  customer_id INTEGER PRIMARY KEY, company_name varchar(60) NOT NULL,
  contact_name varchar(60), city varchar(40), country varchar(40), phone varchar(24));
CREATE TABLE orders (
  order_id INTEGER PRIMARY KEY, customer_id int NOT NULL REFERENCES customers,
  order_date varchar(10) NOT NULL, ship_city varchar(40), note varchar(200));
CREATE TABLE order_lines (
  order_id int NOT NULL REFERENCES orders, line_no int NOT NULL,
  product_id int NOT NULL REFERENCES products, quantity int NOT NULL,
  unit_price decimal(10,2) NOT NULL, PRIMARY KEY (order_id, line_no));
CREATE INDEX orders_customer ON orders(customer_id);
CREATE INDEX order_lines_product ON order_lines(product_id);
)";

const char* const kDemoTables[5] = {"suppliers", "products", "customers", "orders", "order_lines"};

namespace {

const char* const kCities[] = {"Lisbon", "Oslo",  "Turin",  "Lyon",    "Graz",  "Ghent",
                               "Porto",  "Brno",  "Aarhus", "Seville", "Cork",  "Tampere",
                               "Kraków", "Split", "Basel",  "Utrecht", "Malmö", "Riga"};
const char* const kCountries[] = {"Portugal",    "Norway",   "Italy",   "France",  "Austria",
                                  "Belgium",     "Portugal", "Czechia", "Denmark", "Spain",
                                  "Ireland",     "Finland",  "Poland",  "Croatia", "Switzerland",
                                  "Netherlands", "Sweden",   "Latvia"};
const char* const kWords[] = {"Amber",   "Birch",   "Cobalt", "Delta",   "Ember",
                              "Fjord",   "Granite", "Harbor", "Iris",    "Juniper",
                              "Kestrel", "Lumen",   "Maple",  "Nimbus",  "Orchid",
                              "Pine",    "Quartz",  "Raven",  "Saffron", "Tundra"};
const char* const kGoods[] = {"Tea",   "Coffee", "Cheese", "Honey", "Olive Oil", "Chocolate",
                              "Pasta", "Rice",   "Jam",    "Syrup", "Biscuits",  "Mustard"};
const char* const kCategories[] = {"Beverages", "Dairy", "Confections", "Grains", "Condiments"};
const char* const kFirstNames[] = {"Ana",  "Bruno", "Clara", "Dmitri", "Eva",  "Farid", "Greta",
                                   "Hugo", "Ines",  "Jonas", "Katja",  "Luca", "Mira",  "Nils"};
const char* const kLastNames[] = {"Almeida", "Berg",   "Costa",   "Dvořák", "Eriksen",  "Fischer",
                                  "García",  "Horvat", "Ivanova", "Jensen", "Kowalski", "Laine"};

template <size_t N>
std::string Pick(const char* const (&words)[N], long i) {
  return words[static_cast<size_t>(i) % N];
}

// A fixed pseudo-random sequence, so every demo is the same.
unsigned long Mix(unsigned long x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdUL;
  x ^= x >> 33;
  return x;
}

// A whole number from 1 to count, picked by seed.
long OneTo(long count, unsigned long seed) { return 1 + static_cast<long>(Mix(seed) % count); }

double Price(unsigned long seed) { return 1.5 + static_cast<double>(Mix(seed) % 9000) / 100; }

// Runs row(i) for i = 1..count, handing each row to the sink as table's.
template <typename MakeRow>
void Table(DemoRowSink& sink, const char* table, size_t columns, long count, MakeRow row) {
  sink.BeginTable(table, columns);
  for (long i = 1; i <= count; ++i) sink.Row(row(i));
  sink.EndTable();
}

}  // namespace

DemoSize DemoSizeFor(long rows) {
  rows = std::max(rows, 10L);
  DemoSize size{};
  size.order_lines = rows;
  size.orders = std::max(rows / 4, 1L);
  size.customers = std::max(rows / 20, 5L);
  size.products = std::max(rows / 200, 20L);
  size.suppliers = std::max(size.products / 10, 3L);
  return size;
}

void MakeDemoRows(long rows, DemoRowSink& sink) {
  const DemoSize size = DemoSizeFor(rows);
  using Row = std::vector<DemoValue>;
  Table(sink, "suppliers", 4, size.suppliers, [](long i) {
    return Row{i, Pick(kWords, i * 7) + " " + Pick(kGoods, i) + " Co.", Pick(kCities, i),
               Pick(kCountries, i)};
  });
  Table(sink, "products", 5, size.products, [&](long i) {
    return Row{i, Pick(kWords, i) + " " + Pick(kGoods, i / 3), OneTo(size.suppliers, i),
               Pick(kCategories, i), Price(i + 11)};
  });
  Table(sink, "customers", 6, size.customers, [](long i) {
    // Every seventh customer has no phone: searches meet NULLs.
    DemoValue phone;
    if (i % 7 != 0) phone = "+00 " + std::to_string(100000 + Mix(i) % 900000);
    return Row{i,
               Pick(kWords, i / 5) + " " + Pick(kWords, i * 3) + (i % 3 ? " Trading" : " Markets"),
               Pick(kFirstNames, i) + " " + Pick(kLastNames, i / 2),
               Pick(kCities, i / 4),
               Pick(kCountries, i / 4),
               phone};
  });
  Table(sink, "orders", 5, size.orders, [&](long i) {
    char date[16];
    std::snprintf(date, sizeof date, "20%02ld-%02ld-%02ld", 20 + i % 7, 1 + i % 12, 1 + i % 28);
    DemoValue note;
    if (i % 5 == 0) note = std::string("Deliver to the rear door; it's the blue one");
    return Row{i, OneTo(size.customers, i), std::string(date),
               Pick(kCities, static_cast<long>(Mix(i + 3) % 18)), note};
  });
  const long lines_per_order = (size.order_lines + size.orders - 1) / size.orders;
  Table(sink, "order_lines", 5, size.order_lines, [&](long i) {
    return Row{1 + (i - 1) / lines_per_order, 1 + (i - 1) % lines_per_order,
               OneTo(size.products, i), OneTo(40, i + 5), Price(i + 7)};
  });
}

}  // namespace corvanty::demo
