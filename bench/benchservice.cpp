// SPDX-License-Identifier: Apache-2.0
#include "bench/benchservice.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "bench/benchsearch.h"
#include "connections/connectstring.h"
#include "connections/rdo.h"
#include "connections/session.h"
#include "index/trigramindex.h"
#include "schema/readiness.h"
#include "schema/searchengineinstaller.h"
#include "search/searchengine.h"
#include "statements/sqlliteral.h"

extern char** environ;

namespace corvanty::bench {
namespace {

std::string ServiceArguments(int32_t guide, const std::string& criteria) {
  return "('" + std::to_string(guide) + "', '" + QuoteApostrophes(criteria) + "')";
}

// Reads every row of the query as a search reads it: the three values as
// text.
SearchCount ReadAll(rdo::rdoConnection& connection, const std::string& sql) {
  SearchCount count;
  for (rdo::ForwardReader reader = connection.OpenForwardOnly(sql); reader.Fetch(); ++count.rows)
    for (size_t column = 0; column < 3; ++column)
      count.bytes += reader.Value(column).value_or("").size();
  return count;
}

void SetIndexed(rdo::rdoConnection& connection, int32_t guide, bool indexed) {
  if (TrigramIndexNames(connection, guide).empty() == !indexed) return;
  if (indexed)
    BuildTrigramIndex(connection, guide);
  else
    DropTrigramIndex(connection, guide);
}

// Runs program with args, its output discarded; fails unless it exits 0.
void RunQuietly(const std::vector<std::string>& args) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  int status = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    throw std::runtime_error(args[0] + " " + args[1] + " " + args[3] + " failed");
}

}  // namespace

void ReportSearchService(const std::string& connect, const std::vector<ServiceCase>& cases,
                         int runs) {
  Session session(connect);
  rdo::rdoConnection& connection = session.Connection();
  if (!basCorvantyAdmin::SearchEngineExists(connection) &&
      !basCorvantyAdmin::BuildSearchEngine(session))
    throw std::runtime_error("the search service could not be installed");
  std::map<int32_t, bool> found_indexed;
  for (const ServiceCase& c : cases)
    found_indexed.emplace(c.guide, !TrigramIndexNames(connection, c.guide).empty());
  std::printf(
      "\nPostgreSQL's search service, median of %d runs over one connection (service: SELECT *\n"
      "FROM velmorastine_search; client: the same statement the engine generates, sent as is)\n",
      runs);
  std::printf("  %-18s %5s %-26s %8s %11s %11s %7s %7s\n", "case", "guide", "criteria", "rows",
              "client ms", "service ms", "ratio", "target");
  for (const ServiceCase& c : cases) {
    SetIndexed(connection, c.guide, c.indexed);
    const std::string service =
        "SELECT * FROM velmorastine_search" + ServiceArguments(c.guide, c.criteria);
    rdo::ForwardReader generated = connection.OpenForwardOnly(
        "SELECT sql FROM velmorastine_search_sql" + ServiceArguments(c.guide, c.criteria));
    const std::string statement = generated.Fetch() ? generated.Value(0).value_or("") : "";
    if (statement !=
        PlanSearch(connection, {c.guide}, SearchCriteria(c.criteria)).statements.at(0).SQL)
      throw std::runtime_error("the service and the engine differ on " + c.criteria);
    const long rows = ReadAll(connection, statement).rows;  // warm-up, both
    if (ReadAll(connection, service).rows != rows)
      throw std::runtime_error("the service and the statement disagree on " + c.criteria);
    std::vector<double> client, served;
    for (int run = 0; run < runs; ++run) {
      client.push_back(Microseconds([&] { ReadAll(connection, statement); }));
      served.push_back(Microseconds([&] { ReadAll(connection, service); }));
    }
    const double ratio = Median(served) / Median(client);
    std::printf("  %-18s %5d %-26s %8ld %11.2f %11.2f %7.2f %7.2f%s\n", c.label, c.guide,
                ("\"" + c.criteria + "\"").c_str(), rows, Median(client) / 1000,
                Median(served) / 1000, ratio, c.target, ratio <= c.target ? "" : "  MISSED");
  }
  for (const auto& [guide, indexed] : found_indexed) SetIndexed(connection, guide, indexed);
}

void ReportServiceAgainstProcess(const std::string& connect, int32_t guide,
                                 const std::string& criteria, int runs) {
  const std::optional<ConnectValues> values = ParseConnectString(connect);
  if (!values) throw std::invalid_argument("not a connect string: " + connect);
  const std::string corvanty =
      (std::filesystem::canonical("/proc/self/exe").parent_path() / "corvanty").string();
  char folder_template[] = "/tmp/corvanty-bench-XXXXXX";
  const std::filesystem::path folder = mkdtemp(folder_template);
  const std::string registry = (folder / "registry.db").string();
  RunQuietly({corvanty, "--registry", registry, "add-connection", values->dsn,
              values->uid.value_or(""), values->pwd.value_or("")});
  const std::vector<std::string> search = {
      corvanty, "--registry",   registry, "search", std::to_string(guide),
      criteria, "--connection", "1"};
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
  const bool found_indexed = !TrigramIndexNames(connection, guide).empty();
  SetIndexed(connection, guide, true);
  const std::string service =
      "SELECT * FROM velmorastine_search" + ServiceArguments(guide, criteria);
  RunQuietly(search);  // warm-up, both
  const long rows = ReadAll(connection, service).rows;
  std::vector<double> process, served;
  for (int run = 0; run < runs; ++run) {
    process.push_back(Microseconds([&] { RunQuietly(search); }));
    served.push_back(Microseconds([&] { ReadAll(connection, service); }));
  }
  std::filesystem::remove_all(folder);
  SetIndexed(connection, guide, found_indexed);
  const double speedup = Median(process) / Median(served);
  std::printf("\nThe service against corvanty search as a process, guide %d, \"%s\", %ld rows\n",
              guide, criteria.c_str(), rows);
  std::printf("  process %.2f ms, service %.2f ms: %.1fx faster (target at least 10x)%s\n",
              Median(process) / 1000, Median(served) / 1000, speedup,
              speedup >= 10 ? "" : "  MISSED");
}

}  // namespace corvanty::bench
