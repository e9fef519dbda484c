#include "demo/demodatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "demo/replacementfile.h"

namespace corvanty::demo {

namespace {

const char* const kSchema = R"(
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

const char* const kDemoTables[] = {"suppliers", "products", "customers", "orders", "order_lines"};

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
const char* Pick(const char* const (&words)[N], long i) {
  return words[static_cast<size_t>(i) % N];
}

// A fixed pseudo-random sequence, so every demo is the same.
unsigned long Mix(unsigned long x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdUL;
  x ^= x >> 33;
  return x;
}

class Db {
 public:
  explicit Db(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) Fail("cannot create " + path);
  }
  ~Db() { sqlite3_close(db_); }
  void Exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sqlite3_errmsg(db_));
  }
  // Prepares an insert, runs fill(i, statement) for i = 1..count.
  template <typename Fill>
  void InsertRows(const char* sql, long count, Fill fill) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) != SQLITE_OK) Fail(sqlite3_errmsg(db_));
    for (long i = 1; i <= count; ++i) {
      fill(i, stmt);
      if (sqlite3_step(stmt) != SQLITE_DONE) {
        sqlite3_finalize(stmt);
        Fail(sqlite3_errmsg(db_));
      }
      sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
  }

 private:
  [[noreturn]] static void Fail(const std::string& what) {
    throw std::runtime_error("demo database: " + what);
  }
  sqlite3* db_ = nullptr;
};

void BindText(sqlite3_stmt* stmt, int column, const std::string& text) {
  sqlite3_bind_text(stmt, column, text.c_str(), -1, SQLITE_TRANSIENT);
}

// Fills a new, empty SQLite file with the demo schema and rows.
void FillDemoDatabase(const std::string& path, long rows) {
  DemoSize size = DemoSizeFor(rows);
  Db db(path);
  db.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
  db.Exec(kSchema);
  db.InsertRows("INSERT INTO suppliers VALUES (?, ?, ?, ?)", size.suppliers,
                [](long i, sqlite3_stmt* s) {
                  sqlite3_bind_int64(s, 1, i);
                  BindText(s, 2, std::string(Pick(kWords, i * 7)) + " " + Pick(kGoods, i) + " Co.");
                  BindText(s, 3, Pick(kCities, i));
                  BindText(s, 4, Pick(kCountries, i));
                });
  db.InsertRows("INSERT INTO products VALUES (?, ?, ?, ?, ?)", size.products,
                [&](long i, sqlite3_stmt* s) {
                  sqlite3_bind_int64(s, 1, i);
                  BindText(s, 2, std::string(Pick(kWords, i)) + " " + Pick(kGoods, i / 3));
                  sqlite3_bind_int64(s, 3, 1 + static_cast<long>(Mix(i) % size.suppliers));
                  BindText(s, 4, Pick(kCategories, i));
                  sqlite3_bind_double(s, 5, 1.5 + static_cast<double>(Mix(i + 11) % 9000) / 100);
                });
  db.InsertRows("INSERT INTO customers VALUES (?, ?, ?, ?, ?, ?)", size.customers,
                [](long i, sqlite3_stmt* s) {
                  sqlite3_bind_int64(s, 1, i);
                  BindText(s, 2,
                           std::string(Pick(kWords, i / 5)) + " " + Pick(kWords, i * 3) +
                               (i % 3 ? " Trading" : " Markets"));
                  BindText(s, 3, std::string(Pick(kFirstNames, i)) + " " + Pick(kLastNames, i / 2));
                  BindText(s, 4, Pick(kCities, i / 4));
                  BindText(s, 5, Pick(kCountries, i / 4));
                  // Every seventh customer has no phone: searches meet NULLs.
                  if (i % 7 == 0)
                    sqlite3_bind_null(s, 6);
                  else
                    BindText(s, 6, "+00 " + std::to_string(100000 + Mix(i) % 900000));
                });
  db.InsertRows(
      "INSERT INTO orders VALUES (?, ?, ?, ?, ?)", size.orders, [&](long i, sqlite3_stmt* s) {
        sqlite3_bind_int64(s, 1, i);
        sqlite3_bind_int64(s, 2, 1 + static_cast<long>(Mix(i) % size.customers));
        char date[16];
        std::snprintf(date, sizeof date, "20%02ld-%02ld-%02ld", 20 + i % 7, 1 + i % 12, 1 + i % 28);
        BindText(s, 3, date);
        BindText(s, 4, Pick(kCities, static_cast<long>(Mix(i + 3) % 18)));
        if (i % 5 == 0)
          BindText(s, 5, "Deliver to the rear door; it's the blue one");
        else
          sqlite3_bind_null(s, 5);
      });
  long lines_per_order = (size.order_lines + size.orders - 1) / size.orders;
  db.InsertRows("INSERT INTO order_lines VALUES (?, ?, ?, ?, ?)", size.order_lines,
                [&](long i, sqlite3_stmt* s) {
                  sqlite3_bind_int64(s, 1, 1 + (i - 1) / lines_per_order);
                  sqlite3_bind_int64(s, 2, 1 + (i - 1) % lines_per_order);
                  sqlite3_bind_int64(s, 3, 1 + static_cast<long>(Mix(i) % size.products));
                  sqlite3_bind_int64(s, 4, 1 + static_cast<long>(Mix(i + 5) % 40));
                  sqlite3_bind_double(s, 5, 1.5 + static_cast<double>(Mix(i + 7) % 9000) / 100);
                });
  db.Exec("COMMIT;");
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

void CreateDemoDatabase(const std::string& path, long rows) {
  ReplacementFile replacement(path);
  FillDemoDatabase(replacement.Path(), rows);
  replacement.PutInPlace();
}

std::string DemoDatabaseProblem(const std::string& path) {
  sqlite3* db = nullptr;
  std::string problem;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    problem = sqlite3_errmsg(db);
  } else {
    // A quick check reads every page: it finds a file cut short as well.
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &check, nullptr) != SQLITE_OK ||
        sqlite3_step(check) != SQLITE_ROW)
      problem = sqlite3_errmsg(db);
    else if (std::string answer = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
             answer != "ok")
      problem = "it is damaged (" + answer + ")";
    sqlite3_finalize(check);
    for (const char* table : kDemoTables) {
      if (!problem.empty()) break;
      if (sqlite3_table_column_metadata(db, nullptr, table, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr) != SQLITE_OK)
        problem = std::string("it lacks the demo table ") + table;
    }
  }
  sqlite3_close(db);
  return problem;
}

}  // namespace corvanty::demo
