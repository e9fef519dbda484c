// SPDX-License-Identifier: Apache-2.0
#include "schema/searchservicestate.h"

#include "schema/postgressearchservice.h"

namespace corvanty {

PostgresServiceForm SearchServiceState::Wanted() const {
  if (ExtensionHere() && !extension_owned) return PostgresServiceForm::Extension;
  return !offered_version.empty() && ExtensionNotUsedReason(*this).empty()
             ? PostgresServiceForm::Extension
             : PostgresServiceForm::PlPgsql;
}

bool SearchServiceState::LeftAsItIs() const {
  if (Wanted() == PostgresServiceForm::Extension)
    return ExtensionHere() && (extension_version == offered_version || !extension_owned);
  return !ExtensionHere() && installed &&
         (version >= kPostgresSearchServiceVersion || !replaceable);
}

SearchServiceState ReadSearchServiceState(rdo::rdoConnection& connection) {
  rdo::rdoResultset place = connection.OpenResultset(kPostgresInstallPlaceQuery);
  const bool alone = place.Value("Name") && place.Text("Name") == place.Text("Path");
  return ReadSearchServiceState(connection, "pg_catalog.current_schema()", alone);
}

SearchServiceState ReadSearchServiceState(rdo::rdoConnection& connection,
                                          const std::string& schema_literal, bool searched_alone) {
  rdo::rdoResultset found = connection.OpenResultset(PostgresSearchServiceQuery(schema_literal));
  SearchServiceState state;
  state.schema = found.Text("Place");
  state.installed = found.Int("Installed") != 0;
  state.version = found.Int("Version");
  state.owner = found.Text("Owner");
  state.replaceable = found.Int("Replaceable") != 0;
  state.extension_schema = found.Text("ExtensionSchema");
  state.extension_version = found.Text("ExtensionVersion");
  state.extension_owner = found.Text("ExtensionOwner");
  state.extension_owned = found.Int("ExtensionOwned") != 0;
  state.offered_version = found.Text("Offered");
  state.extension_creatable = found.Int("Creatable") != 0;
  state.searched_alone = searched_alone;
  return state;
}

std::string ExtensionNotUsedReason(const SearchServiceState& state) {
  const bool here = state.ExtensionHere();
  if (state.offered_version.empty() || (here && !state.extension_owned)) return "";
  if (!here && !state.extension_schema.empty())
    return "a database holds it once, and here the schema " + state.extension_schema + " holds it";
  if (!state.searched_alone)
    return "it runs the guides' statements under its own schema alone, and this connection "
           "searches other schemas too";
  if (here) return "";
  if (!state.extension_creatable)
    return "this login may not create it: that needs the right to create in the database "
           "(GRANT CREATE ON DATABASE)";
  if (state.installed && !state.replaceable)
    return "the PL/pgSQL service here is owned by " + state.owner +
           ", and this login does not have its owner's rights to drop it";
  return "";
}

std::string ExtensionNotUsedNote(const SearchServiceState& state, const std::string& why) {
  return "The server offers the extension " + std::string(kPostgresSearchExtension) + " " +
         state.offered_version + ", not used here: " + why + ".";
}

std::string SearchServiceReport(const SearchServiceState& state) {
  if (state.ExtensionHere()) {
    const std::string extension = "the extension corvanty_search, version " +
                                  state.extension_version + ", in the schema " + state.schema +
                                  ", owned by " + state.extension_owner;
    if (state.extension_owned || state.offered_version.empty() ||
        state.extension_version == state.offered_version)
      return "Search service: " + extension + ".";
    return "Warning: the search service, " + extension +
           ", is not the version the server offers (" + state.offered_version +
           "), and this login does not have its owner's rights to update it: only " +
           state.extension_owner + " can (Tools > Rebuild Search Engine, or corvanty check).";
  }
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
