#include "engine/readiness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "connections/rdo.h"
#include "engine/dialectsql.h"
#include "support/databasetest.h"

namespace corvanty {
namespace {

using basCorvantyAdmin::CheckDatabaseReadiness;
using testing::GuideTablesSql;
using testing::SqliteColumn;
using testing::SqliteObjects;
using Texts = std::vector<std::string>;

const Texts kAllFive = {"Db_Search_Guide_Cols", "Db_Search_Guide_SQL", "Db_Search_Guide_Tables",
                        "Db_Search_Guide_Unique", "Db_Search_Guides"};
const std::string kGuidesWithTwoRows =
    GuideTablesSql({"Db_Search_Guides"}) +
    "INSERT INTO Db_Search_Guides (DSG_name, DSG_description) VALUES ('Orders', 'by customer');"
    "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Products');";
const char kGuideRows[] = "SELECT DSG_name || '/' || DSG_description FROM Db_Search_Guides";

using Readiness = testing::DatabaseTest;

TEST_F(Readiness, ANewDatabaseGetsAllFiveTablesWithoutAMessage) {
  std::string file = UseNewDatabase("Fresh", "CREATE TABLE customers (id INTEGER PRIMARY KEY);");
  EXPECT_TRUE(CheckDatabaseReadiness());
  EXPECT_TRUE(boxes_->Shown().empty());
  Texts expected = kAllFive;
  expected.push_back("customers");
  EXPECT_EQ(SqliteObjects(file, "table"), expected);
}

TEST_F(Readiness, ADatabaseWithTheMainTablesIsOnlyAskedAndAViewCountsAsATable) {
  std::string file =
      UseNewDatabase("Complete", kGuidesWithTwoRows + GuideTablesSql({"Db_Search_Guide_Tables"}) +
                                     "CREATE VIEW Db_Search_Guide_Cols AS SELECT 1 AS DSG_ID;");
  EXPECT_TRUE(CheckDatabaseReadiness());
  // The procedure test needs no query on SQLite: the table test is all that is sent.
  EXPECT_EQ(sent_, Texts{MainTablesExistQuery(rdo::Dialect::Sqlite)});
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_EQ(SqliteColumn(file, kGuideRows).size(), 2u);
  EXPECT_EQ(SqliteObjects(file, "view"), Texts{"Db_Search_Guide_Cols"});
}

TEST_F(Readiness, AnIndexNamedLikeAGuideTableDoesNotCountAsThatTable) {
  UseNewDatabase("IndexOnly", GuideTablesSql({"Db_Search_Guide_Tables", "Db_Search_Guide_Cols"}) +
                                  "CREATE TABLE t(x); CREATE INDEX Db_Search_Guides ON t(x);");
  EXPECT_FALSE(basCorvantyAdmin::SearchTablesExist());
}

TEST_F(Readiness, AnExistingGuideTableKeepsItsRowsAndTheOthersAreAdded) {
  std::string file = UseNewDatabase("GuidesOnly", kGuidesWithTwoRows);
  EXPECT_TRUE(CheckDatabaseReadiness());
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_EQ(SqliteObjects(file, "table"), kAllFive);
  EXPECT_EQ(SqliteColumn(file, kGuideRows), (Texts{"Orders/by customer", "Products/(none)"}));
}

TEST_F(Readiness, WithoutAnActiveConnectionNothingIsSent) {
  EXPECT_FALSE(CheckDatabaseReadiness());
  EXPECT_TRUE(sent_.empty());
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(Readiness, TablesThatCannotBeBuiltAreEachReportedThenNamedInBuildOrder) {
  // Opened read-only, so that writes fail even for root, whom file modes do not stop.
  const std::string file = odbc_.File("ReadOnly.db");
  testing::ExecSqlite(file, kGuidesWithTwoRows);
  odbc_.AddDataSource("ReadOnly", "file:" + file + "?mode=ro", {{"NoCreat", "1"}});
  UseDataSource("ReadOnly");
  EXPECT_TRUE(CheckDatabaseReadiness());

  const Texts failed = {"Db_Search_Guide_Tables", "Db_Search_Guide_Cols", "Db_Search_Guide_SQL",
                        "Db_Search_Guide_Unique"};
  ASSERT_EQ(boxes_->Shown().size(), failed.size() + 1);
  for (size_t i = 0; i < failed.size(); ++i)
    EXPECT_THAT(boxes_->Shown()[i].prompt,
                ::testing::MatchesRegex("The following errors were encountered when attempting "
                                        "to build the table '" +
                                        failed[i] + "' - \\[\\[.*readonly database.*"));
  const MessageBoxRequest& summary = boxes_->Shown().back();
  EXPECT_EQ(summary.prompt,
            "Corvanty Database Search Guide Tables : One or more tables were not created "
            "re-create these tables from Tools on the main menu. Table(s) not created : "
            "Db_Search_Guide_Tables, Db_Search_Guide_Cols, Db_Search_Guide_SQL, "
            "Db_Search_Guide_Unique");
  EXPECT_EQ(summary.title, "Velmorastine: Corvanty");
  EXPECT_EQ(SqliteColumn(file, kGuideRows).size(), 2u);
}

TEST_F(Readiness, ADatabaseFileThatIsGoneIsAnErrorNotAnEmptyNewDatabase) {
  std::string file = odbc_.File("gone.db");
  odbc_.AddDataSource("Gone", file, {{"NoCreat", "1"}});
  UseDataSource("Gone");
  EXPECT_THROW(CheckDatabaseReadiness(), rdo::DatabaseError);
  EXPECT_TRUE(sent_.empty());
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace corvanty
