// SPDX-License-Identifier: Apache-2.0
#include "connections/odbccursor.h"

#include <sqlext.h>

#include <cstring>

#include "connections/odbcdiagnostics.h"

namespace corvanty::rdo {
namespace {
// The SQLite driver pads every piece it fills with zeros up to the buffer's
// full size, so the buffer is kept small for the first piece, which holds
// most values whole; a longer value's rest is read in one piece sized by the
// length the driver announces.
constexpr size_t kFirstPieceSize = 256;
constexpr size_t kUnknownRestPieceSize = 32 * 1024;
}  // namespace

CursorReader::CursorReader(SQLHSTMT stmt) : stmt_(stmt) {
  SQLSMALLINT columns = 0;
  Check(SQLNumResultCols(stmt_, &columns), SQL_HANDLE_STMT, stmt_);
  for (SQLSMALLINT column = 1; column <= columns; ++column)
    names_.push_back(ColumnName(static_cast<SQLUSMALLINT>(column)));
}

std::string CursorReader::ColumnName(SQLUSMALLINT column) {
  std::vector<SQLCHAR> name(256);
  for (;;) {
    SQLSMALLINT length = 0;
    // Only the name: asked for more, PostgreSQL's driver looks the column's
    // table up with catalogue queries of its own, whose operators resolve
    // through the user's search path, where another role may have planted
    // one that then runs with this login's rights.
    SQLRETURN rc = SQLDescribeCol(stmt_, column, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                  &length, nullptr, nullptr, nullptr, nullptr);
    Check(rc, SQL_HANDLE_STMT, stmt_);
    if (length < static_cast<SQLSMALLINT>(name.size()))
      return std::string(reinterpret_cast<const char*>(name.data()), length);
    name.resize(static_cast<size_t>(length) + 1);
  }
}

bool CursorReader::Fetch(Row& row) {
  if (names_.empty()) return false;  // a statement without rows (fetching would be refused)
  SQLRETURN rc = SQLFetch(stmt_);
  if (rc == SQL_NO_DATA) return false;
  Check(rc, SQL_HANDLE_STMT, stmt_);
  row.clear();
  for (size_t column = 1; column <= names_.size(); ++column)
    row.push_back(ReadValue(static_cast<SQLUSMALLINT>(column)));
  return true;
}

std::optional<std::string> CursorReader::ReadValue(SQLUSMALLINT column) {
  std::string value;
  piece_.resize(kFirstPieceSize);
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(stmt_, column, SQL_C_CHAR, piece_.data(),
                              static_cast<SQLLEN>(piece_.size()), &indicator);
    if (rc == SQL_NO_DATA) return value;  // every piece has been read
    if (!SQL_SUCCEEDED(rc)) Check(rc, SQL_HANDLE_STMT, stmt_);
    if (indicator == SQL_NULL_DATA) return std::nullopt;

    bool more = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(piece_.size());
    if (!more) {
      if (rc == SQL_SUCCESS_WITH_INFO) AddDiagnostics(SQL_HANDLE_STMT, stmt_, rc);
      value.append(piece_.data(), static_cast<size_t>(indicator));
      return value;
    }
    // A cut piece (the driver's truncation notice is our own doing, not news
    // for the error list). It is terminated: a driver that keeps multi-byte
    // characters whole may fill less than the buffer.
    const size_t taken = strnlen(piece_.data(), piece_.size() - 1);
    value.append(piece_.data(), taken);
    piece_.resize(indicator == SQL_NO_TOTAL ? kUnknownRestPieceSize
                                            : static_cast<size_t>(indicator) - taken + 1);
  }
}

}  // namespace corvanty::rdo
