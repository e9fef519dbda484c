// SPDX-License-Identifier: Apache-2.0
#include <sqlext.h>

#include "connections/odbcdiagnostics.h"
#include "connections/odbchandles.h"
#include "connections/rdo.h"

namespace corvanty::rdo {
namespace {

// Switching automatic commit back on commits whatever is pending, so this
// only ever follows a commit or a rollback that succeeded.
SQLRETURN ResumeAutoCommit(OdbcSession& session) {
  SQLRETURN rc =
      SQLSetConnectAttr(session.Dbc(), SQL_ATTR_AUTOCOMMIT,
                        reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), SQL_IS_UINTEGER);
  if (SQL_SUCCEEDED(rc)) session.SetInTransaction(false);
  return rc;
}

}  // namespace

Transaction::Transaction(std::shared_ptr<OdbcSession> session) : session_(std::move(session)) {}
Transaction::Transaction(Transaction&&) noexcept = default;

Transaction::~Transaction() {
  if (!session_) return;
  session_->CrossTransactionBoundary();
  if (SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, session_->Dbc(), SQL_ROLLBACK)))
    ResumeAutoCommit(*session_);
}

void Transaction::Commit() {
  ClearErrors();
  if (!session_) {
    AddError("The transaction has already ended.");
    ThrowErrors();
  }
  SQLHDBC dbc = session_->Dbc();
  session_->CrossTransactionBoundary();
  Check(SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT), SQL_HANDLE_DBC, dbc);
  // The work is permanent now: a refusal to resume automatic commit is
  // recorded, never reported as a failed commit.
  SQLRETURN rc = ResumeAutoCommit(*session_);
  if (rc != SQL_SUCCESS) AddDiagnostics(SQL_HANDLE_DBC, dbc, rc);
  session_.reset();
}

}  // namespace corvanty::rdo
