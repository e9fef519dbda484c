// SPDX-License-Identifier: Apache-2.0
// The readiness check and the rebuild commands, which build the guide
// tables on the active connection and report every failure.
#include "schema/readiness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <odbcinst.h>

#include <algorithm>

#include "connections/rdo.h"
#include "schema/guidetablewriters.h"
#include "schema/postgressearchservice.h"
#include "schema/rebuildcommands.h"
#include "schema/searchguidetables.h"
#include "support/databasetest.h"

namespace corvanty {
namespace {

using testing::GuideTablesSql;
using Texts = std::vector<std::string>;

std::string GuidesWithTwoRows(rdo::Dialect server) {
  return GuideTablesSql({"Db_Search_Guides"}, server) +
         "INSERT INTO Db_Search_Guides (DSG_name, DSG_description) VALUES ('Orders', 'by "
         "customer'); INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Products');";
}
const char kGuideRows[] = "SELECT DSG_name || '/' || DSG_description FROM Db_Search_Guides";

using Readiness = testing::OnEachServer<testing::DatabaseTest>;
INSTANTIATE_TEST_SUITE_P(, Readiness, testing::kEachServer, testing::ServerParamName);

TEST_P(Readiness, BuildsOnlyWhatIsMissingSilentlyAndKeepsEveryGuide) {
  const std::string kServiceQuery = PostgresSearchServiceQuery("pg_catalog.current_schema()");
  const std::string kOthers =
      "Db_Search_Guide_Cols Db_Search_Guide_SQL Db_Search_Guide_Tables Db_Search_Guide_Unique ";
  // The seed, and the tables (PostgreSQL folds their unquoted names to lower
  // case), the guides and what was sent afterwards.
  const std::pair<std::string, std::string> cases[] = {
      // A new database.
      {"CREATE TABLE shop (id INTEGER PRIMARY KEY);", kOthers + "Db_Search_Guides shop | | more"},
      // The guide list named in another case.
      {GuidesWithTwoRows(server_) + "ALTER TABLE Db_Search_Guides RENAME TO x;"
                                    "ALTER TABLE x RENAME TO db_search_guides;",
       kOthers + "db_search_guides | Orders/by customer Products/(none) | more"},
      // The main tables, one of them a view: nothing but the existence query.
      {GuidesWithTwoRows(server_) + GuideTablesSql({"Db_Search_Guide_Tables"}, server_) +
           "CREATE VIEW Db_Search_Guide_Cols AS SELECT 1 AS DSG_ID;",
       "Db_Search_Guide_Tables Db_Search_Guides | Orders/by customer Products/(none) | the query"},
  };
  int n = 0;
  for (const auto& [seed, expected] : cases) {
    sent_.clear();
    UseNewDatabase("Db" + std::to_string(++n), seed);
    Session session = DatabaseSession();
    EXPECT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
    EXPECT_TRUE(boxes_->Shown().empty());
    std::string found;
    for (const std::string& table : Tables()) found += table + " ";
    found += "| ";
    for (const std::string& guide : Column(kGuideRows)) found += guide + " ";
    // What was sent before the search service was looked for (on PostgreSQL,
    // where it is then installed).
    const Texts before(sent_.begin(),
                       std::find(sent_.begin(), sent_.end(), kPostgresInstallPlaceQuery));
    const bool only_query = before == Texts{MainTablesExistQuery(ForDialect(server_))};
    std::string want = expected;
    if (postgres())
      std::transform(want.begin(), want.begin() + want.find('|'), want.begin(), ::tolower);
    EXPECT_EQ(found + (only_query ? "| the query" : "| more"), want);
    // Everything in place, a current search service included: nothing but
    // the existence queries, and on PostgreSQL the look at PUBLIC's rights.
    sent_.clear();
    EXPECT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
    EXPECT_EQ(sent_,
              (postgres() ? Texts{MainTablesExistQuery(ForDialect(server_)),
                                  kPostgresInstallPlaceQuery, kServiceQuery, kGuideTableRightsQuery}
                          : Texts{MainTablesExistQuery(ForDialect(server_))}));
  }
  // An index named like a guide table does not count as that table.
  UseNewDatabase("IndexOnly",
                 GuideTablesSql({"Db_Search_Guide_Tables", "Db_Search_Guide_Cols"}, server_) +
                     "CREATE TABLE t(x int); CREATE INDEX Db_Search_Guides ON t(x);");
  EXPECT_FALSE(basCorvantyAdmin::SearchTablesExist(DatabaseSession().Connection()));
}

TEST_P(Readiness, FailedBuildsAreEachReportedAndNeverFollowedBySuccess) {
  UseNewDatabase("ReadOnly", GuidesWithTwoRows(server_));
  if (postgres()) {  // the driver refuses all but queries
    SQLSetConfigMode(ODBC_USER_DSN);
    SQLWritePrivateProfileString("ReadOnlyOnPostgres", "ReadOnly", "1", "odbc.ini");
    SQLSetConfigMode(ODBC_BOTH_DSN);
  } else {  // opened read-only, so that writes fail even for root, whom file modes do not stop
    odbc_.AddDataSource("ReadOnly", "file:" + odbc_.File("ReadOnly.db") + "?mode=ro",
                        {{"NoCreat", "1"}});
  }
  Session session = DatabaseSession();
  EXPECT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
  RebuildControlTableCommand(session, "Db_Search_Guide_SQL");
  // A box for each table the check could not build, then one naming them
  // all; on PostgreSQL the search service's error and the follow-up; the
  // rebuild's error and no "created".
  const size_t boxes = postgres() ? 8 : 6;
  ASSERT_EQ(boxes_->Shown().size(), boxes);
  EXPECT_EQ(boxes_->Shown()[4].title + "|" + boxes_->Shown()[4].prompt,
            "Velmorastine: Corvanty|Corvanty Database Search Guide Tables : One or more tables "
            "were not created re-create these tables from Tools on the main menu. Table(s) not "
            "created : Db_Search_Guide_Tables, Db_Search_Guide_Cols, Db_Search_Guide_SQL, "
            "Db_Search_Guide_Unique");
  if (postgres()) {
    EXPECT_THAT(boxes_->Shown()[5].prompt,
                ::testing::StartsWith("Attempt to build search engine failed with the following "
                                      "SQL error(s) :  [["));
    EXPECT_EQ(boxes_->Shown()[6].prompt, basCorvantyAdmin::kEngineInstallFollowUp);
  }
  EXPECT_THAT(
      boxes_->Shown()[boxes - 1].prompt,
      ::testing::MatchesRegex("The following errors were encountered when attempting to "
                              "build the table 'Db_Search_Guide_SQL' - \\[\\[.*readonly.*"));
  EXPECT_EQ(Column(kGuideRows), (Texts{"Orders/by customer", "Products/(none)"}));
  // A connection that cannot be opened: its error alone.
  odbc_.AddDataSource("Gone", odbc_.File("gone.db"), {{"NoCreat", "1"}});
  UseDataSource("Gone");
  Session gone = DatabaseSession();
  EXPECT_FALSE(RebuildSearchEngineCommand(gone));
  EXPECT_EQ(boxes_->Shown().size(), boxes + 1);
}

}  // namespace
}  // namespace corvanty
