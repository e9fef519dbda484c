// SPDX-License-Identifier: Apache-2.0
#include "bench/benchdatabase.h"

#include <stdexcept>

namespace corvanty::bench {

Database::Database(const std::string& file) {
  if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
    Fail("cannot open " + file);
}

Database::~Database() { sqlite3_close(db_); }

void Database::Exec(const std::string& sql) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    Fail(sqlite3_errmsg(db_));
}

std::optional<long long> Database::Find(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    Fail(sqlite3_errmsg(db_));
  std::optional<long long> value;
  if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL)
    value = sqlite3_column_int64(stmt, 0);
  sqlite3_finalize(stmt);
  return value;
}

void Database::Fail(const std::string& what) const {
  throw std::runtime_error("benchmark database: " + what);
}

}  // namespace corvanty::bench
