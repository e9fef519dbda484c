// SPDX-License-Identifier: Apache-2.0
#include "support/postgresserver.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <system_error>

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

// The rows sql prints through psql in schema of database. Throws
// std::runtime_error with psql's message when it fails, unless told it may.
std::vector<std::string> Psql(const PostgresLogin& login, const std::string& sql,
                              const std::string& schema, bool may_fail = false,
                              const std::string& database = "postgres") {
  const CommandResult result =
      RunCommand(ChildEnvironment(login, schema),
                 {"/usr/bin/psql", "-X", "-q", "-A", "-t", "-0", "-P", "null=NULL", "-h",
                  login.socket_folder, "-U", login.user, "-d", database, "-c", sql});
  if (result.exit_code != 0 && !may_fail) throw std::runtime_error("psql failed: " + result.err);
  std::vector<std::string> rows;  // each ended by a NUL
  for (size_t start = 0, end; (end = result.out.find('\0', start)) != std::string::npos;
       start = end + 1)
    rows.push_back(result.out.substr(start, end - start));
  return rows;
}

// A pipe whose ends this process keeps are closed on exec, so that no other
// child holds them open.
std::array<int, 2> Pipe() {
  std::array<int, 2> ends;
  if (pipe2(ends.data(), O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category());
  return ends;
}

// What the watcher prints once its cluster serves.
const std::string kReady = "ready\n";

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What fd gives until it ends with `until` (never, when empty) or its last
// writer closes it.
std::string ReadUntil(int fd, const std::string& until) {
  std::string text;
  std::array<char, 4096> buffer;
  for (ssize_t got; until.empty() || !EndsWith(text, until);) {
    if ((got = read(fd, buffer.data(), buffer.size())) > 0)
      text.append(buffer.data(), static_cast<size_t>(got));
    else if (got == 0 || errno != EINTR)
      break;
  }
  return text;
}

// Starts `postgres-cluster.sh watch` on login's folder, its standard input
// read from hold and its output written to report. Returns when the script
// has handed the cluster to its detached watcher.
void SpawnWatcher(const PostgresLogin& login, int hold, int report) {
  std::vector<std::string> environment = ChildEnvironment(login);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string script = kClusterScript, action = "watch", folder = login.socket_folder;
  char* argv[] = {script.data(), action.data(), folder.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, hold, 0);
  posix_spawn_file_actions_adddup2(&actions, report, 1);
  posix_spawn_file_actions_adddup2(&actions, report, 2);
  pid_t pid;
  const int failed = posix_spawn(&pid, kClusterScript, &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed) throw std::system_error(failed, std::generic_category(), kClusterScript);
  waitpid(pid, nullptr, 0);
}

}  // namespace

void SkipWithoutPostgres() {
  if (!PostgresOdbcDriverPath().empty() && std::filesystem::exists("/usr/bin/psql")) return;
  if (!Environment("CORVANTY_REQUIRE_POSTGRES").empty()) FAIL() << "PostgreSQL is not installed";
  GTEST_SKIP() << "the packages postgresql and odbc-postgresql are not both installed";
}

void RunClusterScript(const std::string& action, const PostgresLogin& login,
                      const std::string& primary_folder) {
  std::vector<std::string> command = {kClusterScript, action, login.socket_folder};
  if (!primary_folder.empty()) command.push_back(primary_folder);
  const CommandResult result = RunCommand(ChildEnvironment(login), command);
  if (result.exit_code != 0)
    throw std::runtime_error("postgres-cluster.sh " + action + " failed: " + result.err);
}

std::shared_ptr<const PostgresLogin> StartPostgresCluster() {
  PostgresLogin login{UniqueName("/tmp/corvanty-test-pg-")};
  // The watcher stops the cluster once the writing end of `input` closes:
  // when the result is let go, or when this process ends in any way, even
  // killed. It ends `output` when it has removed the cluster.
  const std::array<int, 2> input = Pipe(), output = Pipe();
  try {
    SpawnWatcher(login, input[0], output[1]);
  } catch (...) {
    for (int end : {input[0], input[1], output[0], output[1]}) close(end);
    throw;
  }
  close(input[0]);
  close(output[1]);
  const std::string said = ReadUntil(output[0], kReady);
  if (!EndsWith(said, kReady)) {
    close(input[1]);
    close(output[0]);
    throw std::runtime_error("postgres-cluster.sh watch failed: " + said);
  }
  return {new PostgresLogin(login),
          [hold = input[1], report = output[0]](const PostgresLogin* started) {
            close(hold);
            ReadUntil(report, "");  // until the watcher has stopped and removed the cluster
            close(report);
            delete started;
          }};
}

const PostgresLogin& SharedPostgresServer() {
  static const PostgresLogin started_by_ci{Environment("CORVANTY_TEST_PG_SOCKET")};
  if (!started_by_ci.socket_folder.empty()) return started_by_ci;
  static const std::shared_ptr<const PostgresLogin> own = StartPostgresCluster();
  return *own;  // removed when the process ends
}

std::shared_ptr<const PostgresLogin> StartPostgresReplica(const PostgresLogin& primary) {
  PostgresLogin replica = primary;
  replica.socket_folder = UniqueName("/tmp/corvanty-test-pg-");
  RunClusterScript("start-replica", replica, primary.socket_folder);
  return {
      new PostgresLogin(replica), [](const PostgresLogin* started) {
        // Never throws: a replica left behind is removed by the next run.
        RunCommand(ChildEnvironment(*started), {kClusterScript, "stop", started->socket_folder});
        delete started;
      }};
}

namespace {

// Puts the search extension, once the server offers it, in a schema of its
// own in the shared database, once for every process (the first one to take
// the lock creates it). Under pg_catalog alone: tests plant look-alikes of
// its functions in public.
void HoldSharedExtension(const PostgresLogin& server) {
  static std::set<std::string> held;
  if (!held.insert(server.socket_folder).second) return;
  Psql(server,
       std::string("SELECT pg_advisory_xact_lock(hashtext('corvanty_test_extension_holder'));"
                   "DO $$ BEGIN IF EXISTS (SELECT FROM pg_available_extensions WHERE name = '") +
           kSearchExtension +
           "') THEN CREATE SCHEMA IF NOT EXISTS corvanty_test_extension_holder; "
           "CREATE EXTENSION IF NOT EXISTS " +
           kSearchExtension + " SCHEMA corvanty_test_extension_holder; END IF; END $$",
       "pg_catalog");
}

}  // namespace

void SkipWithoutSearchExtension(const PostgresSchema& schema) {
  if (schema.Query(std::string("SELECT count(*) FROM pg_available_extensions WHERE name = '") +
                   kSearchExtension + "'") == std::vector<std::string>{"1"})
    return;
  if (!Environment("CORVANTY_REQUIRE_POSTGRES").empty())
    FAIL() << "the server offers no extension " << kSearchExtension
           << ": install it into the server's folders first (cmake --install build --component "
              "postgresql_extension)";
  GTEST_SKIP() << "the server offers no extension " << kSearchExtension;
}

PostgresSchema::PostgresSchema(const std::string& dsn, const std::string& seed_sql,
                               const PostgresLogin& server, Database database,
                               const std::string& owner)
    : dsn(dsn), server(server), name_(UniqueName("corvanty_test_")) {
  const std::string owned_by = owner.empty() ? "" : " OWNER " + owner;
  if (database == Database::OwnDatabase) {
    database_ = name_;
    Psql(server, "CREATE DATABASE " + database_ + owned_by, "public");
  } else {
    HoldSharedExtension(server);
  }
  Psql(server, "CREATE SCHEMA " + name_ + (owner.empty() ? "" : " AUTHORIZATION " + owner),
       "public", false, database_);
  ClaimDataSourceName(dsn, PostgresOdbcDriverPath());
  WritePostgresDataSource(dsn, {server.socket_folder, "5432"}, database_, name_);
  Query((owner.empty() ? "" : "SET ROLE " + owner + ";") + seed_sql);
}

PostgresSchema::PostgresSchema(const PostgresSchema& primary, const std::string& dsn,
                               const PostgresLogin& replica)
    : dsn(dsn), server(replica), name_(primary.name_), database_(primary.database_), owned_(false) {
  ClaimDataSourceName(dsn, PostgresOdbcDriverPath());
  WritePostgresDataSource(dsn, {server.socket_folder, "5432"}, database_, name_);
}

PostgresSchema::~PostgresSchema() {
  if (!owned_) return;
  // A server that has gone took the schema with its cluster.
  if (database_ == name_)
    Psql(server, "DROP DATABASE " + database_ + " WITH (FORCE)", "public", true);
  else
    Psql(server, "DROP SCHEMA " + name_ + " CASCADE", "public", true);
}

std::vector<std::string> PostgresSchema::Query(const std::string& sql) const {
  return Psql(server, sql, name_, false, database_);
}

PostgresRole::PostgresRole(const PostgresSchema& schema, const std::string& prefix)
    : schema(schema), name(UniqueName(prefix)) {
  schema.Query("CREATE ROLE " + name + " LOGIN PASSWORD 'role'");
}

PostgresRole::~PostgresRole() {
  schema.Query("DROP OWNED BY " + name + " CASCADE; DROP ROLE " + name);
}

std::string PostgresRole::Connect() const {
  return basCorvantyAdmin::BuildConnectString(schema.dsn, name, "role");
}

}  // namespace corvanty::testing
