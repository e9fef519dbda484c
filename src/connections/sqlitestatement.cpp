// SPDX-License-Identifier: Apache-2.0
#include "connections/sqlitestatement.h"

#include <utility>

#include "connections/sqlitecalls.h"

namespace corvanty::sqlite {

Statement::Statement(sqlite3* db, std::string_view sql, size_t* used, bool kept) : db_(db) {
  const char* tail = nullptr;
  if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                         kept ? SQLITE_PREPARE_PERSISTENT : 0, &stmt_, &tail) != SQLITE_OK)
    ThrowLastError(db);
  if (used) *used = static_cast<size_t>(tail - sql.data());
}

Statement::Statement(Statement&& other) noexcept { *this = std::move(other); }

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    db_ = other.db_;
    stmt_ = std::exchange(other.stmt_, nullptr);
    bound_ = other.bound_;
  }
  return *this;
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bound(int result) {
  if (result != SQLITE_OK) ThrowLastError(db_);
  return *this;
}

Statement& Statement::Bind(long long value) {
  return Bound(sqlite3_bind_int64(stmt_, ++bound_, value));
}

Statement& Statement::Bind(double value) {
  return Bound(sqlite3_bind_double(stmt_, ++bound_, value));
}

Statement& Statement::Bind(std::string_view text) {
  return Bound(sqlite3_bind_text(stmt_, ++bound_, text.data(), static_cast<int>(text.size()),
                                 SQLITE_TRANSIENT));
}

Statement& Statement::BindNull() { return Bound(sqlite3_bind_null(stmt_, ++bound_)); }

Statement& Statement::BindBlob(const std::vector<unsigned char>& bytes) {
  // A blob of no bytes is bound as a zero-length blob: a null data pointer
  // would bind NULL.
  if (bytes.empty()) return Bound(sqlite3_bind_zeroblob(stmt_, ++bound_, 0));
  return Bound(sqlite3_bind_blob(stmt_, ++bound_, bytes.data(), static_cast<int>(bytes.size()),
                                 SQLITE_TRANSIENT));
}

bool Statement::Step() {
  if (!stmt_) return false;
  const int result = sqlite3_step(stmt_);
  if (result == SQLITE_ROW) return true;
  if (result != SQLITE_DONE) ThrowLastError(db_);
  return false;
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  bound_ = 0;
}

int Statement::ColumnCount() const { return sqlite3_column_count(stmt_); }

std::string Statement::ColumnName(int column) const { return sqlite3_column_name(stmt_, column); }

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

long long Statement::Int64(int column) const { return sqlite3_column_int64(stmt_, column); }

double Statement::Double(int column) const { return sqlite3_column_double(stmt_, column); }

std::string Statement::Text(int column) const { return std::string(TextView(column)); }

std::string_view Statement::TextView(int column) const {
  // The text first, then its length: the length of the text it converted to.
  const auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  if (!text) return {};
  return std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::vector<unsigned char> Statement::Blob(int column) const {
  const auto bytes = static_cast<const unsigned char*>(sqlite3_column_blob(stmt_, column));
  return std::vector<unsigned char>(bytes, bytes + sqlite3_column_bytes(stmt_, column));
}

}  // namespace corvanty::sqlite
