// SPDX-License-Identifier: Apache-2.0
// Which conditions of a guide's WHERE clause may narrow the rows a write to
// the optional side of an outer join takes part in: those reading only
// tables that are on every row, whatever the rows hold.
#include "index/outerjoinrows.h"

#include <gtest/gtest.h>

namespace corvanty {
namespace {

TEST(RowsAroundOptionalWrite, KeepsOnlyConditionsOnTablesOnEveryRow) {
  const std::string kLeft = "FROM customers c LEFT JOIN orders o ON o.customer_id = c.id";
  const struct {
    std::string from, where, rows;
  } cases[] = {
      // Customers without orders: the one condition reads the optional side.
      {kLeft, "WHERE o.id IS NULL", kLeft},
      {kLeft, "", kLeft},
      {kLeft, "WHERE c.city = 'Oslo' AND o.id IS NULL AND lower(c.name) LIKE 'a%'",
       kLeft + " WHERE (c.city = 'Oslo') AND (lower(c.name) LIKE 'a%')"},
      // An OR over both sides reads the optional side.
      {kLeft, "WHERE (o.id IS NULL OR c.city = 'Oslo') AND c.id > 0", kLeft + " WHERE (c.id > 0)"},
      // An AND of a BETWEEN or a CASE is no join of conditions: none kept.
      {kLeft, "WHERE c.id BETWEEN 1 AND 5 AND c.city = 'x'", kLeft},
      {kLeft, "WHERE CASE WHEN c.id > 1 AND c.id < 5 THEN 1 END AND c.city = 'x'", kLeft},
      // Columns without a qualifier, quoted names and subqueries may read
      // anything.
      {kLeft, "WHERE city = 'x' AND c.id > 3 AND \"city\" = 'y'", kLeft + " WHERE (c.id > 3)"},
      {kLeft, "WHERE c.id IN (SELECT customer_id FROM orders) AND c.id > 3",
       kLeft + " WHERE (c.id > 3)"},
      // RIGHT makes the tables before it optional, FULL both sides; a
      // parenthesized join is optional whatever its own joins.
      {"FROM orders o RIGHT JOIN customers c ON c.id = o.customer_id",
       "WHERE o.id > 1 AND c.id > 2",
       "FROM orders o RIGHT JOIN customers c ON c.id = o.customer_id WHERE (c.id > 2)"},
      {"FROM orders o FULL OUTER JOIN customers c ON c.id = o.customer_id",
       "WHERE o.id > 1 AND c.id > 2",
       "FROM orders o FULL OUTER JOIN customers c ON c.id = o.customer_id"},
      {"FROM customers c LEFT JOIN (orders o JOIN items i ON i.order_id = o.id) ON o.customer_id = "
       "c.id",
       "WHERE i.price > 1 AND c.id = 2",
       "FROM customers c LEFT JOIN (orders o JOIN items i ON i.order_id = o.id) ON o.customer_id = "
       "c.id WHERE (c.id = 2)"},
      // A table joined after the optional one by an inner join is on every
      // row that is there at all.
      {kLeft + ", products p", "WHERE p.id = 3 AND o.item = p.name",
       kLeft + ", products p WHERE (p.id = 3)"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RowsAroundOptionalWrite(c.from, c.where), c.rows) << c.from << " " << c.where;
}

}  // namespace
}  // namespace corvanty
