// SPDX-License-Identifier: Apache-2.0
#pragma once
// Reads a statement's result: the column names, then row by row with every
// value fetched as text in pieces, so that no length limit applies.
#include <sql.h>

#include <optional>
#include <string>
#include <vector>

namespace corvanty::rdo {

using Row = std::vector<std::optional<std::string>>;  // nullopt for NULL

class CursorReader {
 public:
  // The statement must have been executed; it stays owned by the caller.
  explicit CursorReader(SQLHSTMT stmt);

  const std::vector<std::string>& Names() const { return names_; }
  // Reads the next row into row; false at the end. Throws DatabaseError.
  bool Fetch(Row& row);

 private:
  std::string ColumnName(SQLUSMALLINT column);
  std::optional<std::string> ReadValue(SQLUSMALLINT column);

  SQLHSTMT stmt_;
  std::vector<std::string> names_;
  std::vector<char> piece_;
};

}  // namespace corvanty::rdo
