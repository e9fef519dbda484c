// SPDX-License-Identifier: Apache-2.0
#include "schema/searchservicestate.h"

#include "schema/postgressearchservice.h"

namespace corvanty {

bool SearchServiceState::LeftAsItIs() const {
  return installed && (version >= kPostgresSearchServiceVersion || !replaceable);
}

SearchServiceState ReadSearchServiceState(rdo::rdoConnection& connection) {
  rdo::rdoResultset found = connection.OpenResultset(kPostgresSearchServiceQuery);
  return {found.Text("Place"), found.Int("Installed") != 0, found.Int("Version"),
          found.Text("Owner"), found.Int("Replaceable") != 0};
}

std::string SearchServiceReport(const SearchServiceState& state) {
  const std::string ours = std::to_string(kPostgresSearchServiceVersion);
  if (!state.installed)
    return "Warning: there is no search service in the schema " + state.schema + ".";
  const std::string service = "velmorastine_search (PL/pgSQL) in the schema " + state.schema +
                              ", version " + std::to_string(state.version) + ", owned by " +
                              state.owner;
  if (state.version < kPostgresSearchServiceVersion)
    return "Warning: the search service " + service + ", is older than this tool's (version " +
           ours + "), and this login does not have its owner's rights to replace it: only " +
           state.owner + " can (Tools > Rebuild Search Engine, or corvanty check).";
  if (state.version > kPostgresSearchServiceVersion)
    return "Search service: " + service + ", newer than this tool's (version " + ours +
           "): left as it is.";
  return "Search service: " + service + ".";
}

}  // namespace corvanty
