// SPDX-License-Identifier: Apache-2.0
#include "schema/readiness.h"

#include <strings.h>

#include <set>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "connections/serverdialect.h"
#include "connections/sqlerrorreport.h"
#include "schema/guidetablewriters.h"
#include "schema/proceduretext.h"
#include "schema/searchengineinstaller.h"
#include "schema/searchguidetables.h"
#include "schema/searchservicestate.h"
#include "schema/tablebuilder.h"
#include "ui/applicationerror.h"
#include "ui/msgbox.h"

namespace corvanty::basCorvantyAdmin {

const char* const kEngineInstallFollowUp =
    "If this problem persists, then you will need to contact your System Administrator, or "
    "Velmorastine support. You will not be able to search the database unless the search engine "
    "installs successfully.";

namespace {

// Opens a static result set; a server error becomes the table test's report,
// raised as error 5032 and naming the server in use.
rdo::rdoResultset OpenCheckedResultset(rdo::rdoConnection& connection, const std::string& sql) {
  try {
    return connection.OpenResultset(sql);
  } catch (const rdo::DatabaseError& error) {
    std::string text = SqlErrorReport(error.Errors(), kTablesExistMarks);
    if (text.empty()) throw;
    throw ApplicationError(5032, std::string(rdo::ServerName(connection.GetDialect())) +
                                     " returned the following error(s) :" + text);
  }
}

// Names of the guide tables that exist, in the case the names are known by.
std::set<std::string> ExistingGuideTables(rdo::rdoConnection& connection) {
  rdo::rdoResultset found = OpenCheckedResultset(
      connection, AllGuideTablesExistQuery(ForDialect(connection.GetDialect())));
  std::set<std::string> existing;
  for (; !found.IsEOF(); found.MoveNext()) {
    std::string name = found.Text("Name");
    for (std::string_view known : kSearchGuideTableBuildOrder)
      if (strcasecmp(name.c_str(), std::string(known).c_str()) == 0) existing.emplace(known);
  }
  return existing;
}

}  // namespace

bool SearchTablesExist(rdo::rdoConnection& connection) {
  rdo::rdoResultset found =
      OpenCheckedResultset(connection, MainTablesExistQuery(ForDialect(connection.GetDialect())));
  if (found.IsEOF()) return false;
  found.MoveLast();
  found.MoveFirst();
  return found.RowCount() == 3;
}

bool SearchEngineExists(rdo::rdoConnection& connection) {
  switch (ForDialect(connection.GetDialect()).SearchService()) {
    case SearchServiceForm::None:
      return true;
    case SearchServiceForm::VersionedFunctions:
      return ReadSearchServiceState(connection).LeftAsItIs();
    case SearchServiceForm::Procedure:
      break;
  }
  return !connection.OpenResultset(kSearchEngineExistsQuery).IsEOF();
}

bool CheckDatabaseReadiness(Session& session) {
  if (!session.HasConnectString()) return false;
  rdo::rdoConnection& connection = session.Connection();
  if (!SearchTablesExist(connection)) {
    // Only the missing tables are built: an existing one keeps its guides.
    std::set<std::string> existing = ExistingGuideTables(connection);
    std::string not_created;
    for (std::string_view view : kSearchGuideTableBuildOrder) {
      std::string table(view);
      if (existing.count(table)) continue;
      if (!BuildSearchGuideTable(session, table)) not_created += table + ", ";
    }
    if (!not_created.empty()) {
      not_created.erase(not_created.size() - 2);
      MsgBox(
          "Corvanty Database Search Guide Tables : One or more tables were not created re-create "
          "these tables from Tools on the main menu. Table(s) not created : " +
          not_created);
    }
  }
  if (!SearchEngineExists(connection) && !BuildSearchEngine(session))
    MsgBox(kEngineInstallFollowUp);
  // Whatever else failed: no right to change what every search runs is left
  // to PUBLIC.
  GuardGuideTables(connection);
  return true;
}

}  // namespace corvanty::basCorvantyAdmin
