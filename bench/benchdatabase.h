// SPDX-License-Identifier: Apache-2.0
#pragma once
// A SQLite file opened through SQLite's own C API, for the benchmark's
// set-up and for timing statements without the ODBC driver between.
#include <optional>
#include <string>

#include "connections/sqlitedatabase.h"

namespace corvanty::bench {

class Database {
 public:
  explicit Database(const std::string& file);

  void Exec(const std::string& sql) { db_.Exec(sql); }
  // The first column of the first row as a number; nullopt without rows
  // or for NULL.
  std::optional<long long> Find(const std::string& sql);
  // The same, 0 for none.
  long long Number(const std::string& sql) { return Find(sql).value_or(0); }
  long long LastId() const;
  sqlite::Statement Prepare(const std::string& sql) const { return db_.Prepare(sql); }

 private:
  sqlite::Database db_;
};

}  // namespace corvanty::bench
