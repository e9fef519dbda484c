// SPDX-License-Identifier: Apache-2.0
#pragma once
// The calling program's own SQLite connection as the engine's session: the
// guides and index states are read in whatever transaction it has open.
#include <string>

#include "connections/rdo.h"
#include "connections/sqlitecalls.h"

namespace corvanty {

class SqliteSession : public rdo::SqlSession {
 public:
  explicit SqliteSession(sqlite3* db) : db_(db) {}
  rdo::Dialect GetDialect() const override { return rdo::Dialect::Sqlite; }
  const std::string& DbmsName() const override { return name_; }
  // Throws sqlite::Error with SQLite's message and code.
  rdo::rdoResultset OpenResultset(const std::string& sql) override;

 private:
  sqlite3* db_;  // the caller's, not ours to close
  std::string name_ = "SQLite";
};

}  // namespace corvanty
