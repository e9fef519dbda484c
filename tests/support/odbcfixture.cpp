// SPDX-License-Identifier: Apache-2.0
#include "support/odbcfixture.h"

#include <odbcinst.h>

#include <fstream>
#include <map>
#include <stdexcept>
#include <string_view>

#include "connections/odbcdriverpath.h"
#include "connections/sqlitedatabase.h"

namespace corvanty::testing {
namespace {

using Rows = std::vector<std::vector<std::optional<std::string>>>;

void AppendToFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::app);
  file << text;
  if (!file) throw std::runtime_error("cannot write " + path);
}

// Runs the statements on the file through SQLite itself, one after the
// other, collecting the rows they return into rows when it is given.
void RunSqlite(const std::string& file, const std::string& sql, Rows* rows) {
  try {
    sqlite::Database db(file, sqlite::Database::Mode::kCreate);
    for (std::string_view rest = sql; !rest.empty();) {
      size_t used = 0;
      sqlite::Statement statement = db.Prepare(rest, &used);
      rest.remove_prefix(used);
      while (statement.Step()) {
        if (!rows) continue;
        auto& row = rows->emplace_back();
        for (int i = 0; i < statement.ColumnCount(); ++i)
          row.push_back(statement.IsNull(i) ? std::nullopt
                                            : std::optional<std::string>(statement.Text(i)));
      }
    }
  } catch (const sqlite::Error& error) {
    throw std::runtime_error("SQLite refused the statements on " + file + ": " + error.what());
  }
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
