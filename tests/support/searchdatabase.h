// SPDX-License-Identifier: Apache-2.0
#pragma once
// A small shop database holding the guide tables and a set of guides written
// into them by tests/data/shop.sql, for tests that search through the real
// ODBC driver, on SQLite and on PostgreSQL.
#include <memory>
#include <string>
#include <vector>

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

// The same shop in a new schema on a PostgreSQL server, more_sql run last;
// in a database of its own, owned by owner when one is given (see
// PostgresSchema).
std::unique_ptr<PostgresSchema> AddPostgresShop(
    const std::string& dsn, const std::string& more_sql = "",
    const PostgresLogin& server = SharedPostgresServer(),
    PostgresSchema::Database database = PostgresSchema::Database::Shared,
    const std::string& owner = "");

// A test run on each server, the same body on both, over databases of its
// own: SQLite files, or schemas on the shared PostgreSQL server. A test on
// PostgreSQL is skipped when there can be no server (see
// SkipWithoutPostgres).
class EachServer : public ::testing::TestWithParam<rdo::Dialect> {
 protected:
  void SetUp() override;
  bool postgres() const { return GetParam() == rdo::Dialect::PostgreSql; }
  // Makes the test's database and runs seed_sql in it; on PostgreSQL it is
  // reached through data source dsn.
  void Seed(const std::string& dsn, const std::string& seed_sql);
  // The first column of each row sql returns in that database.
  std::vector<std::string> Query(const std::string& sql);
  // A new shop, more_sql run in it last; returns its connect string. On
  // PostgreSQL its data source is name + "OnPostgres": a data source name
  // keeps its first driver (see ClaimDataSourceName).
  std::string AddShop(const std::string& name, const std::string& more_sql = "");

  OdbcFixture odbc_;
  std::vector<std::unique_ptr<PostgresSchema>> schemas_;
};

}  // namespace corvanty::testing
