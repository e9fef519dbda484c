#include "connections/connectionstore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "connections/sqlerrorreport.h"
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

TEST_F(ConnectionStore, AnEmptyPasswordStillEndsTheConnectStringWithASemicolon) {
  ASSERT_TRUE(SaveConnection(1, "Sales", "sa", ""));
  ASSERT_TRUE(LoadConnection(1));
  EXPECT_EQ(gstrDSN, "Sales");
  EXPECT_EQ(gstrUID, "sa");
  EXPECT_EQ(gstrPWD, "");
  EXPECT_EQ(gstrConnect, "DSN=Sales;UID=sa;PWD=;");
  EXPECT_EQ(gintActiveConnection, 0);  // the callers choose the active number
}

TEST_F(ConnectionStore, ValuesThatWouldSplitTheConnectStringAreBraced) {
  EXPECT_EQ(BuildConnectString("Sales", "sa", "a;b"), "DSN=Sales;UID=sa;PWD={a;b};");
  EXPECT_EQ(BuildConnectString("Sales", "sa", "x}y{"), "DSN=Sales;UID=sa;PWD={x}}y{};");
  EXPECT_EQ(BuildConnectString(" Sales", "sa ", "p w"), "DSN={ Sales};UID={sa };PWD=p w;");
  EXPECT_EQ(BuildConnectString("My Data", "dom\\user", "p=w'\""),
            "DSN=My Data;UID=dom\\user;PWD=p=w'\";");
}

TEST_F(ConnectionStore, LoadingANumberWithoutADataSourceKeepsTheOtherParameters) {
  ASSERT_TRUE(SaveConnection(1, "Sales", "sa", "secret"));
  ASSERT_TRUE(LoadConnection(1));
  EXPECT_FALSE(LoadConnection(2));
  EXPECT_EQ(gstrDSN, "");
  EXPECT_EQ(gstrUID, "sa");
  EXPECT_EQ(gstrPWD, "secret");
  EXPECT_EQ(gstrConnect, "DSN=Sales;UID=sa;PWD=secret;");
}

TEST_F(ConnectionStore, TheListStopsAtTheFirstGapAndNewConnectionsFillIt) {
  std::vector<std::string> list{"stale"};
  ListConnections(list);
  EXPECT_EQ(list, std::vector<std::string>{""});  // upper bound 0
  EXPECT_EQ(NextConnectionNumber(), 1);

  ASSERT_TRUE(SaveConnection(1, "A", "u", ""));
  ASSERT_TRUE(SaveConnection(2, "B", "u", ""));
  ASSERT_TRUE(SaveConnection(4, "D", "u", ""));
  ListConnections(list);
  EXPECT_EQ(list, (std::vector<std::string>{"", "A", "B"}));
  EXPECT_EQ(NextConnectionNumber(), 3);
}

TEST_F(ConnectionStore, ASaveToAReadOnlyRegistryIsReported) {
  ASSERT_TRUE(SaveConnection(1, "A", "u", ""));
  ASSERT_EQ(chmod(registry_.Path().c_str(), 0400), 0);
  EXPECT_FALSE(SaveConnection(2, "B", "u", ""));
  EXPECT_FALSE(SaveConnection(1, "Changed", "u", ""));
  ASSERT_TRUE(LoadConnection(1));
  EXPECT_EQ(gstrDSN, "A");
}

rdo::rdoError Record(int32_t number, const std::string& text, int retcode) {
  return {number, text, retcode, "HY000"};
}

TEST(SqlErrorReport, EachSiteWrapsRealErrorsInItsOwnMarks) {
  std::vector<rdo::rdoError> two = {Record(1, "A", -1), Record(2, "B", -1)};
  EXPECT_EQ(SqlErrorReport(two, kEngineInstallMarks), " [[A]]  [[B]] ");
  EXPECT_EQ(SqlErrorReport(two, kTableBuildMarks), "[[A]][[B]]");
  EXPECT_EQ(SqlErrorReport(two, kTablesExistMarks), "[[A]] [[B]] ");
  EXPECT_EQ(SqlErrorReport(two, kSyntaxCheckMarks), " [[A]]  [[B]] ");
}

TEST(SqlErrorReport, InformationalRecordsAloneLeaveTheReportEmpty) {
  std::vector<rdo::rdoError> info = {Record(5701, "Changed database context to 'x'.", 1)};
  EXPECT_EQ(SqlErrorReport(info, kEngineInstallMarks), "");
  EXPECT_EQ(SqlErrorReport(info, kTablesExistMarks), "");
}

TEST(SqlErrorReport, NativeError911AddsTheMissingDatabaseTextAtTheTableTestOnly) {
  std::vector<rdo::rdoError> missing = {Record(911, "No such database.", -1)};
  EXPECT_EQ(SqlErrorReport(missing, kTablesExistMarks),
            "[[No such database.]] [[The DSN supplied points to a database that does not "
            "exist.]] ");
  EXPECT_EQ(SqlErrorReport(missing, kTableBuildMarks), "[[No such database.]]");
  // The rule applies even when the record itself is only informational.
  std::vector<rdo::rdoError> info = {Record(911, "x", 1)};
  EXPECT_EQ(SqlErrorReport(info, kTablesExistMarks),
            "[[The DSN supplied points to a database that does not exist.]] ");
}

}  // namespace
}  // namespace corvanty
