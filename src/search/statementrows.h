// SPDX-License-Identifier: Apache-2.0
#pragma once
// The rows of one search statement, one at a time. On PostgreSQL the
// statement goes to the server as data, not as SQL: PL/pgSQL opens a cursor
// for it (OPEN … FOR EXECUTE, which refuses a text of more than one
// statement) and the rows come in batches through FETCH. A second statement
// hidden in a guide's stored SQL, however the quotes around it are read,
// then cannot run. Elsewhere the statement is sent as it is.
#include <memory>
#include <optional>
#include <string>

#include "connections/rdo.h"

namespace corvanty {

class StatementRows {
 public:
  virtual ~StatementRows() = default;
  // Advances to the next row; false at the end. Throws rdo::DatabaseError.
  virtual bool Fetch() = 0;
  // Column of the current row by position (0-based); nullopt for NULL.
  virtual std::optional<std::string> Value(int column) const = 0;
};

// Starts the statement on the connection. On PostgreSQL a transaction must
// be open on it, and `number` names the statement's cursor within it.
std::unique_ptr<StatementRows> OpenStatementRows(rdo::rdoConnection& connection,
                                                 const std::string& sql, size_t number);

}  // namespace corvanty
