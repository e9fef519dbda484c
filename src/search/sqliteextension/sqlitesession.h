// SPDX-License-Identifier: Apache-2.0
#pragma once
// The calling program's own SQLite connection as the engine's session: the
// guides and index states are read in whatever transaction it has open.
#include <string>

#include "connections/rdo.h"
#include "search/sqliteextension/sqliteapi.h"

namespace corvanty {

class SqliteSession : public rdo::SqlSession {
 public:
  explicit SqliteSession(sqlite3* db) : db_(db) {}
  rdo::Dialect GetDialect() const override { return rdo::Dialect::Sqlite; }
  const std::string& DbmsName() const override { return name_; }
  rdo::rdoResultset OpenResultset(const std::string& sql) override;

 private:
  sqlite3* db_;
  std::string name_ = "SQLite";
};

// Throws rdo::DatabaseError with the connection's last error.
[[noreturn]] void ThrowSqliteError(sqlite3* db);

}  // namespace corvanty
