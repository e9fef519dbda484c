// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

#include "connections/session.h"

namespace corvanty::basCorvantyAdmin {

// Drops and re-creates the search procedure on the session's connection (on
// PostgreSQL puts the search service in place in one transaction, the native
// extension when the server offers it, and tells installed which form).
// False, with the server's errors shown (a connection that cannot be opened
// among them), when anything failed. On SQLite
// there is nothing to install (the built-in engine searches it): True,
// nothing sent.
bool BuildSearchEngine(Session& session, std::string* installed = nullptr);

}  // namespace corvanty::basCorvantyAdmin
