#include "demo/demodatabase.h"

#include <gtest/gtest.h>

#include "support/databasetest.h"
#include "support/odbcfixture.h"
#include "support/tempdir.h"

namespace corvanty::demo {
namespace {

long Count(const std::string& file, const std::string& from_where) {
  return std::stol(testing::SqliteColumn(file, "SELECT count(*) FROM " + from_where).at(0));
}

// Searches over the demo must meet NULLs and apostrophes, and every
// reference must lead to a row.
TEST(DemoDatabase, IsTheSameForTheSameSizeAndHoldsNullsApostrophesAndNoOrphans) {
  testing::TempDir dir;
  const std::string first = dir.File("first.db"), second = dir.File("second.db");
  CreateDemoDatabase(first, 1234);
  CreateDemoDatabase(second, 1234);
  CreateDemoDatabase(first, 1234);  // replacing a demo, not adding to it
  DemoSize size = DemoSizeFor(1234);
  const std::pair<const char*, long> tables[] = {{"suppliers", size.suppliers},
                                                 {"products", size.products},
                                                 {"customers", size.customers},
                                                 {"orders", size.orders},
                                                 {"order_lines", 1234}};
  for (const auto& [table, rows] : tables) {
    EXPECT_EQ(Count(first, table), rows) << table;
    std::string all = std::string("SELECT * FROM ") + table + " ORDER BY 1, 2";
    EXPECT_EQ(testing::QuerySqlite(first, all), testing::QuerySqlite(second, all)) << table;
  }

  EXPECT_GT(Count(first, "customers WHERE phone IS NULL"), 0);
  EXPECT_GT(Count(first, "customers WHERE phone IS NOT NULL"), 0);
  EXPECT_GT(Count(first, "orders WHERE note IS NULL"), 0);
  EXPECT_GT(Count(first, "orders WHERE note LIKE '%''%'"), 0);
  for (const char* orphans :
       {"order_lines WHERE order_id NOT IN (SELECT order_id FROM orders)",
        "order_lines WHERE product_id NOT IN (SELECT product_id FROM products)",
        "orders WHERE customer_id NOT IN (SELECT customer_id FROM customers)",
        "products WHERE supplier_id NOT IN (SELECT supplier_id FROM suppliers)"})
    EXPECT_EQ(Count(first, orphans), 0) << orphans;
}

}  // namespace
}  // namespace corvanty::demo
