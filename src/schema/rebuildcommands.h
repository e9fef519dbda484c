// SPDX-License-Identifier: Apache-2.0
#pragma once
// The Tools menu's rebuild commands, shared by the admin tool and the
// command line.
#include <string>

#include "schema/tablebuilder.h"

namespace corvanty {

// Asks first for the three tables that hold guides (No does nothing, opening
// nothing), builds the table on the session's connection (with follow_up in
// its transaction) and says so when it worked.
void RebuildControlTableCommand(Session& session, const std::string& table_name,
                                const basCorvantyAdmin::TableFollowUp& follow_up = {});

// Re-installs the search procedure (on PostgreSQL the search service) on the
// session's connection, the one its server was told by (on PostgreSQL then
// says which form of the service is in place); on SQLite says that
// the built-in engine searches this database. True when the engine is in
// place.
bool RebuildSearchEngineCommand(Session& session);

}  // namespace corvanty
