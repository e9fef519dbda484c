// SPDX-License-Identifier: Apache-2.0
#pragma once
// Live PostgreSQL servers for tests. The tests of a process share one
// server: the one CI started, whose socket folder $CORVANTY_TEST_PG_SOCKET
// names, else a throwaway cluster started on first use by
// scripts/postgres-cluster.sh and removed when the process ends, however it
// ends. Each test works in a schema of its own in the database postgres,
// reached through a data source of its own (see PostgresSchema). Tests skip
// when PostgreSQL is not installed, and fail instead when
// $CORVANTY_REQUIRE_POSTGRES is set (as in CI).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "connections/connectionstore.h"
#include "connections/rdo.h"

namespace corvanty::testing {

// How a test reaches a server: the folder of its unix socket and a login.
struct PostgresLogin {
  std::string socket_folder;
  std::string user = "corvanty";
  std::string password = "corvanty";
};

// Skips the test (or fails it in CI) when there can be no live server.
void SkipWithoutPostgres();

// Runs scripts/postgres-cluster.sh action ("start", "stop", "stop-server",
// "start-server", or "start-replica" of the cluster in primary_folder) on
// the cluster of login. Throws std::runtime_error with the script's message
// when it fails.
void RunClusterScript(const std::string& action, const PostgresLogin& login,
                      const std::string& primary_folder = "");

// A new throwaway cluster of its own, stopped and removed when the last copy
// of the result ends, or when this process ends without letting it go (killed
// by a signal or a timeout): a watcher outside the process keeps it.
std::shared_ptr<const PostgresLogin> StartPostgresCluster();

const PostgresLogin& SharedPostgresServer();

// A hot standby of the cluster of primary (one the cluster script made),
// streaming what the primary writes; stopped and removed when the last copy
// of the result ends, or by the next test run's clean-up (scripts/test.sh)
// when this process is killed first.
std::shared_ptr<const PostgresLogin> StartPostgresReplica(const PostgresLogin& primary);

// The search extension's name, for tests that create it themselves.
inline constexpr char kSearchExtension[] = "corvanty_search";

// A new schema on a server, seeded with seed_sql and reached through data
// source dsn; dropped when it ends (so it is held, never copied). It is
// made in the database postgres, or in a database of its own for a test
// that creates what a database holds once, whichever schema it is in (the
// search extension). In the database postgres the search extension, when
// the server offers it, is held by a schema of its own, so that the tool
// puts the PL/pgSQL service in every test's schema there. Given an owner (a
// role's name), the schema and its own database are the owner's, and
// seed_sql runs as the owner.
class PostgresSchema {
 public:
  enum class Database { Shared, OwnDatabase };
  PostgresSchema(const std::string& dsn, const std::string& seed_sql,
                 const PostgresLogin& server = SharedPostgresServer(),
                 Database database = Database::Shared, const std::string& owner = "");
  // The same schema on a replica of its server, reached through data source
  // dsn: only read there, and left to its primary to drop.
  PostgresSchema(const PostgresSchema& primary, const std::string& dsn,
                 const PostgresLogin& replica);
  ~PostgresSchema();

  // The rows sql prints through psql in the schema, values joined by |, NULL
  // as NULL. Throws std::runtime_error with psql's message when it fails.
  std::vector<std::string> Query(const std::string& sql) const;

  const std::string dsn;
  const PostgresLogin server;
  const std::string connect =  // the data source with the login
      basCorvantyAdmin::BuildConnectString(dsn, server.user, server.password);

 private:
  std::string name_;
  std::string database_ = "postgres";
  bool owned_ = true;
};

// Skips the test (or fails it in CI) when the server of schema offers no
// search extension: it is installed into the server's folders by cmake
// --install build --component postgresql_extension.
void SkipWithoutSearchExtension(const PostgresSchema& schema);

// A login role of its own on a schema's server (password "role"), dropped
// with everything it owns and every right it was given when it ends.
class PostgresRole {
 public:
  PostgresRole(const PostgresSchema& schema, const std::string& prefix);
  ~PostgresRole();
  // The connect string of the schema's data source with this role's login.
  std::string Connect() const;

  const PostgresSchema& schema;
  const std::string name;
};

// For tests run on each server: the two servers and their names.
inline const auto kEachServer = ::testing::Values(rdo::Dialect::Sqlite, rdo::Dialect::PostgreSql);
inline std::string ServerParamName(const ::testing::TestParamInfo<rdo::Dialect>& info) {
  return rdo::ServerName(info.param);
}

}  // namespace corvanty::testing
