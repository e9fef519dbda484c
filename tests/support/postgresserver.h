#pragma once
// Live PostgreSQL servers for tests. The tests of a process share one
// server: the one CI started, whose socket folder $CORVANTY_TEST_PG_SOCKET
// names, else a throwaway cluster started on first use by
// scripts/postgres-cluster.sh and removed when the process ends. Each test
// works in a schema of its own in the database postgres, reached through a
// data source of its own. A test that must stop its server starts a
// cluster of its own. Tests skip when PostgreSQL is not installed, and fail
// instead when $CORVANTY_REQUIRE_POSTGRES is set (as in CI).
#include <string>
#include <string_view>
#include <vector>

#include "support/databasetest.h"
#include "support/tempdir.h"

namespace corvanty::testing {

// How a test reaches a server: the folder of its unix socket and the login
// of its superuser.
struct PostgresLogin {
  std::string socket_folder;
  std::string user = "corvanty";
  std::string password;
};

// What keeps the tests from a live server ("PostgreSQL's server programs
// are not installed ..."); "" when nothing does.
std::string PostgresMissing();

// A throwaway cluster of its own, stopped and removed when it ends. Throws
// std::runtime_error with the script's message when it cannot be started.
class PostgresCluster {
 public:
  PostgresCluster();
  ~PostgresCluster();
  PostgresCluster(const PostgresCluster&) = delete;
  PostgresCluster& operator=(const PostgresCluster&) = delete;

  const PostgresLogin& Login() const { return login_; }
  // Stops the server, ending its sessions; StartServer starts it again on
  // the same data.
  void StopServer();
  void StartServer();

 private:
  void Run(const std::string& action);
  PostgresLogin login_;
};

// The server the tests of this process share.
const PostgresLogin& SharedPostgresServer();

// Runs sql through psql on the database postgres, in schema when one is
// given, and returns each row it prints, the values joined by |, NULL as
// NULL. Throws std::runtime_error with psql's message when it fails.
std::vector<std::string> RunPsql(const PostgresLogin& login, const std::string& sql,
                                 const std::string& schema = "");

// The PostgreSQL statements that build the named guide tables, as one script.
std::string PostgresGuideTablesSql(const std::vector<std::string_view>& tables);

// A DatabaseTest whose databases are schemas on a live PostgreSQL server.
class PostgresTest : public DatabaseTest {
 protected:
  void SetUp() override;  // skips, or fails, when there is no server
  void TearDown() override;

  // The server this test works on; by default the shared one.
  virtual const PostgresLogin& Server() { return SharedPostgresServer(); }

  // Makes a new schema, runs seed_sql in it, adds data source name working
  // in it and makes that the active connection (login included). Returns
  // the connect string.
  std::string UseNewSchema(const std::string& name, const std::string& seed_sql = "");
  // The rows a query prints in the schema made last (see RunPsql).
  std::vector<std::string> Query(const std::string& sql);

 private:
  std::vector<std::string> schemas_;
};

}  // namespace corvanty::testing
