#include "connections/odbcdatasource.h"

#include <odbcinst.h>

#include <stdexcept>

#include "connections/datasourcecheck.h"
#include "connections/odbcdriverpath.h"

namespace corvanty {

namespace {

std::string InstallerError() {
  DWORD code = 0;
  char message[SQL_MAX_MESSAGE_LENGTH] = "";
  WORD length = 0;
  if (SQLInstallerError(1, &code, message, sizeof message, &length) == SQL_SUCCESS) return message;
  return "the ODBC installer gave no reason";
}

void WriteSetting(const std::string& section, const char* key, const std::string& value) {
  if (!SQLWritePrivateProfileString(section.c_str(), key, value.c_str(), "odbc.ini"))
    throw std::runtime_error("cannot write the ODBC data source '" + section + "' into " +
                             rdo::DescribedFile(rdo::UserOdbcIni()) + ": " + InstallerError());
}

}  // namespace

void WriteSqliteDataSource(const std::string& name, const std::string& database_path) {
  std::string driver = SqliteOdbcDriverPath();
  if (driver.empty())
    throw std::runtime_error(
        "the SQLite ODBC driver (libsqlite3odbc.so, package libsqliteodbc) is not installed");
  UWORD previous = ODBC_BOTH_DSN;
  SQLGetConfigMode(&previous);
  SQLSetConfigMode(ODBC_USER_DSN);
  try {
    // Removing the section first drops settings of an older definition.
    SQLWritePrivateProfileString(name.c_str(), nullptr, nullptr, "odbc.ini");
    WriteSetting(name, "Description", "Corvanty demo database");
    WriteSetting(name, "Driver", driver);
    WriteSetting(name, "Database", database_path);
    WriteSetting(name, "StepAPI", "1");
    WriteSetting(name, "Timeout", "2000");
    // A database file that has gone must be reported, not silently re-created empty.
    WriteSetting(name, "NoCreat", "1");
  } catch (...) {
    SQLSetConfigMode(previous);
    throw;
  }
  SQLSetConfigMode(previous);
}

}  // namespace corvanty
