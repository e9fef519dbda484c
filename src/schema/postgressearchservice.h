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

// The names of the functions the statements create, each once.
std::vector<std::string> PostgresSearchServiceFunctionNames();

// Where the connection installs the service: its current schema as an
// identifier ("Name") and as a literal ("Literal"), and the schemas of its
// search path that exist, as identifiers separated by commas ("Path") and
// as a text array literal ("PathArray").
extern const char* const kPostgresInstallPlaceQuery;

// The native extension's name: CREATE EXTENSION corvanty_search SCHEMA s
// creates the service's functions, of the same names, arguments and
// columns, in s.
inline constexpr char kPostgresSearchExtension[] = "corvanty_search";

// The service in the schema that schema_name (a SQL expression: a string
// literal, or pg_catalog.current_schema()) names, one row: ("Place") the
// schema; the function velmorastine_search of this version's signature or
// the two-argument one before version 3: whether there is one
// ("Installed", 1 or 0), its version ("Version", 0 when it carries no
// version mark), its owner ("Owner") and whether this login has its owner's
// rights to replace it ("Replaceable"); the extension corvanty_search: the
// schema of this database that holds it ("ExtensionSchema", NULL when none
// does), its version ("ExtensionVersion"), owner ("ExtensionOwner") and
// whether this login has its owner's rights ("ExtensionOwned"), the version
// the server offers ("Offered", NULL when it offers none) and whether this
// login may create it ("Creatable": a superuser, or one with CREATE on the
// database when the extension is trusted or needs no superuser).
std::string PostgresSearchServiceQuery(const std::string& schema_name);

}  // namespace corvanty
