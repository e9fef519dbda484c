// SPDX-License-Identifier: Apache-2.0
#include "support/searchextension.h"

#include <gtest/gtest.h>

namespace corvanty::testing {

ExtensionConnection::ExtensionConnection(const std::string& file) {
  EXPECT_EQ(sqlite3_open(file.c_str(), &db_), SQLITE_OK) << file;
  sqlite3_enable_load_extension(db_, 1);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_load_extension(db_, CORVANTY_SEARCH_EXTENSION_PATH, nullptr, &error), SQLITE_OK)
      << (error ? error : "");
  sqlite3_free(error);
}

ExtensionConnection::~ExtensionConnection() { sqlite3_close(db_); }

std::vector<std::string> ExtensionConnection::Lines(const std::string& sql,
                                                    const std::vector<std::string>& texts) {
  std::vector<std::string> lines;
  sqlite3_stmt* statement = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
  for (size_t i = 0; rc == SQLITE_OK && i < texts.size(); ++i)
    rc = sqlite3_bind_text(statement, static_cast<int>(i + 1), texts[i].c_str(), -1,
                           SQLITE_TRANSIENT);
  while (rc == SQLITE_OK || rc == SQLITE_ROW) {
    if ((rc = sqlite3_step(statement)) != SQLITE_ROW) break;
    std::string& line = lines.emplace_back();
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      const unsigned char* value = sqlite3_column_text(statement, i);
      line += (i ? "*" : "") + std::string(value ? reinterpret_cast<const char*>(value) : "");
    }
  }
  if (rc != SQLITE_DONE) lines.push_back(std::string("error: ") + sqlite3_errmsg(db_));
  sqlite3_finalize(statement);
  return lines;
}

void ExtensionConnection::Exec(const std::string& sql) {
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
      << sql << ": " << (error ? error : "");
  sqlite3_free(error);
}

std::vector<int> ExtensionConnection::Runs(const std::string& sql) {
  std::vector<int> runs;
  for (sqlite3_stmt* statement = sqlite3_next_stmt(db_, nullptr); statement;
       statement = sqlite3_next_stmt(db_, statement))
    if (sqlite3_sql(statement) == sql)
      runs.push_back(sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_RUN, 0));
  return runs;
}

}  // namespace corvanty::testing
