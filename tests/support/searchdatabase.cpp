#include "support/searchdatabase.h"

#include "engine/searchguidetables.h"
#include "support/databasetest.h"
#include "support/testdata.h"

namespace corvanty::testing {

std::string AddShopDatabase(OdbcFixture& odbc, const std::string& name) {
  // One transaction: one sync of the file instead of one per statement.
  return odbc.AddSqliteDatabase(name, "BEGIN;" +
                                          GuideTablesSql({kSearchGuideTableBuildOrder.begin(),
                                                          kSearchGuideTableBuildOrder.end()}) +
                                          TestData("shop.sql") + "COMMIT;");
}

}  // namespace corvanty::testing
