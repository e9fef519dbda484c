// SPDX-License-Identifier: Apache-2.0
#include "connections/sqlitedatabase.h"

#include <utility>

#include "connections/sqlitecalls.h"

namespace corvanty::sqlite {

namespace {

int OpenFlags(Database::Mode mode) {
  switch (mode) {
    case Database::Mode::kReadOnly:
      return SQLITE_OPEN_READONLY;
    case Database::Mode::kReadWrite:
      return SQLITE_OPEN_READWRITE;
    case Database::Mode::kCreate:
      break;
  }
  return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
}

}  // namespace

Database::Database(const std::string& path, Mode mode) {
  if (sqlite3_open_v2(path.c_str(), &db_, OpenFlags(mode), nullptr) != SQLITE_OK) {
    // SQLite hands back a handle even when it cannot open the file, and no
    // destructor runs for a constructor that throws: it is closed here.
    try {
      ThrowLastError(db_);
    } catch (...) {
      Close();
      throw;
    }
  }
}

Database::Database(Database&& other) noexcept { *this = std::move(other); }

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = std::exchange(other.db_, nullptr);
  }
  return *this;
}

Database::~Database() { Close(); }

void Database::Close() noexcept {
  // A statement still alive keeps the handle until it is finalized.
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

void Database::Exec(const std::string& sql) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) ThrowLastError(db_);
}

void Database::WaitForLocks(int milliseconds) { sqlite3_busy_timeout(db_, milliseconds); }

}  // namespace corvanty::sqlite
