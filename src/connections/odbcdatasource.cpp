#include "connections/odbcdatasource.h"

#include <odbcinst.h>

#include <stdexcept>
#include <utility>
#include <vector>

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

using Settings = std::vector<std::pair<const char*, std::string>>;

// Replaces the user data source name by one with exactly these settings.
void WriteDataSource(const std::string& name, const Settings& settings) {
  UWORD previous = ODBC_BOTH_DSN;
  SQLGetConfigMode(&previous);
  SQLSetConfigMode(ODBC_USER_DSN);
  try {
    // Removing the section first drops settings of an older definition.
    SQLWritePrivateProfileString(name.c_str(), nullptr, nullptr, "odbc.ini");
    for (const auto& [key, value] : settings) WriteSetting(name, key, value);
  } catch (...) {
    SQLSetConfigMode(previous);
    throw;
  }
  SQLSetConfigMode(previous);
}

}  // namespace

void WriteSqliteDataSource(const std::string& name, const std::string& database_path) {
  std::string driver = SqliteOdbcDriverPath();
  if (driver.empty())
    throw std::runtime_error(
        "the SQLite ODBC driver (libsqlite3odbc.so, package libsqliteodbc) is not installed");
  WriteDataSource(name, {{"Description", "Corvanty demo database"},
                         {"Driver", driver},
                         {"Database", database_path},
                         {"StepAPI", "1"},
                         {"Timeout", "2000"},
                         // A database file that has gone must be reported, not
                         // silently re-created empty.
                         {"NoCreat", "1"}});
}

void WritePostgresDataSource(const std::string& name, const PostgresServerAddress& address,
                             const std::string& database, const std::string& schema) {
  std::string driver = PostgresOdbcDriverPath();
  if (driver.empty())
    throw std::runtime_error(
        "the PostgreSQL ODBC driver (psqlodbcw.so, package odbc-postgresql) is not installed");
  Settings settings = {{"Description", "Corvanty demo database on PostgreSQL"},
                       {"Driver", driver},
                       {"Servername", address.server},
                       {"Port", address.port},
                       {"Database", database},
                       {"UseDeclareFetch", "1"},
                       {"Fetch", "1000"}};
  if (!schema.empty()) {
    // Set by a query, which the driver runs for a data source marked
    // read-only too, where it refuses SET: the schema stays the one named.
    std::string path = "\"";
    for (char c : schema) path += c == '"' ? "\"\"" : c == '\'' ? "''" : std::string(1, c);
    settings.emplace_back("ConnSettings",
                          "SELECT set_config('search_path', '" + path + "\"', false)");
  }
  WriteDataSource(name, settings);
}

}  // namespace corvanty
