// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>
#include <string>

#include "connections/rdo.h"
#include "connections/session.h"

namespace corvanty::basCorvantyAdmin {

// Work that belongs with a table's rebuild, run after it in its transaction
// (throwing rdo::DatabaseError rolls both back). A server that runs the
// script as one batch (SQL Server) never runs it.
using TableFollowUp = std::function<void(rdo::rdoConnection&)>;

// Drops (if present) and re-creates one of the five guide tables on the
// session's connection, then runs follow_up. False, with the errors shown
// (a connection that cannot be opened among them), when anything failed;
// False at once, with nothing sent, for any other name.
bool BuildSearchGuideTable(Session& session, const std::string& table_name,
                           const TableFollowUp& follow_up = {});

}  // namespace corvanty::basCorvantyAdmin
