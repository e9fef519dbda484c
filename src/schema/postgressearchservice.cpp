// SPDX-License-Identifier: Apache-2.0
#include "schema/postgressearchservice.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "connections/serverdialect.h"
#include "statements/cutoff.h"

namespace corvanty {

// src/schema/postgressearchservice.sql as it is, embedded at build time
// (cmake/embedtext.cmake).
extern const char kPostgresSearchServiceScript[];

namespace {

// The script's statements: each runs to the ; that ends it outside quotes,
// read as PostgreSQL reads them, without the blanks and the -- comment lines
// before it.
std::vector<std::string_view> ScriptStatements(std::string_view script) {
  std::vector<std::string_view> statements;
  size_t at = 0;
  while (true) {
    while (at < script.size() &&
           (std::isspace(static_cast<unsigned char>(script[at])) || script.substr(at, 2) == "--")) {
      if (script[at] != '-') {
        ++at;
      } else {
        const size_t line_end = script.find('\n', at);
        at = line_end == std::string_view::npos ? script.size() : line_end + 1;
      }
    }
    if (at == script.size()) return statements;
    const std::optional<CutOff> end = FirstCutOff(script.substr(at), PostgresDialect());
    if (!end || end->mark != ";")
      throw std::logic_error(
          "postgressearchservice.sql has a statement without its ; or a comment "
          "outside its functions' bodies");
    statements.push_back(script.substr(at, end->at));
    at += end->at + 1;
  }
}

// The statement with the installation's names in the places of the script's
// (see the script's head), each name put in once, never read again.
std::string Placed(std::string_view statement,
                   const std::vector<std::pair<std::string_view, std::string>>& names) {
  std::string placed;
  placed.reserve(statement.size());
  for (size_t at = 0; at < statement.size();) {
    const auto name = std::find_if(names.begin(), names.end(), [&](const auto& entry) {
      return statement.compare(at, entry.first.size(), entry.first) == 0;
    });
    if (name == names.end()) {
      placed += statement[at++];
    } else {
      placed += name->second;
      at += name->first.size();
    }
  }
  return placed;
}

// The comment on velmorastine_search that carries the version, before its
// number.
constexpr char kVersionMark[] = "Corvanty search service, version ";

}  // namespace

std::string PostgresSearchServiceQuery(const std::string& schema_name) {
  return "SELECT s.place AS Place, CAST(p.oid IS NOT NULL AS integer) AS Installed, "
         "coalesce(CAST(substring(pg_catalog.obj_description(p.oid, 'pg_proc') FROM '^Corvanty "
         "search service, version ([0-9]+)$') AS integer), 0) AS Version, "
         "pg_catalog.pg_get_userbyid(p.proowner) AS Owner, "
         "CAST(pg_catalog.pg_has_role(p.proowner, 'USAGE') AS integer) AS Replaceable, "
         "en.nspname AS ExtensionSchema, e.extversion AS ExtensionVersion, "
         "pg_catalog.pg_get_userbyid(e.extowner) AS ExtensionOwner, "
         "CAST(pg_catalog.pg_has_role(e.extowner, 'USAGE') AS integer) AS ExtensionOwned, "
         "a.default_version AS Offered, CAST(coalesce((SELECT r.rolsuper FROM pg_catalog.pg_roles "
         "r WHERE r.rolname OPERATOR(pg_catalog.=) CURRENT_USER) OR "
         "(pg_catalog.has_database_privilege(pg_catalog.current_database(), 'CREATE') AND "
         "(v.trusted "
         "OR NOT v.superuser)), false) AS integer) AS Creatable "
         "FROM (SELECT " +
         schema_name +
         " AS place) s "
         "LEFT JOIN pg_catalog.pg_proc p ON p.oid OPERATOR(pg_catalog.=) "
         "coalesce(pg_catalog.to_regprocedure(pg_catalog.quote_ident(s.place) "
         "OPERATOR(pg_catalog.||) '.velmorastine_search(text, text, integer)'), "
         "pg_catalog.to_regprocedure(pg_catalog.quote_ident(s.place) OPERATOR(pg_catalog.||) "
         "'.velmorastine_search(text, text)')) "
         "LEFT JOIN pg_catalog.pg_extension e ON e.extname OPERATOR(pg_catalog.=) '" +
         std::string(kPostgresSearchExtension) +
         "' LEFT JOIN pg_catalog.pg_namespace en ON en.oid OPERATOR(pg_catalog.=) e.extnamespace "
         "LEFT JOIN pg_catalog.pg_available_extensions a ON a.name OPERATOR(pg_catalog.=) '" +
         kPostgresSearchExtension +
         "' LEFT JOIN pg_catalog.pg_available_extension_versions v ON v.name "
         "OPERATOR(pg_catalog.=) a.name AND v.version OPERATOR(pg_catalog.=) a.default_version";
}

std::vector<std::string> PostgresSearchServiceFunctionNames() {
  static const std::string kCreates[] = {"CREATE OR REPLACE FUNCTION corvanty_service_schema.",
                                         "CREATE FUNCTION corvanty_service_schema."};
  std::vector<std::string> names;
  for (std::string_view statement : ScriptStatements(kPostgresSearchServiceScript))
    for (const std::string& create : kCreates)
      if (statement.rfind(create, 0) == 0) {
        const std::string_view rest = statement.substr(create.size());
        names.emplace_back(rest.substr(0, rest.find('(')));
      }
  return names;
}

const char* const kPostgresInstallPlaceQuery =
    "SELECT pg_catalog.quote_ident(pg_catalog.current_schema()) AS Name, "
    "pg_catalog.quote_literal(pg_catalog.current_schema()) AS Literal, "
    "pg_catalog.array_to_string(ARRAY(SELECT pg_catalog.quote_ident(s.name) FROM "
    "pg_catalog.unnest(pg_catalog.current_schemas(false)) WITH ORDINALITY AS s (name, n) WHERE "
    "s.name OPERATOR(pg_catalog.<>) 'pg_catalog' AND s.name OPERATOR(pg_catalog.!~) "
    "'^pg_temp_' ORDER BY s.n), ', ') AS Path, pg_catalog.quote_literal(ARRAY(SELECT s.name FROM "
    "pg_catalog.unnest(pg_catalog.current_schemas(false)) AS s (name) WHERE s.name "
    "OPERATOR(pg_catalog.<>) 'pg_catalog' AND s.name OPERATOR(pg_catalog.!~) '^pg_temp_')) AS "
    "PathArray";

std::vector<std::string> PostgresSearchServiceStatements(const std::string& schema_identifier,
                                                         const std::string& schema_literal,
                                                         const std::string& searched_schemas) {
  static const std::vector<std::string_view> script =
      ScriptStatements(kPostgresSearchServiceScript);
  // The literal before the identifier it holds.
  const std::vector<std::pair<std::string_view, std::string>> names = {
      {"'corvanty_service_schema'", schema_literal},
      {"corvanty_searched_schemas", searched_schemas},
      {"corvanty_service_schema", schema_identifier}};
  std::vector<std::string> statements;
  for (std::string_view statement : script) statements.push_back(Placed(statement, names));
  statements.push_back("COMMENT ON FUNCTION " + schema_identifier +
                       ".velmorastine_search(text, text, integer) IS '" + kVersionMark +
                       std::to_string(kPostgresSearchServiceVersion) + "'");
  return statements;
}

}  // namespace corvanty
