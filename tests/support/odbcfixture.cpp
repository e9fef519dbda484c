// SPDX-License-Identifier: Apache-2.0
#include "support/odbcfixture.h"

#include <odbcinst.h>
#include <sqlite3.h>

#include <fstream>
#include <map>
#include <stdexcept>

#include "connections/odbcdriverpath.h"

namespace corvanty::testing {
namespace {

using Rows = std::vector<std::vector<std::optional<std::string>>>;

void AppendToFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::app);
  file << text;
  if (!file) throw std::runtime_error("cannot write " + path);
}

int AddRow(void* rows, int columns, char** values, char**) {
  auto& row = static_cast<Rows*>(rows)->emplace_back();
  for (int i = 0; i < columns; ++i)
    row.push_back(values[i] ? std::optional<std::string>(values[i]) : std::nullopt);
  return 0;
}

// Runs the statements on the file through SQLite itself, collecting the rows
// into rows when it is given.
void RunSqlite(const std::string& file, const std::string& sql, Rows* rows) {
  sqlite3* db = nullptr;
  char* message = nullptr;
  int rc = sqlite3_open(file.c_str(), &db);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.c_str(), rows ? AddRow : nullptr, rows, &message);
  std::string error = message ? message : sqlite3_errmsg(db);
  sqlite3_free(message);
  sqlite3_close(db);
  if (rc != SQLITE_OK)
    throw std::runtime_error("SQLite refused the statements on " + file + ": " + error);
}

}  // namespace

std::string SqliteOdbcDriverPath() {
  std::string path = corvanty::SqliteOdbcDriverPath();
  if (path.empty())
    throw std::runtime_error("the SQLite ODBC driver (libsqliteodbc) is not installed");
  return path;
}

void ClaimDataSourceName(const std::string& name, const std::string& driver) {
  static std::map<std::string, std::string> drivers;
  const auto [claimed, added] = drivers.emplace(name, driver);
  if (!added && claimed->second != driver)
    throw std::logic_error("the data source name " + name + " loaded " + claimed->second +
                           " earlier in this process and cannot load " + driver);
}

OdbcFixture::OdbcFixture()
    : system_ini_("ODBCSYSINI", dir_.Path()),
      user_ini_("ODBCINI", dir_.File("odbc.ini")),
      home_("HOME", dir_.Path()) {
  AppendToFile(dir_.File("odbcinst.ini"), "[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=" +
                                              SqliteOdbcDriverPath() + "\n");
  AppendToFile(dir_.File("odbc.ini"), "");
}

void OdbcFixture::AddDataSource(const std::string& name, const std::string& database_file,
                                const OdbcSettings& extra) {
  std::map<std::string, std::string> settings = {{"Driver", SqliteOdbcDriverPath()},
                                                 {"Database", database_file},
                                                 {"StepAPI", "1"},
                                                 {"Timeout", "2000"}};
  for (const auto& [key, value] : extra) settings[key] = value;
  ClaimDataSourceName(name, settings["Driver"]);
  // Through the installer, as the tool writes its own data sources: that
  // also makes unixODBC forget the settings it keeps for 20 seconds under
  // the name "odbc.ini", which an earlier fixture's source of the same name
  // would otherwise lend this one when the tests share a process.
  UWORD previous = ODBC_BOTH_DSN;
  SQLGetConfigMode(&previous);
  SQLSetConfigMode(ODBC_USER_DSN);
  bool written = true;
  for (const auto& [key, value] : settings)
    written = written &&
              SQLWritePrivateProfileString(name.c_str(), key.c_str(), value.c_str(), "odbc.ini");
  SQLSetConfigMode(previous);
  if (!written) throw std::runtime_error("cannot write the data source " + name);
}

std::string OdbcFixture::AddSqliteDatabase(const std::string& name, const std::string& seed_sql) {
  std::string file = dir_.File(name + ".db");
  ExecSqlite(file, seed_sql);
  AddDataSource(name, file);
  return "DSN=" + name + ";";
}

void ExecSqlite(const std::string& file, const std::string& sql) { RunSqlite(file, sql, nullptr); }

Rows QuerySqlite(const std::string& file, const std::string& sql) {
  Rows rows;
  RunSqlite(file, sql, &rows);
  return rows;
}

}  // namespace corvanty::testing
