#include "demo/demodatabase.h"

#include <gtest/gtest.h>

#include "support/databasetest.h"
#include "support/odbcfixture.h"
#include "support/tempdir.h"

namespace corvanty::demo {
namespace {

using testing::QuerySqlite;
using testing::SqliteColumn;

const char* const kTables[] = {"suppliers", "products", "customers", "orders", "order_lines"};

long Count(const std::string& file, const std::string& sql) {
  return std::stol(SqliteColumn(file, sql).at(0));
}

class DemoDatabase : public ::testing::Test {
 protected:
  std::string Create(const std::string& name, long rows) {
    std::string file = dir_.File(name);
    CreateDemoDatabase(file, rows);
    return file;
  }
  testing::TempDir dir_;
};

TEST_F(DemoDatabase, TheSameSizeGivesTheSameContents) {
  std::string first = Create("first.db", 300);
  std::string second = Create("second.db", 300);
  CreateDemoDatabase(first, 300);  // replacing a demo, not adding to it
  for (const char* table : kTables) {
    SCOPED_TRACE(table);
    std::string all = std::string("SELECT * FROM ") + table + " ORDER BY 1, 2";
    auto rows = QuerySqlite(first, all);
    EXPECT_FALSE(rows.empty());
    EXPECT_EQ(rows, QuerySqlite(second, all));
  }
}

TEST_F(DemoDatabase, TableSizesFollowTheRowsAsked) {
  for (long rows : {10L, 1234L}) {
    SCOPED_TRACE(rows);
    std::string file = Create("sized.db", rows);
    DemoSize size = DemoSizeFor(rows);
    EXPECT_EQ(size.order_lines, rows);
    const long expected[] = {size.suppliers, size.products, size.customers, size.orders,
                             size.order_lines};
    for (size_t i = 0; i < std::size(kTables); ++i)
      EXPECT_EQ(Count(file, std::string("SELECT count(*) FROM ") + kTables[i]), expected[i])
          << kTables[i];
  }
}

TEST_F(DemoDatabase, SearchesMeetNullsAndEveryReferenceLeadsToARow) {
  std::string file = Create("demo.db", 2000);
  long customers = Count(file, "SELECT count(*) FROM customers");
  long no_phone = Count(file, "SELECT count(*) FROM customers WHERE phone IS NULL");
  EXPECT_GT(no_phone, 0);
  EXPECT_LT(no_phone, customers);
  long orders = Count(file, "SELECT count(*) FROM orders");
  long no_note = Count(file, "SELECT count(*) FROM orders WHERE note IS NULL");
  EXPECT_GT(no_note, 0);
  EXPECT_LT(no_note, orders);
  // A note with an apostrophe: criteria and shown values must survive it.
  EXPECT_GT(Count(file, "SELECT count(*) FROM orders WHERE note LIKE '%''%'"), 0);

  const char* const orphans[] = {
      "SELECT count(*) FROM order_lines WHERE order_id NOT IN (SELECT order_id FROM orders)",
      "SELECT count(*) FROM order_lines WHERE product_id NOT IN (SELECT product_id FROM products)",
      "SELECT count(*) FROM orders WHERE customer_id NOT IN (SELECT customer_id FROM customers)",
      "SELECT count(*) FROM products WHERE supplier_id NOT IN (SELECT supplier_id FROM suppliers)",
  };
  for (const char* sql : orphans) EXPECT_EQ(Count(file, sql), 0) << sql;
}

}  // namespace
}  // namespace corvanty::demo
