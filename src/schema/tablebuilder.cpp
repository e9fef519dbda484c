// SPDX-License-Identifier: Apache-2.0
#include "schema/tablebuilder.h"

#include <optional>

#include "connections/rdo.h"
#include "connections/serverdialect.h"
#include "connections/sqlerrorreport.h"
#include "schema/searchguidetables.h"
#include "ui/msgbox.h"

namespace corvanty::basCorvantyAdmin {

namespace {
// Sends the table's statements, then the follow-up; false at the first
// failure, its records left in the error list.
bool SendTableStatements(rdo::rdoConnection& connection, const std::string& table_name,
                         const TableFollowUp& follow_up) {
  const ServerDialect& server = ForDialect(connection.GetDialect());
  const std::vector<std::string> statements = *GuideTableStatements(table_name, server);
  if (server.RunsBatches()) return connection.TryExecute(statements.front());
  // The others run one statement per call. PostgreSQL drops and creates in
  // one transaction, and so does SQLite when work follows: a failure or
  // interruption leaves the old table as it was.
  std::optional<rdo::Transaction> transaction;
  if (server.RebuildsTablesInOneTransaction() || follow_up)
    transaction.emplace(connection.BeginTrans());
  for (const std::string& statement : statements)
    if (!connection.TryExecute(statement)) return false;
  if (follow_up) follow_up(connection);
  if (transaction) transaction->Commit();
  return true;
}
}  // namespace

bool BuildSearchGuideTable(Session& session, const std::string& table_name,
                           const TableFollowUp& follow_up) {
  if (!SqlServerTableScript(table_name)) return false;
  std::string errors;
  try {
    bool sent = SendTableStatements(session.Connection(), table_name, follow_up);
    errors = SqlErrorReport(rdo::rdoErrors(), kTableBuildMarks);
    if (!sent && errors.empty()) errors = "[[The statement failed without a message.]]";
  } catch (const rdo::DatabaseError& error) {
    errors = SqlErrorReport(error.Errors(), kTableBuildMarks);
    if (errors.empty()) errors = std::string("[[") + error.what() + "]]";
  }
  if (errors.empty()) return true;
  MsgBox("The following errors were encountered when attempting to build the table '" + table_name +
         "' - " + errors);
  return false;
}

}  // namespace corvanty::basCorvantyAdmin
