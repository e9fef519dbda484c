// SPDX-License-Identifier: Apache-2.0
#include "support/searchdatabase.h"

#include "schema/searchguidetables.h"
#include "support/databasetest.h"
#include "support/testdata.h"

namespace corvanty::testing {
namespace {

std::string ShopSql(rdo::Dialect server) {
  // One transaction: one sync of the file instead of one per statement.
  return "BEGIN;" +
         GuideTablesSql({kSearchGuideTableBuildOrder.begin(), kSearchGuideTableBuildOrder.end()},
                        server) +
         TestData("shop.sql") + "COMMIT;";
}

}  // namespace

std::string AddShopDatabase(OdbcFixture& odbc, const std::string& name) {
  return odbc.AddSqliteDatabase(name, ShopSql(rdo::Dialect::Sqlite));
}

std::unique_ptr<PostgresSchema> AddPostgresShop(const std::string& dsn, const std::string& more_sql,
                                                const PostgresLogin& server,
                                                PostgresSchema::Database database,
                                                const std::string& owner) {
  return std::make_unique<PostgresSchema>(dsn, ShopSql(rdo::Dialect::PostgreSql) + more_sql, server,
                                          database, owner);
}

void EachServer::SetUp() {
  if (postgres()) SkipWithoutPostgres();
}

void EachServer::Seed(const std::string& dsn, const std::string& seed_sql) {
  if (!postgres()) return ExecSqlite(odbc_.File("test.db"), seed_sql);
  schemas_.push_back(std::make_unique<PostgresSchema>(dsn, seed_sql));
}

std::vector<std::string> EachServer::Query(const std::string& sql) {
  return postgres() ? schemas_.at(0)->Query(sql) : SqliteColumn(odbc_.File("test.db"), sql);
}

std::string EachServer::AddShop(const std::string& name, const std::string& more_sql) {
  if (postgres())
    return schemas_.emplace_back(AddPostgresShop(name + "OnPostgres", more_sql))->connect;
  const std::string connect = AddShopDatabase(odbc_, name);
  ExecSqlite(odbc_.File(name + ".db"), "BEGIN;" + more_sql + "COMMIT;");
  return connect;
}

}  // namespace corvanty::testing
