#pragma once
// A small shop database holding the guide tables and a set of guides written
// into them by tests/data/shop.sql, for tests that search through the real
// ODBC driver, on SQLite and on PostgreSQL.
#include <memory>
#include <string>

#include "support/odbcfixture.h"
#include "support/postgresserver.h"

namespace corvanty::testing {

// The guides the shop database holds, by DSG_ID.
enum ShopGuide : int32_t {
  kCustomersGuide = 1,  // customers c: key c.id, shows and searches name and city
  kOrdersGuide = 2,     // customers c joined to orders o: key o.id, item "for" name
  kItemsGuide = 3,      // orders o, no key: shows and searches the item
  kBrokenFromGuide = 4,
  kNoTablesRowGuide = 5,
  kNothingShownGuide = 6,
  kOverflowGuide = 7,  // its second row fails while it is read
};

// Creates the data source name for the shop database and returns its
// connect string "DSN=name;".
std::string AddShopDatabase(OdbcFixture& odbc, const std::string& name);

// The same shop in a new schema on a PostgreSQL server, more_sql run last.
std::unique_ptr<PostgresSchema> AddPostgresShop(
    const std::string& dsn, const std::string& more_sql = "",
    const PostgresLogin& server = SharedPostgresServer());

}  // namespace corvanty::testing
