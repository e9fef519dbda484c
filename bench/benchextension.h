// SPDX-License-Identifier: Apache-2.0
#pragma once
// SQLite's search extension against the physical limit, side by side in one
// run over one connection opened with SQLite's C API and the extension
// loaded into it: velmorastine_search against the very statement
// velmorastine_search_sql returns, prepared and stepped on that connection,
// each prepared every call and each prepared once.
#include <cstdint>
#include <string>
#include <vector>

#include "bench/benchsearch.h"
#include "connections/sqlitedatabase.h"

namespace corvanty::bench {

// A statement prepared once and run again and again.
class KeptStatement {
 public:
  KeptStatement(const sqlite::Database& db, const std::string& sql) : statement_(db.Prepare(sql)) {}
  // Steps through it from its start with ?1, ?2 ... bound to texts, reading
  // the first three columns of each row as text.
  SearchCount Run(const std::vector<std::string>& texts = {});

 private:
  sqlite::Statement statement_;
};

// A connection to the database file with the search extension built beside
// this program loaded into it.
class ExtensionDatabase {
 public:
  explicit ExtensionDatabase(const std::string& database_file);

  // Steps through sql with ?1, ?2 ... bound to texts, reading the first three
  // columns of each row as text.
  SearchCount ReadAll(const std::string& sql, const std::vector<std::string>& texts = {});
  // The guide's statement, as velmorastine_search_sql returns it.
  std::string Statement(int32_t guide, const std::string& criteria);
  // Every row of velmorastine_search for the guide.
  SearchCount Search(int32_t guide, const std::string& criteria);
  const sqlite::Database& Connection() const { return db_; }

 private:
  sqlite::Database db_;
};

struct ExtensionCase {
  const char* label;
  std::string criteria;
  bool indexed;   // the guide searched through its fresh search index, or by the scan
  double target;  // the most the extension may take, times the statement alone
};

// Builds or drops the guide's search index as each case needs (cases that
// want it in a row keep the one built), and drops it at the end.
void ReportSearchExtension(const std::string& connect, const std::string& database_file,
                           int32_t guide, const std::vector<ExtensionCase>& cases, int runs);

}  // namespace corvanty::bench
