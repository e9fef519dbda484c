// SPDX-License-Identifier: Apache-2.0
#pragma once
// Who besides their owner can change what the guides of a PostgreSQL
// database run. The SQL the guide tables hold runs with the rights of every
// caller of the search service (and of everyone who searches with the
// tool), so whoever may write those tables, act as their owner, or create
// objects in a schema the guides' statements resolve names in, must be
// trusted by all callers.
#include <string>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

// Whether PUBLIC holds a right to write a guide table of the connection's
// current schema, and whether this login may take it away, per table
// (columns "Name", "Owner", "Owned", "PublicWrites").
extern const std::string kGuideTableRightsQuery;

// Takes every right to write the guide tables that PUBLIC holds away from
// it, where this login has their owner's rights; nothing on other servers.
void GuardGuideTables(rdo::rdoConnection& connection);

// One warning per role other than the guide tables' owners and superusers
// that can change what the guides run, in this order: table grants of
// INSERT, UPDATE, DELETE or TRUNCATE (PUBLIC included), column grants of
// INSERT or UPDATE, membership in an owner's role, CREATE on a schema of
// the connection's search path; then one for each table whose PUBLIC rights
// this login could not take away. None elsewhere than on PostgreSQL.
std::vector<std::string> GuideTableWriterWarnings(rdo::rdoConnection& connection);

}  // namespace corvanty
