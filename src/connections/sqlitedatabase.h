// SPDX-License-Identifier: Apache-2.0
#pragma once
// The owner of a SQLite database handle, for every use of SQLite outside
// the ODBC path: opened by its constructor, closed by its destructor (also
// when opening fails), move-only; its statements are sqlite::Statement.
// Every failure throws sqlite::Error with SQLite's message and code. The
// loadable search extension compiles these files against the SQLite of the
// program that loads it (sqlitecalls.h).
#include <string>
#include <string_view>

#include "connections/sqliteerror.h"
#include "connections/sqlitestatement.h"

namespace corvanty::sqlite {

// How long our SQLite connections wait for another program holding the
// file locked: the demo database's own, and the ODBC driver's (the Timeout
// of the data sources written for it).
constexpr int kLockWaitMs = 2000;

class Database {
 public:
  enum class Mode {
    kReadOnly,
    kReadWrite,  // the file must exist
    kCreate,     // read-write, created when missing
  };
  Database(const std::string& path, Mode mode);
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ~Database();

  // Runs every statement of the text, stopping at the first that fails.
  void Exec(const std::string& sql);
  Statement Prepare(std::string_view sql, size_t* used = nullptr) const {
    return Statement(db_, sql, used);
  }
  // Waits up to milliseconds for a lock another connection holds, instead
  // of failing at once.
  void WaitForLocks(int milliseconds);

  sqlite3* Get() const { return db_; }

 private:
  void Close() noexcept;
  sqlite3* db_ = nullptr;
};

}  // namespace corvanty::sqlite
