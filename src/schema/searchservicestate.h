// SPDX-License-Identifier: Apache-2.0
#pragma once
// Which search service a PostgreSQL database holds, which form the tool
// wants there (the native extension or the PL/pgSQL functions), and whether
// the tool should install its own over what is there.
#include <string>

#include "connections/rdo.h"

namespace corvanty {

enum class PostgresServiceForm { Extension, PlPgsql };

struct SearchServiceState {
  std::string schema;
  // The PL/pgSQL service's function (or, with the extension here, the
  // extension's).
  bool installed = false;
  int version = 0;
  std::string owner;
  bool replaceable = false;  // this login has its owner's rights

  // The extension corvanty_search: the schema of this database it is in
  // (empty when it is in none), its version and owner, whether this login
  // has its owner's rights; the version the server offers (empty when it
  // offers none) and whether this login may create it.
  std::string extension_schema;
  std::string extension_version;
  std::string extension_owner;
  bool extension_owned = false;
  std::string offered_version;
  bool extension_creatable = false;
  // The schemas the tool searches the guides with are this schema alone: the
  // extension runs the guides' statements under its own schema only.
  bool searched_alone = false;

  bool ExtensionHere() const { return !extension_schema.empty() && extension_schema == schema; }
  // The extension when the server offers it, this login may create it, it
  // would search what the tool searches and no other schema of the database
  // holds it; else the PL/pgSQL functions. A form this login cannot replace
  // stays wanted.
  PostgresServiceForm Wanted() const;
  // The wanted form is installed in the server's or the tool's version, or
  // the tool must leave it: newer, or owned by a role whose rights this
  // login does not have.
  bool LeftAsItIs() const;
};

// The service in the connection's current schema, as the connection's
// search path has it.
SearchServiceState ReadSearchServiceState(rdo::rdoConnection& connection);
// The service in schema (a string literal), searched_alone given.
SearchServiceState ReadSearchServiceState(rdo::rdoConnection& connection,
                                          const std::string& schema_literal, bool searched_alone);

// What corvanty check says of it: one line, a warning when the tool's own
// could not be put in its place.
std::string SearchServiceReport(const SearchServiceState& state);

// Why the extension the server offers is not the form wanted here; empty
// when it is wanted or not offered.
std::string ExtensionNotUsedReason(const SearchServiceState& state);

// The sentence that gives why (a reason above, or the server's refusal).
std::string ExtensionNotUsedNote(const SearchServiceState& state, const std::string& why);

}  // namespace corvanty
