// SPDX-License-Identifier: Apache-2.0
#pragma once
// Which search service a PostgreSQL database holds, and whether the tool
// should install its own over it.
#include <string>

#include "connections/rdo.h"

namespace corvanty {

struct SearchServiceState {
  std::string schema;
  bool installed = false;
  int version = 0;
  std::string owner;
  bool replaceable = false;  // this login has its owner's rights

  // Installed and as new as the tool's, or one the tool must leave: newer,
  // or owned by a role whose rights this login does not have.
  bool LeftAsItIs() const;
};

// The service in the connection's current schema.
SearchServiceState ReadSearchServiceState(rdo::rdoConnection& connection);

// What corvanty check says of it: one line, a warning when the tool's own
// could not be put in its place.
std::string SearchServiceReport(const SearchServiceState& state);

}  // namespace corvanty
