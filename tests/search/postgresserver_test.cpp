// What only a live PostgreSQL server shows: text matched whatever its case,
// accents, backslashes and type, and the faults of a real server (stopped
// mid-search, a wrong password, a connection refused), each reported in the
// server's words, losing nothing.
#include "support/postgresserver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "connections/odbcdatasource.h"
#include "connections/odbcdriverpath.h"
#include "connections/sqlerrorreport.h"
#include "guides/columnstore.h"
#include "guides/guideclauses.h"
#include "guides/guidestore.h"
#include "schema/readiness.h"
#include "schema/rebuildcommands.h"
#include "search/searchengine.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using basCorvantyAdmin::CheckDatabaseReadiness;
using basCorvantyAdmin::gstrConnect;
using ::testing::HasSubstr;

// Database tests whose databases are schemas on the shared server.
using PostgresServer = testing::OnEachServer<testing::DatabaseTest>;
INSTANTIATE_TEST_SUITE_P(, PostgresServer, ::testing::Values(rdo::Dialect::PostgreSql),
                         testing::ServerParamName);

TEST_P(PostgresServer, SearchesFindTextWhateverItsCaseAccentsBackslashesOrType) {
  UseNewDatabase(
      "People",
      "CREATE TABLE people (id int PRIMARY KEY, name varchar(40), city varchar(40), "
      "code int);"
      "INSERT INTO people VALUES (1, 'Émile Zola', 'Paris', 4711), (2, 'Anna', NULL, 12),"
      "(3, 'C:\\Temp\\Files', 'Oslo', 7), (4, 'Joan d''Arc', 'Rouen', 1412);");
  ASSERT_TRUE(CheckDatabaseReadiness());  // builds the guide tables
  const int32_t guide = InsertGuide("People", "(none)");
  SaveGuideClauses(guide, false, "people", "");
  // Written by the columns editor's own statements: id the key; name shown
  // and searched; city shown; code searched as the integer it is stored as.
  std::vector<ColumnSlot> slots(5);
  const char* names[] = {"", "id", "name", "city", "code"};
  for (int i = 1; i <= 4; ++i)
    slots[i] = {{},   "people", names[i], "Varchar", i == 2 || i == 3, i == 2 || i == 4,
                ", ", 0,        "(none)", i,         i == 1,           {}};
  SaveColumnSettings(guide, slots);
  for (const auto& [criteria, expected] :
       {std::pair{"émile zola", "Émile Zola, Paris|"},
        {"4711", "Émile Zola, Paris|"},
        {"\\temp\\", "C:\\Temp\\Files, Oslo|"},
        {"\"zola\" or \"anna\"", "Émile Zola, Paris|Anna, |"}}) {  // NULL city: empty text
    std::string found;
    for (auto run = StartSearch(gstrConnect, {guide}, criteria); auto result = run->Next();)
      found += result->ResultList + "|";
    EXPECT_EQ(found, expected) << criteria;
  }
  EXPECT_TRUE(RebuildSearchEngineCommand());  // searched by the built-in engine
  ASSERT_EQ(boxes_->Shown().size(), 1u);
  EXPECT_EQ(boxes_->Shown()[0].prompt,
            "This database is searched by Corvanty's built-in search engine, so it needs no "
            "search procedure and nothing was installed.");
}

TEST_P(PostgresServer, AServerStoppedMidSearchEndsItWithTheServersWords) {
  const auto cluster = testing::StartPostgresCluster();  // of its own: it is stopped
  const auto shop = testing::AddPostgresShop(
      "ItemsOnPostgres",
      "INSERT INTO orders SELECT g, 1, 'item ' || g FROM generate_series(100, 5099) g;", *cluster);
  std::unique_ptr<SearchRun> run = StartSearch(shop->connect, {testing::kItemsGuide}, "item");
  ASSERT_TRUE(run->Next());
  testing::RunClusterScript("stop-server", *cluster);
  try {  // the driver still holds the rest of a batch of rows
    while (run->Next()) continue;
    ADD_FAILURE() << "all results arrived from a stopped server";
  } catch (const rdo::DatabaseError& error) {
    EXPECT_THAT(DialogErrorText(error), HasSubstr("terminating connection"));
  }
  testing::RunClusterScript("start-server", *cluster);
  int read = 0;
  for (run = StartSearch(shop->connect, {testing::kItemsGuide}, "item"); run->Next();) ++read;
  EXPECT_EQ(read, 5000);
}

TEST_P(PostgresServer, AWrongPasswordOrARefusedConnectionIsReportedAndChangesNothing) {
  UseNewDatabase("Shop", "CREATE TABLE customers (id int)");
  testing::ClaimDataSourceName("ClosedOnPostgres", PostgresOdbcDriverPath());
  WritePostgresDataSource("ClosedOnPostgres", {"127.0.0.1", "1"}, "postgres");  // nothing listens
  for (const auto& [source, password, reported] :
       {std::tuple{"ShopOnPostgres", "wrong",
                   "password authentication failed for user \"corvanty\""},
        {"ClosedOnPostgres", "corvanty", "Connection refused"}}) {
    boxes_->Clear();
    gstrConnect = basCorvantyAdmin::BuildConnectString(source, "corvanty", password);
    try {  // as the Connect dialog runs the readiness check and reports its failure
      EXPECT_FALSE(CheckDatabaseReadiness()) << reported;
    } catch (const std::exception& error) {
      ReportDialogError(error);
    }
    ASSERT_EQ(boxes_->Shown().size(), 1u);
    EXPECT_THAT(boxes_->Shown()[0].prompt, HasSubstr(reported));
  }
  EXPECT_TRUE(sent_.empty());
}

}  // namespace
}  // namespace corvanty
