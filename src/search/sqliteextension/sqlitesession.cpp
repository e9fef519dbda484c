// SPDX-License-Identifier: Apache-2.0
#include "search/sqliteextension/sqlitesession.h"

#include "connections/sqlitestatement.h"

namespace corvanty {

rdo::rdoResultset SqliteSession::OpenResultset(const std::string& sql) {
  sqlite::Statement statement(db_, sql);
  const int columns = statement.ColumnCount();
  std::vector<std::string> names;
  for (int i = 0; i < columns; ++i) names.push_back(statement.ColumnName(i));
  std::vector<std::vector<std::optional<std::string>>> rows;
  while (statement.Step()) {
    std::vector<std::optional<std::string>>& row = rows.emplace_back();
    for (int i = 0; i < columns; ++i) {
      if (statement.IsNull(i))
        row.emplace_back(std::nullopt);
      else
        row.emplace_back(statement.Text(i));
    }
  }
  return rdo::rdoResultset(std::move(names), std::move(rows));
}

}  // namespace corvanty
