// SPDX-License-Identifier: Apache-2.0
// What only a live PostgreSQL server shows: text matched whatever its case,
// accents, backslashes and type, and the faults of a real server (stopped
// mid-search, a wrong password, a connection refused), each reported in the
// server's words, losing nothing.
#include "support/postgresserver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "connections/odbcdatasource.h"
#include "connections/odbcdriverpath.h"
#include "connections/sqlerrorreport.h"
#include "guides/columnstore.h"
#include "guides/guideclauses.h"
#include "guides/guidestore.h"
#include "schema/guidetablewriters.h"
#include "schema/postgressearchservice.h"
#include "schema/readiness.h"
#include "schema/rebuildcommands.h"
#include "schema/searchengineinstaller.h"
#include "search/searchengine.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using basCorvantyAdmin::CheckDatabaseReadiness;
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
  Session session = DatabaseSession();
  ASSERT_TRUE(CheckDatabaseReadiness(session));  // builds the guide tables
  rdo::rdoConnection& connection = session.Connection();
  const int32_t guide = InsertGuide(connection, "People", "(none)");
  SaveGuideClauses(connection, guide, false, "people", "");
  // Written by the columns editor's own statements: id the key; name shown
  // and searched; city shown; code searched as the integer it is stored as.
  std::vector<GuideColumn> rows;
  const char* names[] = {"", "id", "name", "city", "code"};
  for (int i = 1; i <= 4; ++i)
    rows.push_back({"people", names[i], i == 2 || i == 3, i == 2 || i == 4, "+', '+", 0, "(none)",
                    i == 1, "Varchar", i});
  SaveColumnSettings(connection, guide, rows);
  for (const auto& [criteria, expected] :
       {std::pair{"émile zola", "Émile Zola, Paris|"},
        {"4711", "Émile Zola, Paris|"},
        {"\\temp\\", "C:\\Temp\\Files, Oslo|"},
        {"\"zola\" or \"anna\"", "Émile Zola, Paris|Anna, |"}}) {  // NULL city: empty text
    std::string found;
    for (auto run = StartSearch(DatabaseSession().Take(), {guide}, criteria);
         auto result = run->Next();)
      found += result->ResultList + "|";
    EXPECT_EQ(found, expected) << criteria;
  }
  EXPECT_TRUE(RebuildSearchEngineCommand(session));
  ASSERT_EQ(boxes_->Shown().size(), 2u);
  EXPECT_EQ(boxes_->Shown()[0].prompt,
            "Search service installed successfully: applications search with SELECT * FROM "
            "velmorastine_search('guide numbers', 'criteria').");
  // The shared database's own schema holds the extension when the server
  // offers it (testing::PostgresSchema).
  const bool offered =
      Column("SELECT count(*) FROM pg_available_extensions WHERE name = 'corvanty_search'") ==
      std::vector<std::string>{"1"};
  EXPECT_EQ(boxes_->Shown()[1].prompt,
            "The search service is the PL/pgSQL function velmorastine_search, version 3, in the "
            "schema " +
                Column("SELECT current_schema()").at(0) + "." +
                (offered ? " The server offers the extension corvanty_search 1.0, not used here: "
                           "a database holds it once, and here the schema "
                           "corvanty_test_extension_holder holds it."
                         : ""));
}

// A service of another version: the search service's signature as that
// version had it (before version 3 without the most rows wanted) with a body
// of its own, which answers "old", and the version mark.
std::string ServiceOfVersion(int version) {
  const std::string arguments = version < 3 ? "text, text" : "text, text, integer";
  return "CREATE FUNCTION velmorastine_search(" + arguments + (version < 3 ? "" : " DEFAULT NULL") +
         ") RETURNS TABLE (resultlist text, idcolumn text, dsg_id integer) LANGUAGE sql AS $$ "
         "SELECT 'old', '', 0 $$; COMMENT ON FUNCTION velmorastine_search(" +
         arguments + ") IS 'Corvanty search service, version " + std::to_string(version) + "'";
}

TEST_P(PostgresServer, TheReadinessCheckInstallsAMissingOrOlderSearchServiceAndLeavesOthers) {
  const std::string kInstalled = std::string(kInvalidGuidesMessage) + "|installed|";
  // What the schema holds besides the guide tables, the guide columns
  // writable by anyone; what the service then answers for a guide that does
  // not exist, whether the check installed it, and who else may write the
  // guide tables: PUBLIC's right is taken away whether it installed or not.
  const std::pair<std::string, std::string> cases[] = {
      {"", kInstalled},
      {ServiceOfVersion(kPostgresSearchServiceVersion - 1), kInstalled},
      {ServiceOfVersion(kPostgresSearchServiceVersion), "old||"},
      {ServiceOfVersion(kPostgresSearchServiceVersion + 1), "old||"},
  };
  for (const auto& [seed, expected] : cases) {
    UseNewDatabase("Service", testing::GuideTablesSql({"Db_Search_Guides", "Db_Search_Guide_Tables",
                                                       "Db_Search_Guide_Cols"},
                                                      server_) +
                                  "GRANT INSERT, UPDATE ON Db_Search_Guide_Cols TO PUBLIC;" + seed);
    sent_.clear();
    Session session = DatabaseSession();
    EXPECT_TRUE(CheckDatabaseReadiness(session));
    const bool installed = std::any_of(sent_.begin(), sent_.end(), [](const std::string& sql) {
      return sql.rfind("CREATE OR REPLACE FUNCTION", 0) == 0;
    });
    std::string writers;
    for (const std::string& warning : GuideTableWriterWarnings(session.Connection()))
      writers += warning;
    EXPECT_EQ(Column("SELECT resultlist FROM velmorastine_search('99', 'x')").at(0) + "|" +
                  (installed ? "installed" : "") + "|" + writers,
              expected)
        << seed;
  }
  EXPECT_TRUE(boxes_->Shown().empty());
}

// The service of version 3 takes the place of the older one with two
// arguments, and only whoever could run that one can run it.
TEST_P(PostgresServer, AnOlderServicesRightToRunPassesToTheServiceThatReplacesIt) {
  const auto shop = testing::AddPostgresShop("RightsShop", ServiceOfVersion(2));
  const testing::PostgresRole clerk(*shop, "corvanty_clerk_");
  shop->Query(
      "REVOKE ALL ON FUNCTION velmorastine_search(text, text) FROM PUBLIC; "
      "GRANT EXECUTE ON FUNCTION velmorastine_search(text, text) TO " +
      clerk.name + " WITH GRANT OPTION");
  Session session(shop->connect);
  ASSERT_TRUE(CheckDatabaseReadiness(session));
  EXPECT_EQ(
      shop->Query("SELECT p.pronargs || ' ' || coalesce(r.rolname, 'PUBLIC') || ' ' || "
                  "a.is_grantable FROM pg_proc p, aclexplode(p.proacl) a LEFT JOIN pg_roles "
                  "r ON r.oid = a.grantee WHERE p.proname = 'velmorastine_search' AND "
                  "p.pronamespace = current_schema()::regnamespace ORDER BY 1"),
      (std::vector<std::string>{"3 " + shop->server.user + " false", "3 " + clerk.name + " true"}));
}

// Callers outside the tool: a role that is no superuser installs the
// service with nothing but the right to create in the schema, and searches
// with its own rights. What is not a guide list, and guides that cannot be
// searched, are refused as the built-in engine refuses them, changing nothing.
TEST_P(PostgresServer, TheSearchServiceSearchesWithTheCallersRightsAndRefusesWhatItCannotRun) {
  const auto shop = testing::AddPostgresShop(
      "ServiceShop",
      "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
      " (8, 'FROM customers c', 'WHERE c.id > 0 -- a note'), (9, 'FROM customers c', NULL);"
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
      " Column_name, Conv_required, Conversion_expression) VALUES (8, 1, 'c', 'name', 0, ''),"
      " (9, 1, 'c', 'id', -1, 'CONVERT(varchar, c.id, 999)');");
  const testing::PostgresRole clerk(*shop, "corvanty_clerk_");
  shop->Query("DO $$ BEGIN EXECUTE format('GRANT USAGE, CREATE ON SCHEMA %I TO " + clerk.name +
              "', current_schema()); END $$;"
              "GRANT SELECT ON Db_Search_Guide_Tables, Db_Search_Guide_Cols, customers TO " +
              clerk.name);
  Session session(clerk.Connect());
  ASSERT_TRUE(basCorvantyAdmin::BuildSearchEngine(session));
  // Whoever owns the service, it searches with its caller's rights.
  shop->Query("ALTER FUNCTION velmorastine_search(text, text, integer) OWNER TO " +
              shop->server.user);
  rdo::rdoConnection& connection = session.Connection();
  const std::pair<std::string, std::string> cases[] = {
      {"'1', 'o'", ", Oslo*2*1|Carla O'Hara, Lyon*3*1|Dan Borg, *4*1|"},
      {"' 1 , 99,1', '\"oslo\" or \"lee\"'", "Ann Lee, Paris*1*1|, Oslo*2*1|"},
      {"'99', 'o'", std::string(kInvalidGuidesMessage) + "**|"},
      {"'2', 'car'", "error: permission denied for table orders"},
      {"'1); DROP TABLE customers; --', 'o'",
       "error: The Database Search Guide list '1); DROP TABLE customers; --' is not guide "
       "numbers separated by commas."},
      {"'2147483648', 'o'",
       "error: The Database Search Guide list '2147483648' holds 2147483648, which is no guide "
       "number."},
      {"'5', 'o'", "error: Error: Database Search Guide 5 has no tables defined."},
      {"'6,1', 'o'", "error: Error: Database Search Guide 6 shows no column in its result list."},
      {"'8', 'o'",
       "error: Error: Database Search Guide 8 cannot be searched: its WHERE clause holds a "
       "comment (-- or /*) or a ; outside quotes, which would cut off the search conditions."},
      {"'9', 'o'",
       "error: Error: Database Search Guide 9 cannot be searched on PostgreSQL: CONVERT(varchar, "
       "c.id, 999) converts with a style that has no PostgreSQL translation (there are "
       "translations for the styles 101, 103, 112, 120 and 121)."},
  };
  for (const auto& [arguments, expected] : cases) {
    std::string found;
    try {
      for (rdo::ForwardReader rows =
               connection.OpenForwardOnly("SELECT * FROM velmorastine_search(" + arguments + ")");
           rows.Fetch();)
        found += rows.Value(0).value_or("") + "*" + rows.Value(1).value_or("") + "*" +
                 rows.Value(2).value_or("") + "|";
    } catch (const rdo::DatabaseError& error) {
      found += "error: " + std::string(error.what());
    }
    const bool refused = expected.rfind("error: ", 0) == 0;
    EXPECT_THAT(found, refused ? ::testing::Matcher<std::string>(HasSubstr(expected.substr(7)))
                               : ::testing::Matcher<std::string>(expected))
        << arguments;
  }
  EXPECT_EQ(shop->Query("SELECT count(*) FROM customers"), std::vector<std::string>{"5"});
}

// With the most rows wanted, the service's rows are the first that many of
// its rows without it, and it stops there: a guide past them is not run,
// which the broken guide, listed last, shows by not failing the call.
TEST_P(PostgresServer, TheSearchServiceStopsAtTheMostRowsWanted) {
  const auto shop = testing::AddPostgresShop("LimitedShop");
  Session session(shop->connect);
  ASSERT_TRUE(basCorvantyAdmin::BuildSearchEngine(session));
  // The rows as psql prints them, or psql's message alone when it fails.
  const auto rows = [&](const std::string& arguments) {
    try {
      return shop->Query("SELECT * FROM velmorastine_search(" + arguments + ")");
    } catch (const std::runtime_error& error) {
      return std::vector<std::string>{error.what()};
    }
  };
  // The customers with an a in their name or city, then the items with one.
  const std::vector<std::string> all = {"Ann Lee, Paris|1|1", "Carla O'Hara, Lyon|3|1",
                                        "Dan Borg, |4|1", "red car|0|3", "green van|0|3"};
  EXPECT_EQ(rows("'1,3', 'a'"), all);
  EXPECT_EQ(rows("'1,3', 'a', NULL"), all);
  EXPECT_EQ(rows("'1,3', 'a', 9"), all);
  const std::string with_broken = "'1,3," + std::to_string(testing::kBrokenFromGuide) + "', 'a'";
  EXPECT_THAT(rows(with_broken).at(0), HasSubstr("no_such_table"));
  // None; inside the first guide; at its end; inside the second; at its end.
  for (const size_t wanted : {0, 2, 3, 4, 5})
    EXPECT_EQ(rows(with_broken + ", " + std::to_string(wanted)),
              std::vector<std::string>(all.begin(), all.begin() + wanted))
        << wanted;
  EXPECT_THAT(rows("'1', 'a', -1").at(0),
              HasSubstr("The most rows wanted, -1, is not a number of rows: give 0 or more, or "
                        "NULL for all rows."));
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
    Session session(basCorvantyAdmin::BuildConnectString(source, "corvanty", password));
    try {  // as the Connect dialog runs the readiness check and reports its failure
      EXPECT_FALSE(CheckDatabaseReadiness(session)) << reported;
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
