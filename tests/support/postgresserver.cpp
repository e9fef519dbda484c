#include "support/postgresserver.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "connections/connectionstore.h"
#include "connections/odbcdatasource.h"
#include "connections/odbcdriverpath.h"
#include "support/corvantycli.h"

namespace corvanty::testing {
namespace {

const char kClusterScript[] = CORVANTY_TEST_DATA_DIR "/../../scripts/postgres-cluster.sh";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// What the cluster script and psql get: the login, and the schema psql's
// statements work in.
std::vector<std::string> ChildEnvironment(const PostgresLogin& login,
                                          const std::string& schema = "public") {
  return {"PATH=" + Environment("PATH"), "CORVANTY_PG_PASSWORD=" + login.password,
          "PGPASSWORD=" + login.password, "PGCLIENTENCODING=UTF8",
          "PGOPTIONS=-c search_path=" + schema};
}

// A name no other test of any process running now uses.
std::string UniqueName(const std::string& prefix) {
  static int made = 0;
  return prefix + std::to_string(getpid()) + "_" + std::to_string(++made);
}

// The rows sql prints through psql in schema. Throws std::runtime_error
// with psql's message when it fails, unless told it may.
std::vector<std::string> Psql(const PostgresLogin& login, const std::string& sql,
                              const std::string& schema, bool may_fail = false) {
  const CommandResult result =
      RunCommand(ChildEnvironment(login, schema),
                 {"/usr/bin/psql", "-X", "-q", "-A", "-t", "-0", "-P", "null=NULL", "-h",
                  login.socket_folder, "-U", login.user, "-d", "postgres", "-c", sql});
  if (result.exit_code != 0 && !may_fail) throw std::runtime_error("psql failed: " + result.err);
  std::vector<std::string> rows;  // each ended by a NUL
  for (size_t start = 0, end; (end = result.out.find('\0', start)) != std::string::npos;
       start = end + 1)
    rows.push_back(result.out.substr(start, end - start));
  return rows;
}

}  // namespace

void SkipWithoutPostgres() {
  if (!PostgresOdbcDriverPath().empty() && std::filesystem::exists("/usr/bin/psql")) return;
  if (!Environment("CORVANTY_REQUIRE_POSTGRES").empty()) FAIL() << "PostgreSQL is not installed";
  GTEST_SKIP() << "the packages postgresql and odbc-postgresql are not both installed";
}

void RunClusterScript(const std::string& action, const PostgresLogin& login) {
  const CommandResult result =
      RunCommand(ChildEnvironment(login), {kClusterScript, action, login.socket_folder});
  if (result.exit_code != 0)
    throw std::runtime_error("postgres-cluster.sh " + action + " failed: " + result.err);
}

std::shared_ptr<const PostgresLogin> StartPostgresCluster() {
  PostgresLogin login{UniqueName("/tmp/corvanty-test-pg-")};
  RunClusterScript("start", login);
  return {
      new PostgresLogin(login), [](const PostgresLogin* started) {
        // A cluster that cannot be removed is left behind in /tmp.
        RunCommand(ChildEnvironment(*started), {kClusterScript, "stop", started->socket_folder});
        delete started;
      }};
}

const PostgresLogin& SharedPostgresServer() {
  static const PostgresLogin started_by_ci{Environment("CORVANTY_TEST_PG_SOCKET")};
  if (!started_by_ci.socket_folder.empty()) return started_by_ci;
  static const std::shared_ptr<const PostgresLogin> own = StartPostgresCluster();
  return *own;  // removed when the process ends
}

PostgresSchema::PostgresSchema(const std::string& dsn, const std::string& seed_sql,
                               const PostgresLogin& server)
    : dsn(dsn), server(server), name_(UniqueName("corvanty_test_")) {
  Psql(server, "CREATE SCHEMA " + name_, "public");
  ClaimDataSourceName(dsn, PostgresOdbcDriverPath());
  WritePostgresDataSource(dsn, {server.socket_folder, "5432"}, "postgres", name_);
  Query(seed_sql);
}

PostgresSchema::~PostgresSchema() {
  // A server that has gone took the schema with its cluster.
  Psql(server, "DROP SCHEMA " + name_ + " CASCADE", "public", true);
}

std::vector<std::string> PostgresSchema::Query(const std::string& sql) const {
  return Psql(server, sql, name_);
}

}  // namespace corvanty::testing
