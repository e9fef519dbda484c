// SPDX-License-Identifier: Apache-2.0
#pragma once
// Makes sure the active database can hold search guides and be searched:
// the guide tables and the search procedure must exist.
#include "connections/session.h"

namespace corvanty::basCorvantyAdmin {

extern const char* const kEngineInstallFollowUp;  // "If this problem persists, …"

// Tests for the tables and the procedure and builds what is missing, all on
// the session's one connection (each table built in its own transaction, so
// one that fails leaves the others built); never drops a table that exists.
// False at once, opening nothing, for a session without a connect string.
// Errors of the table test come out as an ApplicationError 5032; a
// connection that cannot be opened as DatabaseError.
bool CheckDatabaseReadiness(Session& session);

// True when the three main guide tables all exist (objects of any kind).
bool SearchTablesExist(rdo::rdoConnection& connection);

// True when the search procedure exists (on PostgreSQL the search service, in
// the tool's version or a newer one); always True on SQLite, where the
// built-in engine is the search engine.
bool SearchEngineExists(rdo::rdoConnection& connection);

}  // namespace corvanty::basCorvantyAdmin
