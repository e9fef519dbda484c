// SPDX-License-Identifier: Apache-2.0
#include "bench/benchupkeep.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numeric>
#include <random>
#include <stdexcept>
#include <vector>

#include "bench/benchcontention.h"
#include "bench/benchdatabase.h"
#include "bench/benchsearch.h"
#include "connections/rdo.h"
#include "demo/demoguides.h"
#include "index/searchindexbuild.h"
#include "index/searchindexsql.h"
#include "index/sidepart.h"
#include "search/searchengine.h"
#include "statements/guideloader.h"

namespace corvanty::bench {
namespace {

class SampleGuideStatements : public demo::GuideStatements {
 public:
  explicit SampleGuideStatements(Database& db) : db_(db) {}
  void Execute(const std::string& sql) override { db_.Exec(sql); }
  std::optional<int64_t> Number(const std::string& sql) override { return db_.Find(sql); }

 private:
  Database& db_;
};

// A write prepared once and run again with new values: ?1 a text, ?2 a row.
// A failure throws sqlite::Error and ends the benchmark.
class Write {
 public:
  Write(const Database& db, const std::string& sql) : statement_(db.Prepare(sql)) {}
  void Run(const std::string& text, long long row) {
    statement_.Bind(text).Bind(row).Step();
    statement_.Reset();
  }

 private:
  sqlite::Statement statement_;
};

constexpr char kSearchedWrite[] = "UPDATE customers SET company_name = ?1 WHERE customer_id = ?2";
constexpr char kUnreadWrite[] = "UPDATE customers SET phone = ?1 WHERE customer_id = ?2";

// One copy of the demo database, in WAL with synchronous=NORMAL.
struct Copy {
  explicit Copy(const std::string& path) : file(path), db(path) {
    db.Exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
  }
  std::string file;
  Database db;
};

struct Samples {
  std::vector<double> plain, indexed;  // microseconds
};

double Mean(const std::vector<double>& samples) {
  return std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
}

// The same writes on both copies, in turns (which goes first alternates):
// sql with the i-th text and a random customer, each in its own
// transaction, or per_transaction of them in one.
Samples TimeWrites(Copy& plain, Copy& indexed, const std::string& sql, int count,
                   int per_transaction, const std::string& text, std::mt19937& rng) {
  Write on_plain(plain.db, sql), on_indexed(indexed.db, sql);
  const long long customers = plain.db.Number("SELECT max(customer_id) FROM customers");
  std::uniform_int_distribution<long long> customer(1, customers);
  Samples samples;
  for (int i = 0; i < count; ++i) {
    std::vector<long long> rows(static_cast<size_t>(per_transaction));
    for (long long& row : rows) row = customer(rng);
    const std::string value = text + " " + std::to_string(i);
    auto time = [&](Copy& copy, Write& write) {
      return Microseconds([&] {
        if (per_transaction > 1) copy.db.Exec("BEGIN");
        for (long long row : rows) write.Run(value, row);
        if (per_transaction > 1) copy.db.Exec("COMMIT");
      });
    };
    if (i % 2) {
      samples.indexed.push_back(time(indexed, on_indexed));
      samples.plain.push_back(time(plain, on_plain));
    } else {
      samples.plain.push_back(time(plain, on_plain));
      samples.indexed.push_back(time(indexed, on_indexed));
    }
  }
  return samples;
}

void PrintWrites(const char* label, const Samples& samples, double target) {
  const double plain_mean = Mean(samples.plain), indexed_mean = Mean(samples.indexed);
  const double plain_median = Median(samples.plain), indexed_median = Median(samples.indexed);
  const double slowest = *std::max_element(samples.indexed.begin(), samples.indexed.end());
  std::printf("  %-34s %9.4f %9.4f %7.2f   %9.4f %9.4f %7.2f   %9.3f %s\n", label,
              plain_median / 1000, indexed_median / 1000, indexed_median / plain_median,
              plain_mean / 1000, indexed_mean / 1000, indexed_mean / plain_mean, slowest / 1000,
              indexed_mean / plain_mean <= target ? "" : "MISSED");
}

std::vector<int32_t> SampleGuideIds(Database& db) {
  std::vector<int32_t> ids;
  for (const char* name : {"Customers by name and city", "Orders by ship city and customer"})
    ids.push_back(static_cast<int32_t>(db.Number(
        std::string("SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = '") + name + "'")));
  return ids;
}

// Rows a statement returns, read to the end; -1 on an error.
long Rows(const Database& db, const std::string& sql) {
  long rows = 0;
  try {
    sqlite::Statement statement = db.Prepare(sql);
    for (; statement.Step(); ++rows) statement.TextView(0);
  } catch (const sqlite::Error&) {
    return -1;
  }
  return rows;
}

// A guide's statements for criteria: through its index, and the scan.
struct GuideSearch {
  std::string criteria, indexed, scan;
};

GuideSearch StatementsFor(const BenchFolder& folder, const std::string& file, int32_t guide,
                          const std::string& criteria) {
  rdo::rdoConnection connection =
      rdo::rdoConnection::Open(AddStreamingDataSource(folder, "CorvantyUpkeep", file));
  const PlannedSearch planned = PlanSearch(connection, {guide}, SearchCriteria(criteria));
  if (!planned.paths.at(0).indexed) throw std::runtime_error(planned.paths.at(0).why);
  return {criteria, planned.statements.at(0).SQL,
          GenerateSearchStatements(LoadGuideDefinitions(connection, {guide}),
                                   SearchCriteria(criteria), rdo::Dialect::Sqlite)
              .Guides.at(0)
              .SQL};
}

// A selective search of the orders guide through its index while its
// pending lists hold about pending row ids (a merge first where they hold
// more), against the scan; the search.
GuideSearch ReportSearchWithPending(const BenchFolder& folder, Copy& indexed, int32_t guide,
                                    long long pending, int runs, std::mt19937& rng) {
  // Its own list and those of its side parts.
  std::string list = "SELECT (SELECT count(*) FROM " + PendingTable(guide) + ")";
  sqlite::Statement parts = indexed.db.Prepare(
      "SELECT Side_parts FROM Db_Search_Index_State WHERE DSG_ID = " + std::to_string(guide));
  if (parts.Step())
    for (const SidePart& part : SidePartsOf(std::string(parts.TextView(0))))
      list += " + (SELECT count(*) FROM " + SidePendingTable(part) + ")";
  Write write(indexed.db, kSearchedWrite);
  std::uniform_int_distribution<long long> customer(
      1, indexed.db.Number("SELECT max(customer_id) FROM customers"));
  int written = 0;
  auto name = [&] {
    const std::string criteria =
        "Pending " + std::to_string(pending) + "-" + std::to_string(++written);
    write.Run(criteria, customer(rng));
    return criteria;
  };
  // Names of their own, that the search's name does not share a word with.
  for (long long held = indexed.db.Number(list); held >= pending;) {
    write.Run("Merged " + std::to_string(held), customer(rng));
    const long long now = indexed.db.Number(list);
    if (now < held) break;
    held = now;
  }
  // At least one write: its name is what the search looks for.
  std::string criteria;
  do criteria = name();
  while (indexed.db.Number(list) < pending && written < 1000000);
  const long long held = indexed.db.Number(list);
  const GuideSearch search = StatementsFor(folder, indexed.file, guide, criteria);
  std::vector<double> through_index, by_scan;
  long index_rows = 0, scan_rows = 0;
  for (int run = -1; run < runs; ++run) {  // run -1 warms both up
    const double i = Microseconds([&] { index_rows = Rows(indexed.db, search.indexed); });
    const double s = Microseconds([&] { scan_rows = Rows(indexed.db, search.scan); });
    if (run < 0) continue;
    through_index.push_back(i);
    by_scan.push_back(s);
  }
  if (index_rows != scan_rows || index_rows < 0)
    throw std::runtime_error("the index and the scan disagree");
  const double index_ms = Median(through_index) / 1000, scan_ms = Median(by_scan) / 1000;
  std::printf(
      "\n  selective search '%s' (%ld rows) with %lld row ids pending, median of %d:\n"
      "    index %.3f ms, scan %.3f ms: %.0f x faster (target: at least 100 x) %s\n",
      criteria.c_str(), index_rows, held, runs, index_ms, scan_ms, scan_ms / index_ms,
      scan_ms / index_ms >= 100 ? "" : "MISSED");
  return search;
}

void ReportContention(const Copy& plain, const Copy& indexed, const GuideSearch& search,
                      double seconds) {
  const ContentionCount without = Contend(plain.file, search.scan, seconds);
  const ContentionCount with = Contend(indexed.file, search.indexed, seconds);
  auto busy = [](const ContentionCount& count) {
    return 100.0 * static_cast<double>(count.busy) /
           static_cast<double>(count.commits + count.busy);
  };
  std::printf(
      "\n  four writers and two searchers, %.0f s each way (searching '%s'):\n"
      "    commits %ld without the index, %ld with it (%.2f; target: at least 0.5) %s\n"
      "    failed on a lock %.2f %% without, %.2f %% with (target: at most 1 point more) %s\n"
      "    searches %ld by the scan, %ld through the index\n",
      seconds, search.criteria.c_str(), without.commits, with.commits,
      static_cast<double>(with.commits) / static_cast<double>(without.commits),
      with.commits * 2 >= without.commits ? "" : "MISSED", busy(without), busy(with),
      busy(with) <= busy(without) + 1 ? "" : "MISSED", without.searches, with.searches);
}

}  // namespace

void ReportUpkeep(const BenchFolder& folder, const std::string& database_file, int writes, int runs,
                  double contention_seconds) {
  const std::string plain_file = folder.File("upkeep-plain.db"),
                    indexed_file = folder.File("upkeep-indexed.db");
  for (const std::string& copy : {plain_file, indexed_file})
    std::filesystem::copy_file(database_file, copy,
                               std::filesystem::copy_options::overwrite_existing);
  std::vector<int32_t> guides;
  for (const std::string& copy : {plain_file, indexed_file}) {
    Database db(copy);
    SampleGuideStatements statements(db);
    db.Exec("BEGIN");
    demo::DefineSampleGuides(statements, rdo::Dialect::Sqlite);
    db.Exec("COMMIT");
    guides = SampleGuideIds(db);
  }
  {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(
        AddStreamingDataSource(folder, "CorvantyUpkeepBuild", indexed_file));
    for (int32_t guide : guides)
      std::printf("Built the index of guide %d in %.2f s\n", guide,
                  Microseconds([&] { BuildSearchIndex(connection, guide); }) / 1e6);
  }
  Copy plain(plain_file), indexed(indexed_file);
  std::mt19937 rng(20240616);

  std::printf(
      "\nSearch index upkeep: the sample guides %d and %d indexed against none, WAL with "
      "synchronous=NORMAL,\nthe same writes in turns (ms; mean with every merge the writes "
      "made; slowest: with the index)\n",
      guides[0], guides[1]);
  std::printf("  %-34s %9s %9s %7s   %9s %9s %7s   %9s\n", "write", "median", "indexed", "ratio",
              "mean", "indexed", "ratio", "slowest");
  PrintWrites(("customer's name, searched, x" + std::to_string(writes)).c_str(),
              TimeWrites(plain, indexed, kSearchedWrite, writes, 1, "Upkeep", rng), 2.0);
  PrintWrites(("customer's phone, unread, x" + std::to_string(writes)).c_str(),
              TimeWrites(plain, indexed, kUnreadWrite, writes, 1, "+351", rng), 1.2);
  PrintWrites(("1,000 names in one transaction, x" + std::to_string(runs)).c_str(),
              TimeWrites(plain, indexed, kSearchedWrite, runs, 1000, "Bulk", rng), 4.0);
  std::printf(
      "  targets: mean ratio at most 2 x (searched), 1.2 x (unread), 4 x (one transaction); "
      "slowest under 100 ms\n");
  ReportSearchWithPending(folder, indexed, guides[1], 990, runs, rng);
  const GuideSearch search =
      ReportSearchWithPending(folder, indexed, guides[1], kSideMergeAt - 10, runs, rng);
  ReportContention(plain, indexed, search, contention_seconds);
}

}  // namespace corvanty::bench
