// SPDX-License-Identifier: Apache-2.0
#pragma once
// Dropping a guide's search index whichever server keeps it, inside a
// transaction the caller holds: a guide deleted with its index leaves no
// trigger behind to run on every later write.
#include <cstdint>

#include "connections/rdo.h"

namespace corvanty {

// Drops the guide's index (SQLite: its FTS5 table, triggers and state row;
// PostgreSQL: its trigram indexes) within the caller's transaction, which
// must have written already; other guides' indexes stay as they were. False
// when it had none, as always on SQL Server, which keeps none.
bool DropGuideSearchIndexWithin(rdo::rdoConnection& connection, int32_t guide);

}  // namespace corvanty
