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
const std::string kTwoGuides =
    "INSERT INTO Db_Search_Guides (DSG_name, DSG_description) VALUES ('Orders', 'by customer');"
    "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Products');";
const std::string kGuidesWithTwoRows = GuideTablesSql({"Db_Search_Guides"}) + kTwoGuides;
const char kGuideRows[] = "SELECT DSG_name || '/' || DSG_description FROM Db_Search_Guides";

using Readiness = testing::DatabaseTest;

TEST_F(Readiness, BuildsOnlyWhatIsMissingSilentlyAndKeepsEveryGuide) {
  const Texts two_guides = {"Orders/by customer", "Products/(none)"};
  const struct {
    const char* what;
    std::string seed;
    Texts tables;           // the tables afterwards
    Texts guides;           // the guide list afterwards
    bool only_table_query;  // nothing sent but the main tables' existence query
  } cases[] = {
      {"a new database",
       "CREATE TABLE customers (id INTEGER PRIMARY KEY);",
       {"Db_Search_Guide_Cols", "Db_Search_Guide_SQL", "Db_Search_Guide_Tables",
        "Db_Search_Guide_Unique", "Db_Search_Guides", "customers"},
       {},
       false},
      {"the guide list alone", kGuidesWithTwoRows, kAllFive, two_guides, false},
      {"the guide list named in another case",
       "CREATE TABLE db_search_guides (DSG_ID INTEGER PRIMARY KEY, DSG_name varchar (50), "
       "DSG_description varchar (255) DEFAULT ('(none)'));" +
           kTwoGuides,
       {"Db_Search_Guide_Cols", "Db_Search_Guide_SQL", "Db_Search_Guide_Tables",
        "Db_Search_Guide_Unique", "db_search_guides"},
       two_guides,
       false},
      {"the main tables, one of them a view",
       kGuidesWithTwoRows + GuideTablesSql({"Db_Search_Guide_Tables"}) +
           "CREATE VIEW Db_Search_Guide_Cols AS SELECT 1 AS DSG_ID;",
       {"Db_Search_Guide_Tables", "Db_Search_Guides"},
       two_guides,
       true},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sent_.clear();
    std::string file = UseNewDatabase("Db" + std::to_string(++n), c.seed);
    EXPECT_TRUE(CheckDatabaseReadiness());
    EXPECT_TRUE(boxes_->Shown().empty());
    EXPECT_EQ(SqliteObjects(file, "table"), c.tables);
    EXPECT_EQ(SqliteColumn(file, kGuideRows), c.guides);
    EXPECT_EQ(sent_ == Texts{MainTablesExistQuery(rdo::Dialect::Sqlite)}, c.only_table_query);
  }
}

TEST_F(Readiness, AnIndexNamedLikeAGuideTableDoesNotCountAsThatTable) {
  UseNewDatabase("IndexOnly", GuideTablesSql({"Db_Search_Guide_Tables", "Db_Search_Guide_Cols"}) +
                                  "CREATE TABLE t(x); CREATE INDEX Db_Search_Guides ON t(x);");
  EXPECT_FALSE(basCorvantyAdmin::SearchTablesExist());
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
