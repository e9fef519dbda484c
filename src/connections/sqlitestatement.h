// SPDX-License-Identifier: Apache-2.0
#pragma once
// One prepared SQLite statement, owned: finalized by its destructor,
// move-only. Parameters are bound in order, rows are stepped through, and
// every failure throws sqlite::Error with SQLite's message and code.
#include <string>
#include <string_view>
#include <vector>

#include "connections/sqliteerror.h"

struct sqlite3_stmt;

namespace corvanty::sqlite {

class Statement {
 public:
  // Prepares the first statement of sql on db, which must outlive it. A text
  // without a statement (blank, a comment) prepares one that returns no row.
  // used, when given, is set to the length of sql the statement took: the
  // next statement starts there.
  Statement(sqlite3* db, std::string_view sql, size_t* used = nullptr)
      : Statement(db, sql, used, false) {}
  // The same, for a statement kept to be run again and again over a long
  // time: SQLite gives it memory of its own rather than its small reusable
  // buffers.
  static Statement Kept(sqlite3* db, std::string_view sql) {
    return Statement(db, sql, nullptr, true);
  }
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  // Each binds the next parameter: the first call ?1, the next ?2, ...
  Statement& Bind(long long value);
  Statement& Bind(long value) { return Bind(static_cast<long long>(value)); }
  Statement& Bind(int value) { return Bind(static_cast<long long>(value)); }
  Statement& Bind(double value);
  Statement& Bind(std::string_view text);
  Statement& BindNull();
  Statement& BindBlob(const std::vector<unsigned char>& bytes);  // empty stays a blob, not NULL

  // True with a row to read, false once done.
  bool Step();
  // Ready to run again: the next Bind is ?1 again (earlier values stay bound).
  void Reset();

  int ColumnCount() const;
  std::string ColumnName(int column) const;
  bool IsNull(int column) const;
  long long Int64(int column) const;
  double Double(int column) const;
  std::string Text(int column) const;  // "" for NULL
  // The same without a copy, valid until the next Step, Reset or read of
  // the column as another type.
  std::string_view TextView(int column) const;
  std::vector<unsigned char> Blob(int column) const;

  sqlite3_stmt* Get() const { return stmt_; }

 private:
  Statement(sqlite3* db, std::string_view sql, size_t* used, bool kept);
  // Takes the next parameter's bind result: throws unless SQLITE_OK.
  Statement& Bound(int result);

  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  int bound_ = 0;
};

}  // namespace corvanty::sqlite
