// SPDX-License-Identifier: Apache-2.0
#include "schema/searchengineinstaller.h"

#include "connections/rdo.h"
#include "connections/serverdialect.h"
#include "connections/sqlerrorreport.h"
#include "schema/postgresserviceinstaller.h"
#include "schema/proceduretext.h"
#include "ui/msgbox.h"

namespace corvanty::basCorvantyAdmin {

namespace {
std::string InstallErrors(const std::vector<rdo::rdoError>& records, const char* fallback) {
  std::string errors = SqlErrorReport(records, kEngineInstallMarks);
  if (errors.empty()) errors = std::string(" [[") + fallback + "]] ";
  return errors;
}
}  // namespace

bool BuildSearchEngine(Session& session, std::string* installed) {
  std::string errors;
  try {
    rdo::rdoConnection& connection = session.Connection();
    const SearchServiceForm service = ForDialect(connection.GetDialect()).SearchService();
    if (service == SearchServiceForm::None) return true;
    if (service == SearchServiceForm::VersionedFunctions) {
      const std::string form = InstallPostgresSearchService(connection);
      if (installed) *installed = form;
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
