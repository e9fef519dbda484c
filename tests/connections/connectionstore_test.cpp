#include "connections/connectionstore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "connections/sqlerrorreport.h"
#include "support/odbcfixture.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

using namespace basCorvantyAdmin;

class ConnectionStore : public ::testing::Test {
 protected:
  void SetUp() override { ResetConnectionParameters(); }
  void TearDown() override { ResetConnectionParameters(); }
  testing::TempRegistry registry_;
};

TEST_F(ConnectionStore, ConnectStringsJoinPlainValuesAsGivenAndBraceSplittingOnes) {
  ASSERT_TRUE(SaveConnection(1, "Sales", "sa", "secret"));
  ASSERT_TRUE(LoadConnection(1));
  EXPECT_EQ(gstrConnect, "DSN=Sales;UID=sa;PWD=secret;");
  EXPECT_EQ(gintActiveConnection, 0);  // the callers choose the active number
  EXPECT_FALSE(LoadConnection(2));     // no data source name: the rest keep their values
  EXPECT_EQ(gstrDSN, "");
  EXPECT_EQ(gstrPWD, "secret");
  EXPECT_EQ(gstrConnect, "DSN=Sales;UID=sa;PWD=secret;");

  EXPECT_EQ(BuildConnectString("Sales", "sa", ""), "DSN=Sales;UID=sa;PWD=;");
  EXPECT_EQ(BuildConnectString("Sales", "sa", "a;b"), "DSN=Sales;UID=sa;PWD={a;b};");
  EXPECT_EQ(BuildConnectString("Sales", "sa", "x}y{"), "DSN=Sales;UID=sa;PWD={x}}y{};");
  EXPECT_EQ(BuildConnectString(" Sales", "sa ", "p w"), "DSN={ Sales};UID={sa };PWD=p w;");
  EXPECT_EQ(BuildConnectString("My Data", "dom\\user", "p=w'\""),
            "DSN=My Data;UID=dom\\user;PWD=p=w'\";");
}

TEST_F(ConnectionStore, TheListStopsAtTheFirstGapAndNewConnectionsFillIt) {
  std::vector<std::string> list{"stale"};
  ListConnections(list);
  EXPECT_EQ(list, std::vector<std::string>{""});  // upper bound 0
  EXPECT_EQ(NextConnectionNumber(), 1);

  for (int16_t number : {1, 2, 4})
    ASSERT_TRUE(SaveConnection(number, "S" + std::to_string(number), "u", ""));
  ListConnections(list);
  EXPECT_EQ(list, (std::vector<std::string>{"", "S1", "S2"}));
  EXPECT_EQ(NextConnectionNumber(), 3);

  // A save that fails half-way leaves nothing that would be listed.
  testing::ExecSqlite(registry_.Path(),
                      "CREATE TRIGGER no_pwd BEFORE INSERT ON reg_values WHEN NEW.name = 'PWD' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
  EXPECT_FALSE(SaveConnection(3, "S3", "u", "secret"));
  ListConnections(list);
  EXPECT_EQ(list, (std::vector<std::string>{"", "S1", "S2"}));

  ASSERT_EQ(chmod(registry_.Path().c_str(), 0400), 0);
  EXPECT_FALSE(SaveConnection(3, "S3", "u", ""));  // a failed write is reported
  EXPECT_FALSE(SaveConnection(1, "Changed", "u", ""));
  ASSERT_TRUE(LoadConnection(1));
  EXPECT_EQ(gstrDSN, "S1");
}

TEST(SqlErrorReport, EachSiteWrapsErrorsInItsMarksAndAdds911AtTheTableTest) {
  auto record = [](int32_t number, int retcode) {
    return rdo::rdoError{number, "E" + std::to_string(number), retcode, "HY000"};
  };
  const std::vector<rdo::rdoError> two = {record(1, -1), record(2, -1)};
  EXPECT_EQ(SqlErrorReport(two, kEngineInstallMarks), " [[E1]]  [[E2]] ");
  EXPECT_EQ(SqlErrorReport(two, kTableBuildMarks), "[[E1]][[E2]]");
  EXPECT_EQ(SqlErrorReport(two, kTablesExistMarks), "[[E1]] [[E2]] ");
  EXPECT_EQ(SqlErrorReport(two, kSyntaxCheckMarks), " [[E1]]  [[E2]] ");
  EXPECT_EQ(SqlErrorReport({record(5701, 1)}, kEngineInstallMarks), "");  // informational only
  const std::string no_db = "[[The DSN supplied points to a database that does not exist.]] ";
  EXPECT_EQ(SqlErrorReport({record(911, -1)}, kTablesExistMarks), "[[E911]] " + no_db);
  EXPECT_EQ(SqlErrorReport({record(911, -1)}, kTableBuildMarks), "[[E911]]");
  EXPECT_EQ(SqlErrorReport({record(911, 1)}, kTablesExistMarks), no_db);  // even informational
}

}  // namespace
}  // namespace corvanty
