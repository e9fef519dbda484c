// SPDX-License-Identifier: Apache-2.0
#include "bench/benchsearch.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "search/searchengine.h"
#include "statements/guideloader.h"

namespace corvanty::bench {

SearchCount EngineSearch(const std::string& connect, int32_t guide, const std::string& criteria) {
  std::unique_ptr<SearchRun> run = StartSearch(connect, {guide}, criteria);
  SearchCount count;
  count.indexed = run->Paths().at(0).indexed;
  while (std::optional<SearchResult> result = run->Next()) {
    ++count.rows;
    count.bytes += result->ResultList.size() + result->IDColumn.size();
  }
  return count;
}

SearchCount NativeSearch(const std::string& database_file, const std::string& sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database_file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + database_file);
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error(message);
  }
  SearchCount count;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    ++count.rows;
    for (int column = 0; column < 3; ++column) {
      sqlite3_column_text(stmt, column);
      count.bytes += static_cast<size_t>(sqlite3_column_bytes(stmt, column));
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  if (rc != SQLITE_DONE) throw std::runtime_error("the native search stopped with an error");
  return count;
}

std::string SqliteStatement(const std::string& connect, int32_t guide,
                            const std::string& criteria) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
  SearchStatements generated = GenerateSearchStatements(
      LoadGuideDefinitions(connection, {guide}), SearchCriteria(criteria), connection.GetDialect());
  if (generated.Guides.size() != 1 || !generated.Guides[0].Error.empty())
    throw std::runtime_error("the benchmark guide cannot be searched");
  return generated.Guides[0].SQL;
}

double Microseconds(const std::function<void()>& body) {
  const auto start = std::chrono::steady_clock::now();
  body();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
      .count();
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

}  // namespace corvanty::bench
