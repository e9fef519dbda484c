// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "connections/session.h"

namespace corvanty::basCorvantyAdmin {

// Drops and re-creates the search procedure on the session's connection (on
// PostgreSQL creates or replaces the search service, in one transaction).
// False, with the server's errors shown (a connection that cannot be opened
// among them), when anything failed. On SQLite
// there is nothing to install (the built-in engine searches it): True,
// nothing sent.
bool BuildSearchEngine(Session& session);

}  // namespace corvanty::basCorvantyAdmin
