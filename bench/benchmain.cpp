// SPDX-License-Identifier: Apache-2.0
// corvanty_bench: statement generation time, search time through the engine
// against the same SELECT run through SQLite itself, and peak memory by the
// number of results, on the demo database (usage in kUsage), then a guide's
// search index against the scan, SQLite's search extension against the
// statement it runs (and its memory), and last the columns editor's load on
// a catalogue of 20,000 columns. The criteria default to counts that suit the
// demo at 1,000,000 order lines. With --postgres it times a guide's trigram
// indexes against the scan on that PostgreSQL database instead, its search
// service against the statement sent by the client and against corvanty
// search, and the service's two forms, PL/pgSQL and the search extension,
// against the client's statement (--only forms for those alone).
//
// Without --db the demo database is made in a temporary folder and removed
// afterwards; with --db the file is made only if it does not exist, and kept.
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/benchcolumns.h"
#include "bench/benchextension.h"
#include "bench/benchguide.h"
#include "bench/benchindex.h"
#include "bench/benchmemory.h"
#include "bench/benchodbc.h"
#include "bench/benchsearch.h"
#include "bench/benchservice.h"
#include "bench/benchserviceforms.h"
#include "bench/benchtrigram.h"
#include "bench/benchupkeep.h"
#include "connections/rdo.h"
#include "statements/guideloader.h"
#include "statements/searchstatements.h"

namespace corvanty::bench {
namespace {

constexpr char kUsage[] =
    "usage: corvanty_bench [--rows N] [--runs N] [--generation-runs N] [--db FILE]\n"
    "                      [--selective TEXT] [--wide TEXT] [--medium TEXT]\n"
    "                      [--indexed-wide TEXT] [--writes N] [--contention-seconds S]\n"
    "                      [--only extension|upkeep]\n"
    "       corvanty_bench --postgres CONNECT [--guide N] [--wide-guide N] [--runs N]\n"
    "                      [--selective TEXT] [--medium TEXT] [--indexed-wide TEXT]\n"
    "                      [--clients-seconds S] [--only forms]\n";

struct Options {
  long rows = 1000000;
  int runs = 7;
  int generation_runs = 20000;
  std::string database;              // empty: a temporary one
  std::string selective = "123456";  // an order number: a handful of orders
  std::string wide = "ke";           // "Markets" and "Kestrel": about 100,000 orders
  std::string medium = "Amber T";    // "Amber Trading": about 8,500 orders
  // Phrases of three characters or more, as the index needs: about 100,000.
  std::string indexed_wide = "\"Markets\" or \"Kestrel\"";
  // A PostgreSQL database to time the trigram indexes of guide on, instead
  // of the SQLite reports.
  std::string postgres;
  int32_t guide = 1;
  // The guide of the search service's wide search: the demo's orders.
  int32_t wide_guide = 2;
  // Only the search extension's reports, or only the index upkeep's; on
  // PostgreSQL only the two forms of the search service.
  bool extension_only = false;
  bool upkeep_only = false;
  bool forms_only = false;
  // How long eight clients call each form of PostgreSQL's search service.
  double clients_seconds = 30;
  // Random single-row writes per kind timed for the index upkeep, and how
  // long writers and searchers contend on each copy.
  int writes = 10000;
  double contention_seconds = 60;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; i += 2) {
    const std::string name = argv[i];
    if (i + 1 >= argc) throw std::invalid_argument(name + " needs a value");
    const std::string value = argv[i + 1];
    if (name == "--rows")
      options.rows = std::stol(value);
    else if (name == "--runs")
      options.runs = std::stoi(value);
    else if (name == "--generation-runs")
      options.generation_runs = std::stoi(value);
    else if (name == "--db")
      options.database = value;
    else if (name == "--selective")
      options.selective = value;
    else if (name == "--wide")
      options.wide = value;
    else if (name == "--medium")
      options.medium = value;
    else if (name == "--indexed-wide")
      options.indexed_wide = value;
    else if (name == "--postgres")
      options.postgres = value;
    else if (name == "--guide")
      options.guide = std::stoi(value);
    else if (name == "--wide-guide")
      options.wide_guide = std::stoi(value);
    else if (name == "--only" && value == "extension")
      options.extension_only = true;
    else if (name == "--only" && value == "upkeep")
      options.upkeep_only = true;
    else if (name == "--only" && value == "forms")
      options.forms_only = true;
    else if (name == "--clients-seconds")
      options.clients_seconds = std::stod(value);
    else if (name == "--writes")
      options.writes = std::stoi(value);
    else if (name == "--contention-seconds")
      options.contention_seconds = std::stod(value);
    else
      throw std::invalid_argument("unknown option " + name);
  }
  if (options.rows < 10 || options.runs < 1 || options.generation_runs < 1 || options.writes < 1 ||
      options.contention_seconds <= 0 || options.clients_seconds <= 0)
    throw std::invalid_argument(
        "--rows, --runs, --generation-runs, --writes and --contention-seconds must be positive");
  return options;
}

// Median microseconds of one guide's statement generation, per dialect.
void ReportGeneration(const std::string& connect, int32_t guide, int runs) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
  const std::vector<GuideDefinition> guides = LoadGuideDefinitions(connection, {guide});
  std::printf("\nStatement generation, one guide, median of %d (target < 100 us)\n", runs);
  for (auto [dialect, name] :
       {std::pair{rdo::Dialect::Sqlite, "SQLite"}, std::pair{rdo::Dialect::SqlServer, "SQL Server"},
        std::pair{rdo::Dialect::PostgreSql, "PostgreSQL"}}) {
    std::vector<double> samples;
    size_t length = 0;
    for (int run = 0; run < runs; ++run)
      samples.push_back(Microseconds([&] {
        length +=
            GenerateSearchStatements(guides, SearchCriteria("\"amber birch\" or 1234"), dialect)
                .Guides[0]
                .SQL.size();
      }));
    std::printf("  %-10s %8.2f us  (%zu characters)\n", name, Median(samples), length / runs);
  }
}

struct Case {
  const char* label;
  std::string criteria;
  double target;
};

void ReportSearches(const std::string& connect, const std::string& file, int32_t guide,
                    const std::vector<Case>& cases, int runs) {
  std::printf(
      "\nSearch, median of %d runs (engine: StartSearch + Next over ODBC, StepAPI=1;\n"
      "native: the same SELECT through sqlite3_prepare/step)\n",
      runs);
  std::printf("  %-10s %-16s %8s %12s %12s %7s %7s\n", "case", "criteria", "rows", "engine ms",
              "native ms", "ratio", "target");
  for (const Case& c : cases) {
    const std::string sql = SqliteStatement(connect, guide, c.criteria);
    SearchCount engine_count, native_count;
    engine_count = EngineSearch(connect, guide, c.criteria);  // warm-up, both
    native_count = NativeSearch(file, sql);
    if (engine_count.rows != native_count.rows)
      throw std::runtime_error("the engine and SQLite disagree on the number of rows");
    std::vector<double> engine, native;
    for (int run = 0; run < runs; ++run) {
      engine.push_back(Microseconds([&] { EngineSearch(connect, guide, c.criteria); }));
      native.push_back(Microseconds([&] { NativeSearch(file, sql); }));
    }
    const double ratio = Median(engine) / Median(native);
    std::printf("  %-10s %-16s %8ld %12.1f %12.1f %7.2f %7.2f%s\n", c.label,
                ("\"" + c.criteria + "\"").c_str(), engine_count.rows, Median(engine) / 1000,
                Median(native) / 1000, ratio, c.target, ratio <= c.target ? "" : "  MISSED");
  }
}

// The search of each case through the engine (kMemoryChildFlag, source a
// connect string) or the extension (kExtensionMemoryChildFlag, source the file).
void ReportMemory(const char* title, const char* child_flag, const std::string& source,
                  int32_t guide, const std::vector<Case>& cases) {
  std::printf("\nPeak resident set (VmHWM) of %s, fresh process per case\n", title);
  std::printf("  %-10s %8s %12s %12s %10s\n", "case", "rows", "before kB", "after kB", "growth");
  for (const Case& c : cases) {
    const MemoryUse use = MeasureInChild(child_flag, source, guide, c.criteria);
    std::printf("  %-10s %8ld %12ld %12ld %10ld\n", c.label, use.rows, use.before_kb, use.after_kb,
                use.after_kb - use.before_kb);
  }
}

int Run(const Options& options) {
  if (!options.postgres.empty()) {
    const ServiceFormsCase forms = {options.guide, options.selective, options.wide_guide,
                                    options.wide,  options.runs,      options.clients_seconds};
    if (options.forms_only) {
      ReportServiceForms(options.postgres, forms);
      return 0;
    }
    ReportTrigramIndex(options.postgres, options.guide,
                       {{"selective", options.selective},
                        {"medium", options.medium},
                        {"wide", options.indexed_wide}},
                       options.runs);
    ReportSearchService(options.postgres,
                        {{"selective indexed", options.guide, options.selective, true, 1.2},
                         {"selective scan", options.guide, options.selective, false, 1.2},
                         {"wide indexed", options.wide_guide, options.indexed_wide, true, 1.5}},
                        options.runs);
    ReportServiceAgainstProcess(options.postgres, options.guide, options.selective, options.runs);
    ReportServiceForms(options.postgres, forms);
    return 0;
  }
  BenchFolder folder;
  UseOwnOdbcConfiguration(folder);
  const std::string file = options.database.empty() ? folder.File("demo.db") : options.database;
  EnsureDemoDatabase(file, options.rows);
  const int32_t guide = InstallBenchGuide(file);
  const std::string connect = AddStreamingDataSource(folder, "CorvantyBench", file);

  std::printf("Demo database: %s\n", DescribeDatabase(file).c_str());
  std::printf("Guide %d: orders o, customers c; shows 3 columns, searches 2\n", guide);
  if (options.upkeep_only) {
    ReportUpkeep(folder, file, options.writes, options.runs, options.contention_seconds);
    return 0;
  }
  const std::vector<Case> memory_cases = {{"selective", options.selective, 0},
                                          {"medium", options.medium, 0},
                                          {"wide", options.wide, 0}};
  if (!options.extension_only) {
    ReportGeneration(connect, guide, options.generation_runs);
    ReportSearches(connect, file, guide,
                   {{"selective", options.selective, 1.10}, {"wide", options.wide, 2.0}},
                   options.runs);
    ReportMemory("a search", kMemoryChildFlag, connect, guide, memory_cases);
    ReportIndex(
        connect, file, guide,
        {{"selective", options.selective, 100, true}, {"wide", options.indexed_wide, 1.10, false}},
        options.runs);
    ReportUpkeep(folder, file, options.writes, options.runs, options.contention_seconds);
  }
  ReportSearchExtension(connect, file, guide,
                        {{"selective scan", options.selective, false, 1.10},
                         {"wide scan", options.wide, false, 1.30},
                         {"selective indexed", options.selective, true, 1.10},
                         {"wide indexed", options.indexed_wide, true, 1.30}},
                        options.runs);
  ReportMemory("the search extension's function", kExtensionMemoryChildFlag, file, guide,
               memory_cases);
  if (!options.extension_only) ReportColumnEditorLoad(folder, options.runs);
  return 0;
}

}  // namespace
}  // namespace corvanty::bench

int main(int argc, char** argv) {
  using namespace corvanty::bench;
  try {
    if (argc == 5 && std::string(argv[1]) == kMemoryChildFlag)
      return RunMemoryChild(
          [&](const std::string& criteria) {
            return EngineSearch(argv[2], std::stoi(argv[3]), criteria).rows;
          },
          argv[4]);
    if (argc == 5 && std::string(argv[1]) == kExtensionMemoryChildFlag) {
      ExtensionDatabase database(argv[2]);
      return RunMemoryChild(
          [&](const std::string& criteria) {
            return database.Search(std::stoi(argv[3]), criteria).rows;
          },
          argv[4]);
    }
    return Run(ParseOptions(argc, argv));
  } catch (const std::invalid_argument& error) {
    std::cerr << "corvanty_bench: " << error.what() << "\n" << kUsage;
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "corvanty_bench: " << error.what() << '\n';
    return 1;
  }
}
