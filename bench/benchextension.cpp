// SPDX-License-Identifier: Apache-2.0
#include "bench/benchextension.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "connections/rdo.h"
#include "index/searchindexbuild.h"
#include "index/searchindexstate.h"
#include "search/searchengine.h"

namespace corvanty::bench {
namespace {

constexpr char kSearch[] = "SELECT resultlist, idcolumn, dsg_id FROM velmorastine_search(?1, ?2)";

// The extension built beside this program, as the build folder holds both.
std::string ExtensionPath() {
  return (std::filesystem::canonical("/proc/self/exe").parent_path() / "corvanty_search.so")
      .string();
}

void SetIndexed(rdo::rdoConnection& connection, int32_t guide, bool indexed) {
  const IndexState state = ReadSearchIndexState(connection, guide).state;
  if (state == (indexed ? IndexState::Fresh : IndexState::Absent)) return;
  if (indexed)
    BuildSearchIndex(connection, guide);
  else
    DropSearchIndex(connection, guide);
}

}  // namespace

ExtensionDatabase::ExtensionDatabase(const std::string& database_file)
    : db_(database_file, sqlite::Database::Mode::kReadOnly) {
  char* error = nullptr;
  const std::string library = ExtensionPath();
  if (sqlite3_enable_load_extension(db_.Get(), 1) != SQLITE_OK ||
      sqlite3_load_extension(db_.Get(), library.c_str(), nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : sqlite3_errmsg(db_.Get());
    sqlite3_free(error);
    throw std::runtime_error(database_file + " with " + library + ": " + message);
  }
}

SearchCount KeptStatement::Run(const std::vector<std::string>& texts) {
  // Reset before anything can throw, so that a failure leaves it ready to run again.
  statement_.Reset();
  for (const std::string& text : texts) statement_.Bind(text);
  SearchCount count;
  while (statement_.Step()) {
    ++count.rows;
    for (int column = 0; column < 3; ++column) count.bytes += statement_.TextView(column).size();
  }
  return count;
}

SearchCount ExtensionDatabase::ReadAll(const std::string& sql,
                                       const std::vector<std::string>& texts) {
  return KeptStatement(db_, sql).Run(texts);
}

std::string ExtensionDatabase::Statement(int32_t guide, const std::string& criteria) {
  const std::string guide_text = std::to_string(guide);
  sqlite::Statement statement = db_.Prepare("SELECT sql FROM velmorastine_search_sql(?1, ?2)");
  statement.Bind(guide_text).Bind(criteria);
  const std::string sql = statement.Step() ? statement.Text(0) : "";
  if (sql.empty()) throw std::runtime_error("no statement for guide " + guide_text);
  return sql;
}

SearchCount ExtensionDatabase::Search(int32_t guide, const std::string& criteria) {
  return ReadAll(kSearch, {std::to_string(guide), criteria});
}

void ReportSearchExtension(const std::string& connect, const std::string& database_file,
                           int32_t guide, const std::vector<ExtensionCase>& cases, int runs) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
  ExtensionDatabase database(database_file);
  std::printf(
      "\nSQLite's search extension, median of %d runs over one connection, taken in turns\n"
      "(extension: SELECT FROM velmorastine_search; statement: the one velmorastine_search_sql\n"
      "returns, through sqlite3_prepare/step on the same connection; each prepared every run,\n"
      "then each prepared once and run again)\n",
      runs);
  std::printf("  %-18s %-26s %8s %12s %12s %7s %12s %12s %7s %7s\n", "case", "criteria", "rows",
              "statement ms", "extension ms", "ratio", "once: stmt", "extension", "ratio",
              "target");
  for (const ExtensionCase& c : cases) {
    SetIndexed(connection, guide, c.indexed);
    const std::string statement = database.Statement(guide, c.criteria);
    const PlannedSearch planned = PlanSearch(connection, {guide}, SearchCriteria(c.criteria));
    if (statement != planned.statements.at(0).SQL || planned.paths.at(0).indexed != c.indexed)
      throw std::runtime_error("the extension and the engine plan " + c.criteria + " differently");
    const SearchCount rows = database.ReadAll(statement);  // warm-up, both
    const SearchCount found = database.Search(guide, c.criteria);
    if (found.rows != rows.rows || found.bytes != rows.bytes)
      throw std::runtime_error("the extension and the statement disagree on " + c.criteria);
    // Prepared once, as an application that searches again and again keeps
    // its statements: the caller's own SELECT, and the call of the function.
    KeptStatement kept_direct(database.Connection(), statement),
        kept_extension(database.Connection(), kSearch);
    const std::vector<std::string> arguments = {std::to_string(guide), c.criteria};
    std::vector<double> direct, extension, once_direct, once_extension;
    for (int run = 0; run < runs; ++run) {
      direct.push_back(Microseconds([&] { database.ReadAll(statement); }));
      extension.push_back(Microseconds([&] { database.Search(guide, c.criteria); }));
      once_direct.push_back(Microseconds([&] { kept_direct.Run(); }));
      once_extension.push_back(Microseconds([&] { kept_extension.Run(arguments); }));
    }
    const double ratio = Median(extension) / Median(direct);
    const double once = Median(once_extension) / Median(once_direct);
    std::printf("  %-18s %-26s %8ld %12.3f %12.3f %7.3f %12.3f %12.3f %7.3f %7.2f%s\n", c.label,
                ("\"" + c.criteria + "\"").c_str(), rows.rows, Median(direct) / 1000,
                Median(extension) / 1000, ratio, Median(once_direct) / 1000,
                Median(once_extension) / 1000, once, c.target,
                std::max(ratio, once) <= c.target ? "" : "  MISSED");
  }
  SetIndexed(connection, guide, false);
}

}  // namespace corvanty::bench
