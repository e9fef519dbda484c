// SPDX-License-Identifier: Apache-2.0
#include "schema/postgresserviceinstaller.h"

#include <vector>

#include "connections/sqlerrorreport.h"
#include "schema/guidetablewriters.h"
#include "schema/postgressearchservice.h"
#include "schema/searchservicestate.h"
#include "statements/sqlliteral.h"

namespace corvanty {

namespace {

// The function velmorastine_search of the schema (a string literal), of the
// current signature or the one before version 3, as a pg_proc row's oid.
std::string SearchFunctionOid(const std::string& schema_literal) {
  return "coalesce(pg_catalog.to_regprocedure(pg_catalog.quote_ident(" + schema_literal +
         ") OPERATOR(pg_catalog.||) '.velmorastine_search(text, text, integer)'), "
         "pg_catalog.to_regprocedure(pg_catalog.quote_ident(" +
         schema_literal + ") OPERATOR(pg_catalog.||) '.velmorastine_search(text, text)'))";
}

// Who may run a velmorastine_search: nothing to copy while its rights are
// PostgreSQL's defaults (PUBLIC may), else each holder of EXECUTE as a
// GRANT names it ("PUBLIC", a quoted role, " WITH GRANT OPTION" after it).
struct ExecuteRights {
  bool narrowed = false;
  std::vector<std::string> grantees;
};

ExecuteRights ReadExecuteRights(rdo::rdoConnection& connection, const std::string& schema_literal) {
  rdo::rdoResultset found = connection.OpenResultset(
      "SELECT CAST(p.proacl IS NOT NULL AS integer) AS Narrowed, g.grantee AS Grantee FROM "
      "pg_catalog.pg_proc p LEFT JOIN LATERAL (SELECT CASE WHEN a.grantee OPERATOR(pg_catalog.=) "
      "0 THEN 'PUBLIC' ELSE pg_catalog.quote_ident(pg_catalog.pg_get_userbyid(a.grantee)) END "
      "OPERATOR(pg_catalog.||) CASE WHEN a.is_grantable THEN ' WITH GRANT OPTION' ELSE '' END AS "
      "grantee FROM pg_catalog.aclexplode(p.proacl) a WHERE a.privilege_type "
      "OPERATOR(pg_catalog.=) 'EXECUTE') g ON true WHERE p.oid OPERATOR(pg_catalog.=) " +
      SearchFunctionOid(schema_literal));
  ExecuteRights rights;
  for (; !found.IsEOF(); found.MoveNext()) {
    rights.narrowed = found.Int("Narrowed") != 0;
    if (found.Value("Grantee")) rights.grantees.push_back(found.Text("Grantee"));
  }
  return rights;
}

// Gives the schema's velmorastine_search exactly the rights read before.
// GRANT by a login without its owner's rights only warns: refused here
// instead, so that no right is silently lost or left to PUBLIC.
void GiveExecuteRights(rdo::rdoConnection& connection, const std::string& schema_identifier,
                       const std::string& schema_literal, const ExecuteRights& rights) {
  if (!rights.narrowed) return;
  rdo::rdoResultset function = connection.OpenResultset(
      "SELECT CAST(pg_catalog.pg_has_role(p.proowner, 'USAGE') AS integer) AS Ours, "
      "pg_catalog.pg_get_userbyid(p.proowner) AS Owner FROM pg_catalog.pg_proc p WHERE p.oid "
      "OPERATOR(pg_catalog.=) " +
      SearchFunctionOid(schema_literal));
  if (function.Int("Ours") == 0)
    throw rdo::DatabaseError({rdo::rdoError{
        0,
        "this login cannot give the new velmorastine_search the EXECUTE rights of the one it "
        "replaces: its owner is " +
            function.Text("Owner"),
        -1, ""}});
  const std::string signature =
      "FUNCTION " + schema_identifier + ".velmorastine_search(text, text, integer)";
  connection.Execute("REVOKE ALL ON " + signature + " FROM PUBLIC");
  for (const std::string& grantee : rights.grantees)
    connection.Execute("GRANT EXECUTE ON " + signature + " TO " + grantee);
}

constexpr char kSavepoint[] = "corvanty_search_extension";

// Replaces the PL/pgSQL service, if any, by the extension, keeping its
// rights; when the server refuses, changes nothing and returns its words.
std::string TryCreateExtension(rdo::rdoConnection& connection, const PinnedCatalogPath& pinned) {
  connection.Execute(std::string("SAVEPOINT ") + kSavepoint);
  try {
    const ExecuteRights rights = ReadExecuteRights(connection, pinned.SchemaLiteral());
    DropPlPgsqlService(connection, pinned.SchemaLiteral());
    connection.Execute(std::string("CREATE EXTENSION ") + kPostgresSearchExtension + " SCHEMA " +
                       pinned.SchemaIdentifier());
    GiveExecuteRights(connection, pinned.SchemaIdentifier(), pinned.SchemaLiteral(), rights);
  } catch (const rdo::DatabaseError& error) {
    connection.Execute(std::string("ROLLBACK TO SAVEPOINT ") + kSavepoint);
    std::string words = SqlErrorReport(error.Errors(), kEngineInstallMarks);
    while (!words.empty() && words.back() == ' ') words.pop_back();
    return words;
  }
  connection.Execute(std::string("RELEASE SAVEPOINT ") + kSavepoint);
  return "";
}

std::string ExtensionInPlace(const SearchServiceState& state) {
  return "The search service is the PostgreSQL extension " + std::string(kPostgresSearchExtension) +
         ", version " + state.offered_version + ", in the schema " + state.schema + ".";
}

std::string PlPgsqlInPlace(const SearchServiceState& state, const std::string& why_not_extension) {
  std::string text = "The search service is the PL/pgSQL function velmorastine_search, version " +
                     std::to_string(kPostgresSearchServiceVersion) + ", in the schema " +
                     state.schema + ".";
  if (!why_not_extension.empty()) text += " " + ExtensionNotUsedNote(state, why_not_extension);
  return text;
}

}  // namespace

// In one statement: the extension brings functions of the same names.
void DropPlPgsqlService(rdo::rdoConnection& connection, const std::string& schema_literal) {
  std::string names;
  for (const std::string& name : PostgresSearchServiceFunctionNames())
    names += (names.empty() ? "'" : ", '") + QuoteApostrophes(name) + "'";
  rdo::rdoResultset found = connection.OpenResultset(
      "SELECT CAST(CAST(p.oid AS pg_catalog.regprocedure) AS pg_catalog.text) AS Function FROM "
      "pg_catalog.pg_proc p WHERE p.pronamespace OPERATOR(pg_catalog.=) "
      "CAST(pg_catalog.quote_ident(" +
      schema_literal +
      ") AS pg_catalog.regnamespace) AND p.proname OPERATOR(pg_catalog.=) ANY (ARRAY[" + names +
      "]) AND NOT EXISTS (SELECT FROM pg_catalog.pg_depend d WHERE d.classid "
      "OPERATOR(pg_catalog.=) CAST('pg_catalog.pg_proc' AS pg_catalog.regclass) AND d.objid "
      "OPERATOR(pg_catalog.=) p.oid AND d.deptype OPERATOR(pg_catalog.=) 'e')");
  std::string functions;
  for (; !found.IsEOF(); found.MoveNext())
    functions += (functions.empty() ? "" : ", ") + found.Text("Function");
  if (!functions.empty()) connection.Execute("DROP FUNCTION " + functions);
}

void InstallPlPgsqlService(rdo::rdoConnection& connection, const PinnedCatalogPath& pinned) {
  for (const std::string& statement : PostgresSearchServiceStatements(
           pinned.SchemaIdentifier(), pinned.SchemaLiteral(), pinned.SearchedSchemas()))
    connection.Execute(statement);
}

std::string InstallPostgresSearchService(rdo::rdoConnection& connection) {
  std::string installed;
  {
    PinnedCatalogPath pinned(connection);
    connection.OpenResultset(
        "SELECT pg_advisory_xact_lock(hashtext('velmorastine_search')) AS Locked");
    const SearchServiceState state = ReadSearchServiceState(
        connection, pinned.SchemaLiteral(), pinned.SearchedSchemas() == pinned.SchemaIdentifier());
    std::string refused;
    if (state.Wanted() == PostgresServiceForm::Extension && state.ExtensionHere()) {
      // Only its owner may update it: the server's refusal of anyone else is said.
      if (state.extension_version != state.offered_version)
        connection.Execute(std::string("ALTER EXTENSION ") + kPostgresSearchExtension + " UPDATE");
    } else if (state.Wanted() == PostgresServiceForm::Extension) {
      refused = TryCreateExtension(connection, pinned);
    }
    if (state.Wanted() == PostgresServiceForm::Extension && refused.empty()) {
      installed = ExtensionInPlace(state);
    } else {
      ExecuteRights rights;
      if (state.ExtensionHere()) {
        rights = ReadExecuteRights(connection, pinned.SchemaLiteral());
        connection.Execute(std::string("DROP EXTENSION ") + kPostgresSearchExtension);
      }
      InstallPlPgsqlService(connection, pinned);
      GiveExecuteRights(connection, pinned.SchemaIdentifier(), pinned.SchemaLiteral(), rights);
      installed =
          PlPgsqlInPlace(state, refused.empty() ? ExtensionNotUsedReason(state)
                                                : "the server refused to create it:" + refused);
    }
    pinned.Commit();
  }
  GuardGuideTables(connection);
  return installed;
}

}  // namespace corvanty
