// SPDX-License-Identifier: Apache-2.0
#include "bench/benchindex.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>

#include "bench/benchsearch.h"
#include "connections/rdo.h"
#include "index/searchindexbuild.h"
#include "index/searchindexsql.h"
#include "index/searchindexstate.h"
#include "search/searchengine.h"

namespace corvanty::bench {
namespace {

// Chooses the path of the next searches. The rows do not change meanwhile,
// so the index stays true to them whatever the flag says.
void SetFresh(rdo::rdoConnection& connection, int32_t guide, bool fresh) {
  connection.Execute(std::string("UPDATE Db_Search_Index_State SET Is_fresh = ") +
                     (fresh ? "-1" : "0") + " WHERE DSG_ID = " + std::to_string(guide));
}

// Median microseconds of one write, each in its own transaction: an
// order's note (a column the guide does not read) or a customer's company
// name (searched, in the entries of each of the customer's orders). Set back
// after each, untimed.
double MedianWrite(rdo::rdoConnection& connection, int runs, bool searched) {
  std::vector<double> samples;
  for (int run = 0; run < runs; ++run) {
    const std::string row = std::to_string(1001 + run * 35);  // not a multiple of 5
    const std::string table = searched ? "customers" : "orders";
    const std::string column = searched ? "company_name" : "note";
    const std::string where =
        " WHERE " + std::string(searched ? "customer_id" : "order_id") + " = " + row;
    const std::string before =
        connection.OpenResultset("SELECT quote(" + column + ") AS Value FROM " + table + where)
            .Text("Value");
    samples.push_back(Microseconds([&] {
      connection.Execute("UPDATE " + table + " SET " + column + " = 'written by corvanty_bench'" +
                         where);
    }));
    connection.Execute("UPDATE " + table + " SET " + column + " = " + before + where);
  }
  return Median(samples);
}

constexpr char kWritten[] = " (corvanty_bench)";

// Count random single-row writes, each in its own transaction, to what the
// guide reads: new orders, moved to another customer or deleted, customers'
// names changed. Only what UndoRandomWrites takes back.
void WriteAtRandom(rdo::rdoConnection& connection, int count) {
  std::mt19937 rng(20240615);
  auto any = [&](const std::string& rows) {
    return "(SELECT max(rowid) FROM (SELECT rowid FROM " + rows + " LIMIT " +
           std::to_string(std::uniform_int_distribution<int>(1, 1000)(rng)) + "))";
  };
  const std::string bench_orders = "orders WHERE ship_city = '" + std::string(kWritten) + "'";
  for (int i = 0; i < count; ++i) {
    const std::string customer = any("customers"), order = any(bench_orders);
    const std::string writes[] = {
        "INSERT INTO orders (customer_id, order_date, ship_city) VALUES (" + customer +
            ", '2024-06-15', '" + kWritten + "')",
        "UPDATE customers SET company_name = company_name || '" + std::string(kWritten) +
            "' WHERE customer_id = " + customer,
        "UPDATE orders SET customer_id = " + customer + " WHERE order_id = " + order,
        "DELETE FROM orders WHERE order_id = " + order,
    };
    connection.Execute(writes[i % std::size(writes)]);
  }
}

void UndoRandomWrites(rdo::rdoConnection& connection) {
  rdo::Transaction transaction = connection.BeginTrans();
  connection.Execute("DELETE FROM orders WHERE ship_city = '" + std::string(kWritten) + "'");
  connection.Execute("UPDATE customers SET company_name = replace(company_name, '" +
                     std::string(kWritten) + "', '') WHERE company_name LIKE '%" + kWritten + "'");
  transaction.Commit();
}

// Microseconds per write of count writes to orders in one transaction,
// which spares them the sync to disk: the work of the writes alone, the
// triggers' included. Set back in a second transaction, untimed.
double WriteInBulk(rdo::rdoConnection& connection, int count) {
  const std::string orders = "order_id % 5 = 1 AND order_id <= " + std::to_string(count * 5);
  const double us = Microseconds([&] {
    rdo::Transaction transaction = connection.BeginTrans();
    for (int i = 0; i < count; ++i)
      connection.Execute("UPDATE orders SET note = 'written by corvanty_bench' WHERE order_id = " +
                         std::to_string(1 + i * 5));
    transaction.Commit();
  });
  connection.Execute("UPDATE orders SET note = NULL WHERE " + orders);
  return us / count;
}

double Megabytes(long long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void DropEveryIndex(rdo::rdoConnection& connection) {
  for (const SearchIndexListing& listed : ListSearchIndexes(connection))
    if (listed.index.state != IndexState::Absent) DropSearchIndex(connection, listed.DSG_ID);
}

void ReportBuildAndWrites(rdo::rdoConnection& connection, const std::string& file, int32_t guide,
                          int runs) {
  const int kBulk = 1000;
  const double note_before = MedianWrite(connection, runs, false);
  const double name_before = MedianWrite(connection, runs, true);
  const double bulk_before = WriteInBulk(connection, kBulk);
  const auto size_before = std::filesystem::file_size(file);
  SearchIndexBuilt built;
  const double build_us = Microseconds([&] { built = BuildSearchIndex(connection, guide); });
  const auto size_after = std::filesystem::file_size(file);
  const double note_after = MedianWrite(connection, runs, false);
  const double name_after = MedianWrite(connection, runs, true);
  const double bulk_after = WriteInBulk(connection, kBulk);
  const long long texts =
      std::stoll(connection
                     .OpenResultset("SELECT sum(pgsize) AS Bytes FROM dbstat WHERE name = '" +
                                    SearchIndexTable(guide) + "_content'")
                     .Value("Bytes")
                     .value_or("0"));
  const long long index_bytes = SearchIndexBytes(connection, guide);

  std::printf("\nSearch index of guide %d: build and upkeep\n", guide);
  std::printf("  build            %10.2f s    (%lld rows, row ids of %s)\n", build_us / 1e6,
              built.rows, built.candidate_qualifier.c_str());
  std::printf("  file             %10.1f MB -> %.1f MB (+%.1f MB)\n",
              Megabytes(static_cast<long long>(size_before)),
              Megabytes(static_cast<long long>(size_after)),
              Megabytes(static_cast<long long>(size_after) - static_cast<long long>(size_before)));
  std::printf(
      "  index's pages    %10.1f MB, of which its copy of the texts %.1f MB (+%.0f %% over "
      "the index alone)\n",
      Megabytes(index_bytes), Megabytes(texts),
      100.0 * static_cast<double>(texts) / static_cast<double>(index_bytes - texts));
  std::printf("  one write, median of %d, own transaction each (target: at most 3 x):\n", runs);
  std::printf("    order's note, not read       %8.3f ms -> %8.3f ms  (%.2f x)\n",
              note_before / 1000, note_after / 1000, note_after / note_before);
  std::printf("    customer's name, searched    %8.3f ms -> %8.3f ms  (%.2f x)\n",
              name_before / 1000, name_after / 1000, name_after / name_before);
  std::printf("  one order's note of %d in one transaction (no sync to disk each):\n", kBulk);
  std::printf("                                 %8.3f ms -> %8.3f ms  (%.2f x)\n",
              bulk_before / 1000, bulk_after / 1000, bulk_after / bulk_before);
  const auto start = std::chrono::steady_clock::now();
  WriteAtRandom(connection, kBulk);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const SearchIndexState state = ReadSearchIndexState(connection, guide);
  std::printf("  %d random single-row writes: %.2f s; the index is then %s\n", kBulk, took.count(),
              IndexStateName(state.state));
  if (state.state != IndexState::Fresh) throw std::runtime_error("the writes left the index stale");
}

// The search on an open connection: planning and reading every row.
SearchCount StatementSearch(rdo::rdoConnection& connection, int32_t guide,
                            const std::string& criteria) {
  const PlannedSearch planned = PlanSearch(connection, {guide}, SearchCriteria(criteria));
  SearchCount count;
  count.indexed = planned.paths.at(0).indexed;
  rdo::ForwardReader rows = connection.OpenForwardOnly(planned.statements.at(0).SQL);
  while (rows.Fetch()) {
    ++count.rows;
    count.bytes += rows.Value(0).value_or("").size() + rows.Value(1).value_or("").size();
  }
  return count;
}

struct PathTimes {
  std::vector<double> indexed, scanned;
  SearchCount index_count, scan_count;
};

// Each run times the search through the index, then by the scan.
PathTimes TimeBothPaths(rdo::rdoConnection& connection, int32_t guide, int runs,
                        const std::function<SearchCount()>& search) {
  PathTimes times;
  for (int run = -1; run < runs; ++run) {  // run -1 warms both up
    SetFresh(connection, guide, true);
    const double indexed = Microseconds([&] { times.index_count = search(); });
    SetFresh(connection, guide, false);
    const double scanned = Microseconds([&] { times.scan_count = search(); });
    if (run < 0) continue;
    times.indexed.push_back(indexed);
    times.scanned.push_back(scanned);
  }
  if (!times.index_count.indexed || times.scan_count.indexed)
    throw std::runtime_error("the search did not take the path it was timed for");
  if (times.index_count.rows != times.scan_count.rows ||
      times.index_count.bytes != times.scan_count.bytes)
    throw std::runtime_error("the index and the scan disagree");
  return times;
}

void PrintCase(const char* label, const IndexCase& c, const PathTimes& times) {
  const double index_ms = Median(times.indexed) / 1000, scan_ms = Median(times.scanned) / 1000;
  const bool met = c.selective ? scan_ms / index_ms >= c.target : index_ms / scan_ms <= c.target;
  std::printf("  %-10s %-9s %-24s %8ld %10.3f %10.3f %9.1f %9.2f %s\n", c.label, label,
              ("'" + c.criteria + "'").c_str(), times.index_count.rows, index_ms, scan_ms,
              scan_ms / index_ms, index_ms / scan_ms, met ? "" : "MISSED");
}

}  // namespace

void ReportIndex(const std::string& connect, const std::string& database_file, int32_t guide,
                 const std::vector<IndexCase>& cases, int runs) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
  DropEveryIndex(connection);
  ReportBuildAndWrites(connection, database_file, guide, runs);

  std::printf(
      "\nSearch through the index and by the scan, median of %d runs each, taken in turns\n"
      "(search: StartSearch with its connection + Next; statement: planning and reading on an\n"
      "open connection). Targets: selective at least 100 x faster, wide at most 1.1 x the scan.\n",
      runs);
  std::printf("  %-10s %-9s %-24s %8s %10s %10s %9s %9s\n", "case", "timed", "criteria", "rows",
              "index ms", "scan ms", "scan/idx", "idx/scan");
  for (const IndexCase& c : cases) {
    PrintCase(c.label, c, TimeBothPaths(connection, guide, runs, [&] {
                return EngineSearch(connect, guide, c.criteria);
              }));
    PrintCase("", c, TimeBothPaths(connection, guide, runs, [&] {
                return StatementSearch(connection, guide, c.criteria);
              }));
  }
  // A kept database is left without it, as it came.
  UndoRandomWrites(connection);
  DropSearchIndex(connection, guide);
}

}  // namespace corvanty::bench
