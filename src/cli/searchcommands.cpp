// Commands that list guides, print their statements and run searches.
#include <iostream>
#include <limits>

#include "cli/cliargs.h"
#include "cli/commands.h"
#include "connections/connectionstore.h"
#include "connections/sqlerrorreport.h"
#include "engine/guideloader.h"
#include "engine/searchengine.h"
#include "guides/guidestore.h"
#include "ui/utf8text.h"

namespace corvanty::cli {

using basCorvantyAdmin::gstrConnect;

namespace {

constexpr long kMaxConnection = std::numeric_limits<int16_t>::max();

// A guide named on the command line: its exact name first, else its number.
int32_t ResolveGuide(rdo::rdoConnection& connection, const std::string& guide) {
  if (std::optional<int32_t> id = FindGuideByName(connection, guide)) return *id;
  size_t used = 0;
  long number = -1;
  try {
    number = std::stol(guide, &used);
  } catch (...) {
    used = 0;
  }
  if (used == 0 || used != guide.size() || number < 0 ||
      number > std::numeric_limits<int32_t>::max())
    ThrowSearchError("There is no Database Search Guide named '" + guide + "'.");
  return static_cast<int32_t>(number);
}

bool LoadConnectionFrom(const Args& args) {
  return LoadConnectionOption(args.Number("--connection", 1, 1, kMaxConnection));
}

// Runs body, turning database errors into the error report on stderr.
template <typename Body>
int ReportingDatabaseErrors(Body body) {
  try {
    return body();
  } catch (const rdo::DatabaseError& error) {
    std::cerr << ShownText(DialogErrorText(error), true) << '\n';
    return kExitFailure;
  }
}

}  // namespace

int Guides(const Words& words) {
  Args args(words, {"--connection"}, {});
  args.ExpectPositional(0, 0, "guides [--connection N]");
  if (!LoadConnectionFrom(args)) return kExitFailure;
  return ReportingDatabaseErrors([] {
    for (const GuideEntry& guide : ListGuides())
      std::cout << guide.id << '\t' << ShownText(guide.name) << '\n';
    return kExitOk;
  });
}

int Sql(const Words& words) {
  Args args(words, {"--connection", "--dialect"}, {});
  args.ExpectPositional(2, 2, "sql GUIDE CRITERIA [--connection N] [--dialect mssql|sqlite]");
  std::string dialect_name = args.Value("--dialect");
  if (!dialect_name.empty() && dialect_name != "mssql" && dialect_name != "sqlite")
    throw UsageError("--dialect takes mssql or sqlite");
  if (!LoadConnectionFrom(args)) return kExitFailure;
  return ReportingDatabaseErrors([&] {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
    rdo::Dialect dialect = dialect_name.empty()      ? connection.GetDialect()
                           : dialect_name == "mssql" ? rdo::Dialect::SqlServer
                                                     : rdo::Dialect::Sqlite;
    int32_t guide = ResolveGuide(connection, args.Positional()[0]);
    SearchStatements generated = GenerateSearchStatements(LoadGuideDefinitions(connection, {guide}),
                                                          args.Positional()[1], dialect);
    if (!generated.Error.empty()) ThrowSearchError(generated.Error);
    for (const GuideStatement& statement : generated.Guides) {
      if (!statement.Error.empty()) ThrowSearchError(statement.Error);
      std::cout << statement.SQL << '\n';
    }
    return kExitOk;
  });
}

int Search(const Words& words) {
  Args args(words, {"--connection", "--format"}, {});
  args.ExpectPositional(2, 2, "search GUIDE CRITERIA [--connection N] [--format lines|tsv|json]");
  std::string format = args.Value("--format", "lines");
  if (format != "lines" && format != "tsv" && format != "json")
    throw UsageError("--format takes lines, tsv or json");
  if (!LoadConnectionFrom(args)) return kExitFailure;
  return ReportingDatabaseErrors([&] {
    int32_t guide = 0;
    {
      rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
      guide = ResolveGuide(connection, args.Positional()[0]);
    }
    std::unique_ptr<SearchRun> run = StartSearch(gstrConnect, {guide}, args.Positional()[1]);
    const char* separator = format == "tsv" ? "\t" : "*";
    bool first = true;
    if (format == "json") std::cout << '[';
    while (std::optional<SearchResult> result = run->Next()) {
      if (format == "json") {
        std::cout << (first ? "\n  " : ",\n  ")
                  << "{\"ResultList\": " << JsonString(result->ResultList)
                  << ", \"IDColumn\": " << JsonString(result->IDColumn)
                  << ", \"DSG_ID\": " << result->DSG_ID << '}';
      } else {
        std::cout << result->ResultList << separator << result->IDColumn << separator
                  << result->DSG_ID << '\n';
      }
      first = false;
    }
    if (format == "json") std::cout << (first ? "]\n" : "\n]\n");
    return kExitOk;
  });
}

}  // namespace corvanty::cli
