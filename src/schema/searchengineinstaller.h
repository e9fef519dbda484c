// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvanty::basCorvantyAdmin {

// Drops and re-creates the search procedure on the active connection (on
// PostgreSQL creates or replaces the search service, in one transaction).
// False, with the server's errors shown, when anything failed. On SQLite
// there is nothing to install (the built-in engine searches it): True,
// nothing sent.
bool BuildSearchEngine();

}  // namespace corvanty::basCorvantyAdmin
