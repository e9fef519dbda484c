// SPDX-License-Identifier: Apache-2.0
#include "search/sqliteextension/sqlitesession.h"

#include <memory>

namespace corvanty {

void ThrowSqliteError(sqlite3* db) {
  throw rdo::DatabaseError(
      {rdo::rdoError{sqlite3_extended_errcode(db), sqlite3_errmsg(db), -1, ""}});
}

rdo::rdoResultset SqliteSession::OpenResultset(const std::string& sql) {
  sqlite3_stmt* prepared = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &prepared, nullptr) !=
      SQLITE_OK)
    ThrowSqliteError(db_);
  const auto finalize = [](sqlite3_stmt* statement) { sqlite3_finalize(statement); };
  std::unique_ptr<sqlite3_stmt, decltype(finalize)> statement(prepared, finalize);

  const int columns = sqlite3_column_count(prepared);
  std::vector<std::string> names;
  for (int i = 0; i < columns; ++i) names.emplace_back(sqlite3_column_name(prepared, i));
  std::vector<std::vector<std::optional<std::string>>> rows;
  int rc;
  while ((rc = sqlite3_step(prepared)) == SQLITE_ROW) {
    std::vector<std::optional<std::string>>& row = rows.emplace_back();
    for (int i = 0; i < columns; ++i) {
      const unsigned char* text = sqlite3_column_text(prepared, i);
      if (text)
        row.emplace_back(std::string(reinterpret_cast<const char*>(text),
                                     static_cast<size_t>(sqlite3_column_bytes(prepared, i))));
      else
        row.emplace_back(std::nullopt);
    }
  }
  if (rc != SQLITE_DONE) ThrowSqliteError(db_);
  return rdo::rdoResultset(std::move(names), std::move(rows));
}

}  // namespace corvanty
