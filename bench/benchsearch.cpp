// SPDX-License-Identifier: Apache-2.0
#include "bench/benchsearch.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "connections/sqlitedatabase.h"
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
  const sqlite::Database db(database_file, sqlite::Database::Mode::kReadOnly);
  sqlite::Statement statement = db.Prepare(sql);
  SearchCount count;
  while (statement.Step()) {
    ++count.rows;
    for (int column = 0; column < 3; ++column) count.bytes += statement.TextView(column).size();
  }
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
