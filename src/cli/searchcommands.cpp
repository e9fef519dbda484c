// SPDX-License-Identifier: Apache-2.0
// Commands that list guides, print their statements and run searches.
#include <chrono>
#include <iomanip>
#include <iostream>

#include "cli/commands.h"
#include "cli/guidearguments.h"
#include "guides/guidestore.h"
#include "search/searchengine.h"
#include "search/servicesearch.h"
#include "statements/guideloader.h"
#include "ui/utf8text.h"

namespace corvanty::cli {

int Guides(const Words& words) {
  Args args(words, {"--connection"}, {});
  args.ExpectPositional(0, 0, UsageOf("guides"));
  std::optional<CommandSession> saved = SavedConnectionFrom(args);
  if (!saved) return kExitFailure;
  return ReportingDatabaseErrors(saved->dsn, [&] {
    for (const GuideEntry& guide : ListGuides(saved->session.Connection()))
      std::cout << guide.id << '\t' << ShownText(guide.name) << '\n';
    return kExitOk;
  });
}

int Sql(const Words& words) {
  Args args(words, {"--connection", "--dialect"}, {"--explain"});
  args.ExpectPositional(2, 2, UsageOf("sql"));
  const std::string dialect_name = args.Value("--dialect");
  // Read before the connection, so that a wrong name is a usage error.
  const rdo::Dialect chosen = dialect_name.empty() ? rdo::Dialect{} : DialectOption(dialect_name);
  std::optional<CommandSession> saved = SavedConnectionFrom(args);
  if (!saved) return kExitFailure;
  return ReportingDatabaseErrors(saved->dsn, [&] {
    rdo::rdoConnection& connection = saved->session.Connection();
    const int32_t guide = ResolveGuide(connection, args.Positional()[0]);
    const SearchCriteria criteria(args.Positional()[1]);
    // The statement a search runs here, through its index where one
    // serves; for another server, the statement it would run there without.
    const rdo::Dialect dialect = dialect_name.empty() ? connection.GetDialect() : chosen;
    PlannedSearch planned;
    if (dialect != connection.GetDialect()) {
      SearchStatements generated =
          GenerateSearchStatements(LoadGuideDefinitions(connection, {guide}), criteria, dialect);
      if (!generated.Error.empty()) ThrowSearchError(generated.Error);
      for (const GuideStatement& statement : generated.Guides)
        if (!statement.Error.empty()) ThrowSearchError(statement.Error);
      planned.statements = std::move(generated.Guides);
    } else {
      planned = PlanSearch(connection, {guide}, criteria);
    }
    for (const GuideStatement& statement : planned.statements) std::cout << statement.SQL << '\n';
    if (args.Has("--explain")) {
      std::cout.flush();
      for (const SearchPath& path : planned.paths)
        std::cerr << "Database Search Guide " << path.DSG_ID << ": " << path.why << '\n';
    }
    return kExitOk;
  });
}

int Search(const Words& words) {
  Args args(words, {"--connection", "--format"}, {"--explain", "--in-database"});
  args.ExpectPositional(2, 2, UsageOf("search"));
  std::string format = args.Value("--format", "lines");
  if (format != "lines" && format != "tsv" && format != "json")
    throw UsageError("--format takes lines, tsv or json");
  std::optional<CommandSession> saved = SavedConnectionFrom(args);
  if (!saved) return kExitFailure;
  return ReportingDatabaseErrors(saved->dsn, [&] {
    const int32_t guide = ResolveGuide(saved->session.Connection(), args.Positional()[0]);
    const auto start = std::chrono::steady_clock::now();
    // The built-in engine, or with --in-database PostgreSQL's search service.
    std::unique_ptr<SearchRun> run;
    std::unique_ptr<ServiceSearch> service;
    if (args.Has("--in-database"))
      service = std::make_unique<ServiceSearch>(saved->session.Take(), guide, args.Positional()[1]);
    else
      run = StartSearch(saved->session.Take(), {guide}, args.Positional()[1]);
    const char* separator = format == "tsv" ? "\t" : "*";
    long found = 0;
    if (format == "json") std::cout << '[';
    while (std::optional<SearchResult> result = run ? run->Next() : service->Next()) {
      if (format == "json") {
        std::cout << (found == 0 ? "\n  " : ",\n  ")
                  << "{\"ResultList\": " << JsonString(result->ResultList)
                  << ", \"IDColumn\": " << JsonString(result->IDColumn)
                  << ", \"DSG_ID\": " << result->DSG_ID << '}';
      } else {
        std::cout << result->ResultList << separator << result->IDColumn << separator
                  << result->DSG_ID << '\n';
      }
      ++found;
    }
    if (format == "json") std::cout << (found == 0 ? "]\n" : "\n]\n");
    if (args.Has("--explain")) {
      std::cout.flush();
      const std::chrono::duration<double, std::milli> took =
          std::chrono::steady_clock::now() - start;
      for (const SearchPath& path : run ? run->Paths() : std::vector<SearchPath>{})
        std::cerr << "Database Search Guide " << path.DSG_ID << ": " << path.why << '\n';
      std::cerr << found << (found == 1 ? " result in " : " results in ") << std::fixed
                << std::setprecision(3) << took.count() << " ms\n";
    }
    return kExitOk;
  });
}

}  // namespace corvanty::cli
