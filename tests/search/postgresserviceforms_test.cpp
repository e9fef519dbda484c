// SPDX-License-Identifier: Apache-2.0
// The search service as the native extension the server offers: the tool
// installs it, by a database owner that is no superuser (it is trusted),
// says so, and finds what the built-in engine finds through it; a
// PL/pgSQL service it replaces and one that replaces it pass on who may run
// velmorastine_search; a refusal leaves the PL/pgSQL service, and says why.
// Each test works in a database of its own: a database holds the extension
// once.
#include <gtest/gtest.h>

#include <algorithm>

#include "connections/connectionstore.h"
#include "schema/readiness.h"
#include "schema/rebuildcommands.h"
#include "schema/searchengineinstaller.h"
#include "schema/searchservicestate.h"
#include "search/searchengine.h"
#include "statements/sqlliteral.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using Texts = std::vector<std::string>;

const char kInstalled[] =
    "Search service installed successfully: applications search with SELECT * FROM "
    "velmorastine_search('guide numbers', 'criteria').";
const char kExtensionInPlace[] =
    "The search service is the PostgreSQL extension corvanty_search, version 1.0, in the schema ";
const char kPlPgsqlInPlace[] =
    "The search service is the PL/pgSQL function velmorastine_search, version 3, in the schema ";
const char kOffered[] = " The server offers the extension corvanty_search 1.0, not used here: ";
const char kSearchesMore[] =
    "it runs the guides' statements under its own schema alone, and this connection searches "
    "other schemas too.";
// Who may run the schema's velmorastine_search, of the roles listed after it.
const char kWhoMayRun[] =
    "SELECT string_agg(r || ' ' || has_function_privilege(r, "
    "'velmorastine_search(text, text, integer)', 'EXECUTE'), ', ' ORDER BY r) FROM "
    "unnest(ARRAY['";

class PostgresServiceForms : public testing::DatabaseTest {
 protected:
  void SetUp() override {
    testing::SkipWithoutPostgres();
    if (IsSkipped() || HasFatalFailure()) return;
    DatabaseTest::SetUp();
    home_ = std::make_unique<testing::PostgresSchema>("ExtensionHome", "");
    testing::SkipWithoutSearchExtension(*home_);
  }

  // A shop in a database of its own, whose schema and tables are owner's;
  // dropped when it ends, before the owner's role.
  static std::unique_ptr<testing::PostgresSchema> OwnedShop(const std::string& owner,
                                                            const std::string& dsn) {
    return testing::AddPostgresShop(dsn, "", testing::SharedPostgresServer(),
                                    testing::PostgresSchema::Database::OwnDatabase, owner);
  }

  // The schema's velmorastine_search as the service's form and version
  // found in the catalogue.
  static Texts Forms(const testing::PostgresSchema& shop) {
    return shop.Query(
        "SELECT coalesce(e.extname || ' ' || e.extversion || ' ' || pg_get_userbyid(e.extowner), "
        "'PL/pgSQL') || ' ' || (SELECT count(*) FROM pg_proc p WHERE p.pronamespace = "
        "current_schema()::regnamespace AND p.proname LIKE 'velmorastine%') FROM (SELECT) s LEFT "
        "JOIN pg_extension e ON e.extname = 'corvanty_search' AND e.extnamespace = "
        "current_schema()::regnamespace");
  }

  Texts Prompts() const {
    Texts prompts;
    for (const MessageBoxRequest& box : boxes_->Shown()) prompts.push_back(box.prompt);
    return prompts;
  }

  static std::string SchemaOf(const testing::PostgresSchema& shop) {
    return shop.Query("SELECT current_schema()").at(0);
  }

  std::unique_ptr<testing::PostgresSchema> home_;  // where roles are made
};

// The lines a search prints, ResultList*IDColumn*DSG_ID.
Texts Lines(rdo::rdoConnection& connection, const std::string& sql) {
  Texts lines;
  for (rdo::rdoResultset rows = connection.OpenResultset(sql); !rows.IsEOF(); rows.MoveNext())
    lines.push_back(rows.Text("resultlist") + "*" + rows.Text("idcolumn") + "*" +
                    rows.Text("dsg_id"));
  return lines;
}

TEST_F(PostgresServiceForms, TheDatabasesOwnerInstallsItSaysSoAndItFindsWhatTheEngineFinds) {
  const testing::PostgresRole owner(*home_, "corvanty_dbowner_");
  const auto shop = OwnedShop(owner.name, "OwnedShop");
  const std::string schema = SchemaOf(*shop);
  const std::string connect = basCorvantyAdmin::BuildConnectString(shop->dsn, owner.name, "role");
  Session session(connect);
  ASSERT_TRUE(RebuildSearchEngineCommand(session));
  EXPECT_EQ(Prompts(), (Texts{kInstalled, kExtensionInPlace + schema + "."}));
  EXPECT_EQ(Forms(*shop), Texts{"corvanty_search 1.0 " + owner.name + " 3"});
  rdo::rdoConnection& connection = session.Connection();
  EXPECT_EQ(SearchServiceReport(ReadSearchServiceState(connection)),
            "Search service: the extension corvanty_search, version 1.0, in the schema " + schema +
                ", owned by " + owner.name + ".");
  EXPECT_EQ(ExtensionNotUsedReason(ReadSearchServiceState(connection)), "");

  EXPECT_EQ(Lines(connection, "SELECT * FROM velmorastine_search('1', 'a')"),
            (Texts{"Ann Lee, Paris*1*1", "Carla O'Hara, Lyon*3*1", "Dan Borg, *4*1"}));
  // Rows of a guide come in no order its statement sets: compared sorted.
  for (const char* criteria : {"a", "car", "o'hara", "\"lyon\" or \"bike\""}) {
    Texts engine;
    for (auto run = StartSearch(connect, {1, 2, 3}, criteria); auto found = run->Next();)
      engine.push_back(found->ResultList + "*" + found->IDColumn + "*" +
                       std::to_string(found->DSG_ID));
    EXPECT_FALSE(engine.empty()) << criteria;
    Texts service = Lines(connection, "SELECT * FROM velmorastine_search('1,2,3', '" +
                                          QuoteApostrophes(criteria) + "')");
    std::sort(engine.begin(), engine.end());
    std::sort(service.begin(), service.end());
    EXPECT_EQ(service, engine) << criteria;
  }

  // In place: the readiness check only looks.
  sent_.clear();
  ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
  for (const std::string& sql : sent_) EXPECT_EQ(sql.find("EXTENSION"), std::string::npos) << sql;
}

// The superuser, whose extension's functions are its own: the rights of the
// service replaced pass to the one that replaces it, both ways.
TEST_F(PostgresServiceForms, SwitchingFormsKeepsWhoMayRunTheSearch) {
  const auto shop = OwnedShop("corvanty", "SwitchedShop");
  const std::string schema = SchemaOf(*shop);
  const testing::PostgresRole clerk(*shop, "corvanty_clerk_");
  const testing::PostgresRole stranger(*shop, "corvanty_stranger_");
  const std::string who = kWhoMayRun + clerk.name + "', '" + stranger.name + "']) r";
  Session session(shop->connect);
  rdo::rdoConnection& connection = session.Connection();
  // Searching public too, the tool installs the PL/pgSQL service.
  connection.Execute("SET search_path = " + schema + ", public");
  std::string installed;
  ASSERT_TRUE(basCorvantyAdmin::BuildSearchEngine(session, &installed));
  EXPECT_EQ(installed, kPlPgsqlInPlace + schema + "." + kOffered + kSearchesMore);
  EXPECT_EQ(Forms(*shop), Texts{"PL/pgSQL 12"});
  shop->Query(
      "REVOKE ALL ON FUNCTION velmorastine_search(text, text, integer) FROM PUBLIC; "
      "GRANT EXECUTE ON FUNCTION velmorastine_search(text, text, integer) TO " +
      clerk.name);
  const Texts narrowed = {clerk.name + " true, " + stranger.name + " false"};
  ASSERT_EQ(shop->Query(who), narrowed);

  // Its own schema alone: the readiness check puts the extension in its
  // place, every PL/pgSQL function gone.
  connection.Execute("SET search_path = " + schema);
  ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
  EXPECT_EQ(Forms(*shop), Texts{"corvanty_search 1.0 corvanty 3"});
  EXPECT_EQ(shop->Query(who), narrowed);

  // Searching public again: back to the PL/pgSQL service, the extension
  // dropped.
  connection.Execute("SET search_path = " + schema + ", public");
  ASSERT_TRUE(basCorvantyAdmin::BuildSearchEngine(session, &installed));
  EXPECT_EQ(installed, kPlPgsqlInPlace + schema + "." + kOffered + kSearchesMore);
  EXPECT_EQ(Forms(*shop), Texts{"PL/pgSQL 12"});
  EXPECT_EQ(shop->Query(who), narrowed);
  EXPECT_TRUE(boxes_->Shown().empty());
}

// Refused, the extension leaves the PL/pgSQL service as it was, and the
// tool says why: a database owner cannot narrow who may run functions the
// extension gives to the superuser; a function of the extension's name
// already in the schema stops the server.
TEST_F(PostgresServiceForms, ARefusedExtensionLeavesThePlPgsqlServiceAndSaysWhy) {
  const testing::PostgresRole owner(*home_, "corvanty_dbowner_");
  const auto shop = OwnedShop(owner.name, "RefusedShop");
  const std::string schema = SchemaOf(*shop);
  Session session(basCorvantyAdmin::BuildConnectString(shop->dsn, owner.name, "role"));
  rdo::rdoConnection& connection = session.Connection();
  connection.Execute("SET search_path = " + schema + ", public");
  ASSERT_TRUE(basCorvantyAdmin::BuildSearchEngine(session));
  connection.Execute("REVOKE ALL ON FUNCTION velmorastine_search(text, text, integer) FROM PUBLIC");
  connection.Execute("SET search_path = " + schema);
  // Rebuilt, the PL/pgSQL service of that many functions stays, and says
  // why: the server's words.
  const auto refused = [&](const std::string& words, const std::string& functions) {
    boxes_->Clear();
    ASSERT_TRUE(RebuildSearchEngineCommand(session));
    EXPECT_EQ(Prompts(),
              (Texts{kInstalled, kPlPgsqlInPlace + schema + "." + kOffered +
                                     "the server refused to create it: [[" + words + "]]."}));
    EXPECT_EQ(Forms(*shop), Texts{"PL/pgSQL " + functions});
  };
  refused(
      "this login cannot give the new velmorastine_search the EXECUTE rights of the one it "
      "replaces: its owner is corvanty",
      "12");
  EXPECT_EQ(shop->Query("SELECT has_function_privilege('public', "
                        "'velmorastine_search(text, text, integer)', 'EXECUTE')"),
            Texts{"f"});

  shop->Query(
      "GRANT EXECUTE ON FUNCTION velmorastine_search(text, text, integer) TO PUBLIC;"
      "CREATE FUNCTION velmorastine_search_rows(text, text, integer) RETURNS int "
      "LANGUAGE sql AS 'SELECT 1'");
  refused(
      "ERROR: function \"velmorastine_search_rows\" already exists with same argument "
      "types;\nError while executing the query",
      "13");
}

}  // namespace
}  // namespace corvanty
