// SPDX-License-Identifier: Apache-2.0
#pragma once
// Puts the PostgreSQL search service in the connection's current schema in
// the form its state wants (searchservicestate.h): the native extension
// corvanty_search, created, updated to the version the server offers or
// left, or the PL/pgSQL functions, created or replaced. A form replaced by
// the other goes in the same transaction, and whoever could run its
// velmorastine_search can run the new one (and no one else, when its rights
// had been narrowed from PUBLIC's).
#include <string>

#include "connections/rdo.h"
#include "schema/pinnedcatalogpath.h"

namespace corvanty {

// Drops every function of the PL/pgSQL service in the schema (a string
// literal), leaving those of an extension, in one statement.
void DropPlPgsqlService(rdo::rdoConnection& connection, const std::string& schema_literal);

// Creates or replaces the PL/pgSQL service where pinned says, in its
// transaction.
void InstallPlPgsqlService(rdo::rdoConnection& connection, const PinnedCatalogPath& pinned);

// Installs in one transaction that first waits for any other installation
// in the database, then takes away from PUBLIC any right to write the guide
// tables: the SQL they hold runs with each caller's rights. When the server
// refuses the extension, installs the PL/pgSQL functions instead. Returns
// one sentence that says which form is in place (and why not the extension
// the server offers). Throws rdo::DatabaseError when anything else failed,
// having changed nothing.
std::string InstallPostgresSearchService(rdo::rdoConnection& connection);

}  // namespace corvanty
