// SPDX-License-Identifier: Apache-2.0
// Searches on a read replica: a hot standby of the test server, where every
// transaction is read-only, finds what its primary holds, by the built-in
// engine through ODBC and by the search service alike.
#include <gtest/gtest.h>

#include "schema/readiness.h"
#include "search/searchengine.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using Texts = std::vector<std::string>;

class PostgresReplica : public testing::EachServer {};
INSTANTIATE_TEST_SUITE_P(On, PostgresReplica, ::testing::Values(rdo::Dialect::PostgreSql),
                         testing::ServerParamName);

// Until the replica has replayed the primary's WAL up to position, or
// raises once it has not in two minutes.
std::string WaitForReplay(const std::string& position) {
  return "DO $$ DECLARE given timestamptz := clock_timestamp(); BEGIN WHILE "
         "pg_last_wal_replay_lsn() < '" +
         position +
         "' LOOP IF clock_timestamp() > given + interval '2 minutes' THEN RAISE EXCEPTION "
         "'not replayed'; END IF; PERFORM pg_sleep(0.01); END LOOP; END $$";
}

// Both forms of the search service: the PL/pgSQL one in a schema of the
// shared database, the extension in a database of its own (a database
// holds it once), each created on the primary.
TEST_P(PostgresReplica, SearchesFindWhatThePrimaryHolds) {
  const std::string primary_connect = AddShop("Replicated");
  const testing::PostgresSchema& primary = *schemas_.back();
  testing::SkipWithoutSearchExtension(primary);
  if (IsSkipped() || HasFatalFailure()) return;
  const auto extension_primary = testing::AddPostgresShop(
      "ExtensionReplicated", "", primary.server, testing::PostgresSchema::Database::OwnDatabase);
  const std::vector<const testing::PostgresSchema*> primaries = {&primary, extension_primary.get()};
  for (const testing::PostgresSchema* shop : primaries) {
    Session session(shop->connect);
    ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));  // installs the service
    shop->Query("INSERT INTO customers VALUES (6, 'Eva Lund', 'Lisbon')");
  }
  const auto standby = testing::StartPostgresReplica(primary.server);
  // Written after the replica's copy was taken: only replay brings it.
  for (const testing::PostgresSchema* shop : primaries)
    shop->Query("UPDATE customers SET city = 'Porto' WHERE id = 6");
  // Where the primary inserts WAL next, past the update's commit: the test
  // server commits without waiting for its WAL to be written out, so the
  // position written so far may still be short of it.
  const std::string written = primary.Query("SELECT pg_current_wal_insert_lsn()").at(0);
  const testing::PostgresSchema replica(primary, "ReplicaOnPostgres", *standby);
  const testing::PostgresSchema extension_replica(*extension_primary, "ExtensionReplica", *standby);
  replica.Query(WaitForReplay(written));
  EXPECT_EQ(replica.Query("SELECT pg_is_in_recovery() || ' ' || current_setting("
                          "'transaction_read_only')"),
            Texts{"true on"});

  const Texts expected = {"Ann Lee, Paris*1*1", "Carla O'Hara, Lyon*3*1", "Dan Borg, *4*1",
                          "Eva Lund, Porto*6*1"};
  Texts engine;
  for (auto run = StartSearch(replica.connect, {testing::kCustomersGuide}, "a");
       auto found = run->Next();)
    engine.push_back(found->ResultList + "*" + found->IDColumn + "*" +
                     std::to_string(found->DSG_ID));
  EXPECT_EQ(engine, expected);
  const std::string service =
      "SELECT CASE WHEN EXISTS (SELECT FROM pg_extension WHERE extname = 'corvanty_search' AND "
      "extnamespace = current_schema()::regnamespace) THEN 'extension' ELSE 'PL/pgSQL' END || "
      "': ' || concat_ws('*', resultlist, idcolumn, dsg_id) FROM velmorastine_search('1', 'a')";
  for (const auto& [shop, form] :
       {std::pair{&replica, "PL/pgSQL: "}, {&extension_replica, "extension: "}}) {
    Texts found;
    for (const std::string& line : expected) found.push_back(form + line);
    EXPECT_EQ(shop->Query(service), found);
  }
}

}  // namespace
}  // namespace corvanty
