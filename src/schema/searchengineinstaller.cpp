// SPDX-License-Identifier: Apache-2.0
#include "schema/searchengineinstaller.h"

#include "connections/rdo.h"
#include "connections/serverdialect.h"
#include "connections/sqlerrorreport.h"
#include "schema/guidetablewriters.h"
#include "schema/pinnedcatalogpath.h"
#include "schema/postgressearchservice.h"
#include "schema/proceduretext.h"
#include "statements/sqlliteral.h"
#include "ui/msgbox.h"

namespace corvanty::basCorvantyAdmin {

namespace {
// Creates or replaces the search service in the connection's schema, in one
// transaction that first waits for any other installation in the database,
// and takes away from PUBLIC any right to write the guide tables: the SQL
// they hold runs with each caller's rights.
void InstallPostgresSearchService(rdo::rdoConnection& connection) {
  {
    PinnedCatalogPath pinned(connection);
    connection.OpenResultset(
        "SELECT pg_advisory_xact_lock(hashtext('velmorastine_search')) AS Locked");
    for (const std::string& statement : PostgresSearchServiceStatements(
             pinned.SchemaIdentifier(), pinned.SchemaLiteral(), pinned.SearchedSchemas()))
      connection.Execute(statement);
    pinned.Commit();
  }
  GuardGuideTables(connection);
}

std::string InstallErrors(const std::vector<rdo::rdoError>& records, const char* fallback) {
  std::string errors = SqlErrorReport(records, kEngineInstallMarks);
  if (errors.empty()) errors = std::string(" [[") + fallback + "]] ";
  return errors;
}
}  // namespace

bool BuildSearchEngine(Session& session) {
  std::string errors;
  try {
    rdo::rdoConnection& connection = session.Connection();
    const SearchServiceForm service = ForDialect(connection.GetDialect()).SearchService();
    if (service == SearchServiceForm::None) return true;
    if (service == SearchServiceForm::VersionedFunctions) {
      InstallPostgresSearchService(connection);
    } else if (!connection.TryExecute(SearchEngineDropBatch())) {
      errors = InstallErrors(rdo::rdoErrors(), "The old search procedure could not be dropped.");
    } else if (!connection.TryExecute(SearchProcedureText())) {
      errors = InstallErrors(rdo::rdoErrors(), "The search procedure could not be created.");
    } else {
      errors = SqlErrorReport(rdo::rdoErrors(), kEngineInstallMarks);
    }
  } catch (const rdo::DatabaseError& error) {
    errors = InstallErrors(error.Errors(), error.what());
  }
  if (errors.empty()) return true;
  MsgBox("Attempt to build search engine failed with the following SQL error(s) : " + errors);
  return false;
}

}  // namespace corvanty::basCorvantyAdmin
