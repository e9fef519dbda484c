// SPDX-License-Identifier: Apache-2.0
#include "schema/rebuildcommands.h"

#include "connections/rdo.h"
#include "connections/serverdialect.h"
#include "connections/sqlerrorreport.h"
#include "schema/readiness.h"
#include "schema/searchengineinstaller.h"
#include "schema/tablebuilder.h"
#include "ui/msgbox.h"

namespace corvanty {

namespace {
const char* ConfirmationFor(const std::string& table_name) {
  if (table_name == "Db_Search_Guides")
    return "This will delete all data in the table! WARNING! This will also reset the DSG_ID "
           "Identity column to 1!! If you drop and recreate this table, you will need to set the "
           "identity seed to an appropriate number (only if you have any existing Db Search "
           "Guides). Proceed?";
  if (table_name == "Db_Search_Guide_Cols" || table_name == "Db_Search_Guide_Tables")
    return "This will delete all data in the table! Proceed?";
  return nullptr;
}
}  // namespace

void RebuildControlTableCommand(Session& session, const std::string& table_name,
                                const basCorvantyAdmin::TableFollowUp& follow_up) {
  if (const char* question = ConfirmationFor(table_name)) {
    if (MsgBox(question, vbYesNo + vbExclamation) == vbNo) return;
  }
  if (basCorvantyAdmin::BuildSearchGuideTable(session, table_name, follow_up))
    MsgBox("'" + table_name + "' created.");
}

bool RebuildSearchEngineCommand(Session& session) {
  const char* built = "Search engine created successfully.";
  try {
    rdo::rdoConnection& connection = session.Connection();
    const SearchServiceForm service = ForDialect(connection.GetDialect()).SearchService();
    if (service == SearchServiceForm::VersionedFunctions)
      built =
          "Search service installed successfully: applications search with SELECT * FROM "
          "velmorastine_search('guide numbers', 'criteria').";
    if (service == SearchServiceForm::None) {
      MsgBox(
          "This database is searched by Corvanty's built-in search engine, so it needs no "
          "search procedure and nothing was installed.");
      return true;
    }
  } catch (const rdo::DatabaseError& error) {
    ReportDialogError(error);
    return false;
  }
  std::string installed;
  if (basCorvantyAdmin::BuildSearchEngine(session, &installed)) {
    MsgBox(built);
    // On PostgreSQL: which form of the service, extension or PL/pgSQL.
    if (!installed.empty()) MsgBox(installed);
    return true;
  }
  MsgBox(basCorvantyAdmin::kEngineInstallFollowUp);
  return false;
}

}  // namespace corvanty
