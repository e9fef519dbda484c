#include "engine/readiness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "connections/connectionstore.h"
#include "connections/rdo.h"
#include "engine/dialectsql.h"
#include "support/databasetest.h"

namespace corvanty {
namespace {

using basCorvantyAdmin::CheckDatabaseReadiness;
using basCorvantyAdmin::SearchTablesExist;
using ::testing::ElementsAre;
using testing::GuideTablesSql;
using ::testing::HasSubstr;
using testing::SqliteColumn;
using testing::SqliteObjects;
using ::testing::StartsWith;

const std::vector<std::string> kAllFive = {"Db_Search_Guide_Cols", "Db_Search_Guide_SQL",
                                           "Db_Search_Guide_Tables", "Db_Search_Guide_Unique",
                                           "Db_Search_Guides"};
const char kTwoGuides[] =
    "INSERT INTO Db_Search_Guides (DSG_name, DSG_description) VALUES ('Orders', 'by customer');"
    "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Products');";

std::string Summary(const std::string& tables) {
  return "Corvanty Database Search Guide Tables : One or more tables were not created re-create "
         "these tables from Tools on the main menu. Table(s) not created : " +
         tables;
}

class Readiness : public testing::DatabaseTest {
 protected:
  // Each builder message of the check, in order, then its summary.
  void ExpectBuildFailures(const std::vector<std::string>& tables) {
    ASSERT_EQ(boxes_->Shown().size(), tables.size() + 1);
    std::string list;
    for (size_t i = 0; i < tables.size(); ++i) {
      const MessageBoxRequest& box = boxes_->Shown()[i];
      EXPECT_THAT(box.prompt,
                  StartsWith("The following errors were encountered when attempting to build the "
                             "table '" +
                             tables[i] + "' - [["));
      EXPECT_THAT(box.prompt, HasSubstr("readonly database"));
      EXPECT_EQ(box.prompt.back(), ']');
      EXPECT_EQ(box.style, vbOKOnly);
      list += (i ? ", " : "") + tables[i];
    }
    const MessageBoxRequest& summary = boxes_->Shown().back();
    EXPECT_EQ(summary.prompt, Summary(list));
    EXPECT_EQ(summary.style, vbOKOnly);
    EXPECT_EQ(summary.title, "Velmorastine: Corvanty");
  }

  // A data source that opens the file read-only: writes fail even for root,
  // whom file modes do not stop.
  void UseReadOnlyDatabase(const std::string& seed_sql) {
    std::string file = odbc_.File("ReadOnly.db");
    testing::ExecSqlite(file, seed_sql);
    odbc_.AddDataSource("ReadOnly", "file:" + file + "?mode=ro", {{"NoCreat", "1"}});
    UseDataSource("ReadOnly");
  }
};

TEST_F(Readiness, ANewDatabaseGetsAllFiveTablesWithoutAMessage) {
  std::string file = UseNewDatabase("Fresh", "CREATE TABLE customers (id INTEGER PRIMARY KEY);");
  EXPECT_TRUE(CheckDatabaseReadiness());
  EXPECT_TRUE(boxes_->Shown().empty());
  std::vector<std::string> expected = kAllFive;
  expected.push_back("customers");
  EXPECT_EQ(SqliteObjects(file, "table"), expected);
  EXPECT_TRUE(SearchTablesExist());
}

TEST_F(Readiness, ACompleteDatabaseIsOnlyAskedAndKeepsItsRows) {
  std::string file = UseNewDatabase(
      "Complete",
      GuideTablesSql({"Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols",
                      "Db_Search_Guide_SQL", "Db_Search_Guide_Unique"}) +
          kTwoGuides);
  EXPECT_TRUE(CheckDatabaseReadiness());
  // The procedure test needs no query on SQLite: the table test is all that is sent.
  EXPECT_THAT(sent_, ElementsAre(MainTablesExistQuery(rdo::Dialect::Sqlite)));
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_EQ(SqliteColumn(file, "SELECT DSG_ID || ' ' || DSG_name FROM Db_Search_Guides"),
            (std::vector<std::string>{"1 Orders", "2 Products"}));
}

TEST_F(Readiness, TheThreeMainTablesAloneAreEnough) {
  // The scratch tables are re-created from the Tools menu, not by the check.
  std::string file = UseNewDatabase(
      "MainOnly",
      GuideTablesSql({"Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols"}));
  EXPECT_TRUE(CheckDatabaseReadiness());
  EXPECT_EQ(sent_.size(), 1u);
  EXPECT_EQ(SqliteObjects(file, "table"),
            (std::vector<std::string>{"Db_Search_Guide_Cols", "Db_Search_Guide_Tables",
                                      "Db_Search_Guides"}));
}

TEST_F(Readiness, AnExistingGuideTableKeepsItsRowsAndTheOthersAreAdded) {
  std::string file =
      UseNewDatabase("GuidesOnly", GuideTablesSql({"Db_Search_Guides"}) + kTwoGuides);
  EXPECT_TRUE(CheckDatabaseReadiness());
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_EQ(SqliteObjects(file, "table"), kAllFive);
  EXPECT_EQ(SqliteColumn(file,
                         "SELECT DSG_name || '/' || DSG_description FROM Db_Search_Guides "
                         "ORDER BY DSG_ID"),
            (std::vector<std::string>{"Orders/by customer", "Products/(none)"}));
  for (const std::string& sql : sent_) EXPECT_NE(sql, "DROP TABLE IF EXISTS Db_Search_Guides");
  // Its numbering goes on from the guides it has.
  testing::ExecSqlite(file, "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Suppliers')");
  EXPECT_EQ(SqliteColumn(file, "SELECT max(DSG_ID) FROM Db_Search_Guides"),
            std::vector<std::string>{"3"});
}

TEST_F(Readiness, AViewNamedLikeAGuideTableCountsAsThatTable) {
  std::string file =
      UseNewDatabase("WithView", GuideTablesSql({"Db_Search_Guides", "Db_Search_Guide_Tables"}) +
                                     "CREATE VIEW Db_Search_Guide_Cols AS SELECT 1 AS DSG_ID;");
  EXPECT_TRUE(SearchTablesExist());
  EXPECT_TRUE(CheckDatabaseReadiness());
  EXPECT_EQ(sent_.size(), 2u);  // one table test each
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_EQ(SqliteObjects(file, "view"), std::vector<std::string>{"Db_Search_Guide_Cols"});
}

TEST_F(Readiness, AnIndexNamedLikeAGuideTableDoesNotStandInForIt) {
  std::string file = UseNewDatabase(
      "WithIndex", "CREATE TABLE t(x); CREATE INDEX Db_Search_Guides ON t(x);");
  EXPECT_FALSE(SearchTablesExist());
  // SQLite keeps tables and indexes in one namespace, so that table cannot
  // be built: the administrator is told, and the other four are built.
  EXPECT_TRUE(CheckDatabaseReadiness());
  ASSERT_FALSE(boxes_->Shown().empty());
  EXPECT_NE(boxes_->Shown().back().prompt.find("Table(s) not created : Db_Search_Guides"),
            std::string::npos);
  EXPECT_EQ(SqliteObjects(file, "table").size(), 5u);  // t and the four others
}

TEST_F(Readiness, AViewNamedInOtherCaseIsLeftAloneWhileTheMissingTablesAreBuilt) {
  std::string file =
      UseNewDatabase("ViewOnly", "CREATE VIEW db_search_guides AS SELECT 1 AS DSG_ID;");
  EXPECT_TRUE(CheckDatabaseReadiness());
  EXPECT_TRUE(boxes_->Shown().empty()) << boxes_->Shown().front().prompt;
  EXPECT_EQ(SqliteObjects(file, "view"), std::vector<std::string>{"db_search_guides"});
  EXPECT_EQ(SqliteObjects(file, "table"),
            (std::vector<std::string>{"Db_Search_Guide_Cols", "Db_Search_Guide_SQL",
                                      "Db_Search_Guide_Tables", "Db_Search_Guide_Unique"}));
}

TEST_F(Readiness, WithoutAnActiveConnectionNothingIsSent) {
  EXPECT_FALSE(CheckDatabaseReadiness());
  EXPECT_TRUE(sent_.empty());
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(Readiness, TablesThatCannotBeBuiltAreEachReportedThenNamedInBuildOrder) {
  UseReadOnlyDatabase("CREATE TABLE customers (id INTEGER PRIMARY KEY);");
  EXPECT_TRUE(CheckDatabaseReadiness());
  ExpectBuildFailures({"Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols",
                       "Db_Search_Guide_SQL", "Db_Search_Guide_Unique"});
}

TEST_F(Readiness, ATableThatExistsIsNeitherRebuiltNorNamedAsNotCreated) {
  UseReadOnlyDatabase(GuideTablesSql({"Db_Search_Guides"}) + kTwoGuides);
  EXPECT_TRUE(CheckDatabaseReadiness());
  ExpectBuildFailures({"Db_Search_Guide_Tables", "Db_Search_Guide_Cols", "Db_Search_Guide_SQL",
                       "Db_Search_Guide_Unique"});
  EXPECT_EQ(SqliteColumn(odbc_.File("ReadOnly.db"), "SELECT count(*) FROM Db_Search_Guides"),
            std::vector<std::string>{"2"});
}

TEST_F(Readiness, ADatabaseFileThatIsGoneIsAnErrorNotAnEmptyNewDatabase) {
  std::string file = odbc_.File("gone.db");
  odbc_.AddDataSource("Gone", file, {{"NoCreat", "1"}});
  UseDataSource("Gone");
  EXPECT_THROW(CheckDatabaseReadiness(), rdo::DatabaseError);
  EXPECT_TRUE(sent_.empty());
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace corvanty
