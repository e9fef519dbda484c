// SPDX-License-Identifier: Apache-2.0
#include "bench/benchdatabase.h"

#include <sqlite3.h>

namespace corvanty::bench {

Database::Database(const std::string& file) : db_(file, sqlite::Database::Mode::kReadWrite) {}

long long Database::LastId() const { return sqlite3_last_insert_rowid(db_.Get()); }

std::optional<long long> Database::Find(const std::string& sql) {
  sqlite::Statement statement = db_.Prepare(sql);
  if (!statement.Step() || statement.IsNull(0)) return std::nullopt;
  return statement.Int64(0);
}

}  // namespace corvanty::bench
