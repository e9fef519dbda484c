#include "support/postgresserver.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "connections/connectionstore.h"
#include "connections/odbcdatasource.h"
#include "connections/odbcdriverpath.h"
#include "engine/searchguidetables.h"
#include "support/runcommand.h"

namespace corvanty::testing {
namespace {

std::string Environment(const char* name, const std::string& fallback = "") {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

std::string Password() { return Environment("CORVANTY_TEST_PG_PASSWORD", "corvanty"); }

// The newest installed PostgreSQL's programs, or $CORVANTY_PG_BINDIR.
std::string BinFolder() {
  std::string chosen = Environment("CORVANTY_PG_BINDIR");
  if (!chosen.empty()) return chosen;
  std::vector<std::filesystem::path> found;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ignored))
    if (std::filesystem::exists(entry.path() / "bin" / "psql", ignored))
      found.push_back(entry.path() / "bin");
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return std::atoi(a.parent_path().filename().c_str()) <
           std::atoi(b.parent_path().filename().c_str());
  });
  return found.empty() ? "" : found.back().string();
}

std::vector<std::string> ChildEnvironment(const PostgresLogin& login) {
  std::vector<std::string> environment = {
      "PATH=" + Environment("PATH", "/usr/sbin:/usr/bin:/sbin:/bin"),
      "CORVANTY_PG_PASSWORD=" + login.password, "PGPASSWORD=" + login.password,
      "PGCLIENTENCODING=UTF8"};
  if (const std::string bin = Environment("CORVANTY_PG_BINDIR"); !bin.empty())
    environment.push_back("CORVANTY_PG_BINDIR=" + bin);
  return environment;
}

// A name no other test of any process running now uses.
std::string UniqueName(const std::string& prefix) {
  static int made = 0;
  return prefix + std::to_string(getpid()) + "_" + std::to_string(++made);
}

std::vector<std::string> Records(const std::string& out) {
  std::vector<std::string> records;
  for (size_t start = 0; start < out.size();) {
    size_t end = out.find('\0', start);
    if (end == std::string::npos) end = out.size();
    records.push_back(out.substr(start, end - start));
    start = end + 1;
  }
  return records;
}

}  // namespace

std::string PostgresMissing() {
  if (PostgresOdbcDriverPath().empty())
    return "PostgreSQL's ODBC driver is not installed (package odbc-postgresql)";
  if (BinFolder().empty()) return "PostgreSQL is not installed (package postgresql)";
  return "";
}

PostgresCluster::PostgresCluster() {
  login_.socket_folder = UniqueName("/tmp/corvanty-test-pg-");
  login_.password = Password();
  Run("start");
}

PostgresCluster::~PostgresCluster() {
  try {
    Run("stop");
  } catch (const std::exception&) {
    // A cluster that cannot be removed is left behind, named in no test.
  }
}

void PostgresCluster::StopServer() { Run("stop-server"); }
void PostgresCluster::StartServer() { Run("start-server"); }

void PostgresCluster::Run(const std::string& action) {
  const std::string script =
      std::string(CORVANTY_TEST_DATA_DIR) + "/../../scripts/postgres-cluster.sh";
  CommandResult result =
      RunCommand(script, {action, login_.socket_folder}, ChildEnvironment(login_));
  if (result.exit_code != 0)
    throw std::runtime_error("postgres-cluster.sh " + action + " " + login_.socket_folder +
                             " failed: " + result.err);
}

const PostgresLogin& SharedPostgresServer() {
  static const std::unique_ptr<PostgresLogin> started_by_ci =
      Environment("CORVANTY_TEST_PG_SOCKET").empty()
          ? nullptr
          : std::make_unique<PostgresLogin>(
                PostgresLogin{Environment("CORVANTY_TEST_PG_SOCKET"), "corvanty", Password()});
  if (started_by_ci) return *started_by_ci;
  static const PostgresCluster own;  // removed when the process ends
  return own.Login();
}

std::vector<std::string> RunPsql(const PostgresLogin& login, const std::string& sql,
                                 const std::string& schema) {
  TempDir dir;
  std::ofstream(dir.File("statements.sql")) << sql;
  std::vector<std::string> environment = ChildEnvironment(login);
  if (!schema.empty()) environment.push_back("PGOPTIONS=-c search_path=" + schema);
  CommandResult result = RunCommand(
      BinFolder() + "/psql",
      {"-X", "-q", "-A", "-t", "-0", "-P", "null=NULL", "-v", "ON_ERROR_STOP=1", "-h",
       login.socket_folder, "-U", login.user, "-d", "postgres", "-f", dir.File("statements.sql")},
      environment);
  if (result.exit_code != 0) throw std::runtime_error("psql failed: " + result.err);
  return Records(result.out);
}

std::string PostgresGuideTablesSql(const std::vector<std::string_view>& tables) {
  std::string script;
  for (std::string_view table : tables) {
    const std::vector<std::string> statements = *PostgresTableStatements(std::string(table));
    for (const std::string& statement : statements) script += statement + ";\n";
  }
  return script;
}

void PostgresTest::SetUp() {
  DatabaseTest::SetUp();
  if (const std::string missing = PostgresMissing(); !missing.empty()) {
    if (!Environment("CORVANTY_REQUIRE_POSTGRES").empty()) FAIL() << missing;
    GTEST_SKIP() << missing;
  }
}

void PostgresTest::TearDown() {
  for (const std::string& schema : schemas_) {
    try {
      RunPsql(Server(), "DROP SCHEMA " + schema + " CASCADE");
    } catch (const std::exception&) {
      // The server has gone: the schema goes with its cluster.
    }
  }
  DatabaseTest::TearDown();
}

std::string PostgresTest::UseNewSchema(const std::string& name, const std::string& seed_sql) {
  const PostgresLogin& server = Server();
  const std::string schema = UniqueName("corvanty_test_");
  RunPsql(server, "CREATE SCHEMA " + schema);
  schemas_.push_back(schema);
  if (!seed_sql.empty()) RunPsql(server, seed_sql, schema);
  ClaimDataSourceName(name, PostgresOdbcDriverPath());
  WritePostgresDataSource(name, {server.socket_folder, "5432"}, "postgres", schema);
  basCorvantyAdmin::gstrConnect =
      basCorvantyAdmin::BuildConnectString(name, server.user, server.password);
  return basCorvantyAdmin::gstrConnect;
}

std::vector<std::string> PostgresTest::Query(const std::string& sql) {
  return RunPsql(Server(), sql, schemas_.back());
}

}  // namespace corvanty::testing
