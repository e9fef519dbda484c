#include "support/searchdatabase.h"

#include "engine/searchguidetables.h"
#include "guides/replaceall.h"
#include "support/databasetest.h"
#include "support/testdata.h"

namespace corvanty::testing {
namespace {

std::string ShopSql(rdo::Dialect server) {
  std::string sql =
      GuideTablesSql({kSearchGuideTableBuildOrder.begin(), kSearchGuideTableBuildOrder.end()},
                     server) +
      TestData("shop.sql");
  if (server == rdo::Dialect::PostgreSql) {
    basCorvantyAdmin::ReplaceAll(sql, "printf('%.300c', 'n')", "repeat('n', 300)");
    basCorvantyAdmin::ReplaceAll(sql, "char(39)", "chr(39)");
  }
  // One transaction: one sync of the file instead of one per statement.
  return "BEGIN;" + sql + "COMMIT;";
}

}  // namespace

std::string AddShopDatabase(OdbcFixture& odbc, const std::string& name) {
  return odbc.AddSqliteDatabase(name, ShopSql(rdo::Dialect::Sqlite));
}

std::unique_ptr<PostgresSchema> AddPostgresShop(const std::string& dsn, const std::string& more_sql,
                                                const PostgresLogin& server) {
  return std::make_unique<PostgresSchema>(dsn, ShopSql(rdo::Dialect::PostgreSql) + more_sql,
                                          server);
}

}  // namespace corvanty::testing
