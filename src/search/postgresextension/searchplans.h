// SPDX-License-Identifier: Apache-2.0
#pragma once
// The searches planned last in a server process, kept with their statements'
// prepared plans for the next call with the same arguments while nothing they
// were planned from has changed: the guides' definitions, read again and
// compared unless no transaction that wrote has ended since they were read
// (see CompletedWriters in searchplans.cpp), and the relations (a trigram
// index made or dropped changes a guide's statement), which the server's
// relation cache invalidations report. The server revalidates the prepared
// plans themselves when the objects they use change.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "search/postgresextension/postgrescalls.h"
#include "statements/searchstatements.h"

namespace corvanty::postgres {

// One search's statements, in guide order, and their plans, prepared at
// their first run (nullptr until then). Shared by the calls running it.
struct PlannedStatements {
  PlannedStatements() = default;
  PlannedStatements(const PlannedStatements&) = delete;
  PlannedStatements& operator=(const PlannedStatements&) = delete;
  // Its plans are let go at the next planning (FreeRetiredPlans): this may
  // run while the server cleans up after an error, when it must not be
  // called.
  ~PlannedStatements();

  std::vector<GuideStatement> statements;
  std::vector<SPIPlanPtr> plans;
};

// Counts the relation cache invalidations the server process has received;
// registered once, when the library is loaded.
void WatchRelationChanges();

// The statements for the guides and criteria given, on the session under
// the search path named (the schema of the guide tables read): the kept
// ones, or newly planned (and kept). Throws what planning throws.
std::shared_ptr<PlannedStatements> PlanStatements(rdo::SqlSession& session, const std::string& path,
                                                  const std::vector<int32_t>& guide_ids,
                                                  const std::string& criteria);

// Frees the plans of statements no call uses any more. Call it connected
// to SPI.
void FreeRetiredPlans();

}  // namespace corvanty::postgres
