// SPDX-License-Identifier: Apache-2.0
#pragma once
// What a forward-only reader holds: its statement, and a share in the session
// so the server connection outlives the reader even after the connection closes.
#include <memory>
#include <utility>

#include "connections/odbccursor.h"
#include "connections/odbchandles.h"
#include "connections/rdo.h"

namespace corvanty::rdo {

struct ForwardReader::Impl {
  Impl(std::shared_ptr<OdbcSession> open_session, StmtHandle executed)
      : session(std::move(open_session)),
        stmt(std::move(executed)),
        cursor(stmt.Get()),
        opened_at(session->TransactionBoundaries()) {}

  std::shared_ptr<OdbcSession> session;  // declared first: ends after the statement
  StmtHandle stmt;
  CursorReader cursor;
  unsigned opened_at;  // the session's transaction boundaries when opened
  Row row;
  bool on_row = false;
};

}  // namespace corvanty::rdo
