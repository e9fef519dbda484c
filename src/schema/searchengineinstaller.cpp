#include "schema/searchengineinstaller.h"

#include "connections/connectionstore.h"
#include "connections/rdo.h"
#include "connections/sqlerrorreport.h"
#include "schema/proceduretext.h"
#include "statements/dialectsql.h"
#include "ui/msgbox.h"

namespace corvanty::basCorvantyAdmin {

namespace {
std::string InstallErrors(const std::vector<rdo::rdoError>& records, const char* fallback) {
  std::string errors = SqlErrorReport(records, kEngineInstallMarks);
  if (errors.empty()) errors = std::string(" [[") + fallback + "]] ";
  return errors;
}
}  // namespace

bool BuildSearchEngine() {
  std::string errors;
  try {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(gstrConnect);
    if (!HasSearchProcedure(connection.GetDialect())) return true;
    if (!connection.TryExecute(SearchEngineDropBatch())) {
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
