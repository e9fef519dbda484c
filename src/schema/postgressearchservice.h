// SPDX-License-Identifier: Apache-2.0
#pragma once
// The search service the tool installs into a PostgreSQL database: the
// PL/pgSQL function velmorastine_search(dsgstring, searchcriteria), which
// runs for each listed guide the statement the built-in engine generates
// (velmorastine_search_sql returns them) and returns its rows, and the
// helper functions it calls. The functions read the guide tables of the
// schema they are installed in; the statements run with the caller's rights
// and search_path.
#include <string>
#include <vector>

namespace corvanty {

// Raised whenever the service's text changes: an installed service with a
// lower number is replaced, one with this number or a higher one is left.
inline constexpr int kPostgresSearchServiceVersion = 1;

// The statements that create or replace the service in a schema, named as
// an identifier and as a string literal, ending with its version mark. Each
// is one statement; run them in one transaction.
std::vector<std::string> PostgresSearchServiceStatements(const std::string& schema_identifier,
                                                         const std::string& schema_literal);

// The version (column "Version") of the service installed in the
// connection's current schema; 0 when there is none.
std::string PostgresSearchServiceVersionQuery();

}  // namespace corvanty
