// SPDX-License-Identifier: Apache-2.0
#include "support/searchextension.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace corvanty::testing {

ExtensionConnection::ExtensionConnection(const std::string& file)
    : db_(file, sqlite::Database::Mode::kCreate) {
  sqlite3_enable_load_extension(db_.Get(), 1);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_load_extension(db_.Get(), CORVANTY_SEARCH_EXTENSION_PATH, nullptr, &error),
            SQLITE_OK)
      << (error ? error : "");
  sqlite3_free(error);
}

std::vector<std::string> ExtensionConnection::Lines(const std::string& sql,
                                                    const std::vector<std::string>& texts) {
  std::vector<std::string> lines;
  try {
    sqlite::Statement statement = db_.Prepare(sql);
    for (const std::string& text : texts) statement.Bind(text);
    while (statement.Step()) {
      std::string& line = lines.emplace_back();
      for (int i = 0; i < statement.ColumnCount(); ++i) line += (i ? "*" : "") + statement.Text(i);
    }
  } catch (const sqlite::Error& error) {
    lines.push_back(std::string("error: ") + error.what());
  }
  return lines;
}

void ExtensionConnection::Exec(const std::string& sql) {
  try {
    db_.Exec(sql);
  } catch (const sqlite::Error& error) {
    ADD_FAILURE() << sql << ": " << error.what();
  }
}

std::vector<int> ExtensionConnection::Runs(const std::string& sql) {
  std::vector<int> runs;
  for (sqlite3_stmt* statement = sqlite3_next_stmt(db_.Get(), nullptr); statement;
       statement = sqlite3_next_stmt(db_.Get(), statement))
    if (sqlite3_sql(statement) == sql)
      runs.push_back(sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_RUN, 0));
  return runs;
}

}  // namespace corvanty::testing
