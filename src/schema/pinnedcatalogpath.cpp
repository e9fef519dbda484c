// SPDX-License-Identifier: Apache-2.0
#include "schema/pinnedcatalogpath.h"

#include "schema/postgressearchservice.h"

namespace corvanty {

PinnedCatalogPath::PinnedCatalogPath(rdo::rdoConnection& connection)
    : transaction_(connection.BeginTrans()) {
  rdo::rdoResultset place = connection.OpenResultset(kPostgresInstallPlaceQuery);
  if (!place.Value("Name"))
    throw rdo::DatabaseError({rdo::rdoError{
        0, "The connection's search_path names no schema that exists to install into.", -1, ""}});
  schema_identifier_ = place.Text("Name");
  schema_literal_ = place.Text("Literal");
  searched_schemas_ = place.Text("Path");
  searched_array_ = place.Text("PathArray");
  connection.OpenResultset(
      "SELECT pg_catalog.set_config('search_path', 'pg_catalog, pg_temp', true) AS Path");
}

}  // namespace corvanty
