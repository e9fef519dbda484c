// SPDX-License-Identifier: Apache-2.0
#pragma once
// The search service the tool installs into a PostgreSQL database: the
// PL/pgSQL function velmorastine_search(dsgstring, searchcriteria[,
// most_rows]), which runs for each listed guide the statement the built-in
// engine generates (velmorastine_search_sql returns them) and returns its
// rows, no more than most_rows in all when it is given, and the
// helper functions it calls. The functions read the guide tables of the
// schema they are installed in and resolve everything else in pg_catalog;
// the statements run with the caller's rights under the search path the
// tool searched the guides with when it installed the service.
#include <string>
#include <vector>

namespace corvanty {

// Raised whenever the service's text changes: an installed service with a
// lower number is replaced, one with this number or a higher one is left.
inline constexpr int kPostgresSearchServiceVersion = 3;

// The statements that create or replace the service in a schema, named as
// an identifier and as a string literal, ending with its version mark; the
// guides' statements run under pg_catalog, searched_schemas (identifiers
// separated by commas) and pg_temp. Each is one statement; run them in one
// transaction.
std::vector<std::string> PostgresSearchServiceStatements(const std::string& schema_identifier,
                                                         const std::string& schema_literal,
                                                         const std::string& searched_schemas);

// Where the connection installs the service: its current schema as an
// identifier ("Name") and as a literal ("Literal"), and the schemas of its
// search path that exist, as identifiers separated by commas ("Path") and
// as a text array literal ("PathArray").
extern const char* const kPostgresInstallPlaceQuery;

// The service in the connection's current schema ("Place"), of this
// version's signature or the two-argument one before version 3, one row:
// whether one is installed ("Installed", 1 or 0), its version ("Version", 0
// when it carries no version mark), its owner ("Owner") and whether this
// login has its owner's rights to replace it ("Replaceable").
extern const char* const kPostgresSearchServiceQuery;

}  // namespace corvanty
