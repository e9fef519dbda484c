#include "support/odbcfixture.h"

#include "connections/odbcdriverpath.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace corvanty::testing {
namespace {

namespace fs = std::filesystem;

void AppendToFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::app);
  file << text;
  if (!file) throw std::runtime_error("cannot write " + path);
}

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using SqliteDb = std::unique_ptr<sqlite3, SqliteCloser>;

SqliteDb OpenSqlite(const std::string& file) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open(file.c_str(), &db);
  SqliteDb owner(db);
  if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + file + ": " + sqlite3_errmsg(db));
  return owner;
}

}  // namespace

std::string SqliteOdbcDriverPath() {
  std::string path = corvanty::SqliteOdbcDriverPath();
  if (path.empty()) throw std::runtime_error("the SQLite ODBC driver (libsqliteodbc) is not installed");
  return path;
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
  OdbcSettings settings = {{"Driver", SqliteOdbcDriverPath()},
                           {"Database", database_file},
                           {"StepAPI", "1"},
                           {"Timeout", "2000"}};
  for (const auto& [key, value] : extra) {
    auto same = std::find_if(settings.begin(), settings.end(),
                             [&](const auto& setting) { return setting.first == key; });
    if (same != settings.end())
      same->second = value;
    else
      settings.emplace_back(key, value);
  }
  std::string section = "[" + name + "]\n";
  for (const auto& [key, value] : settings) section += key + "=" + value + "\n";
  AppendToFile(dir_.File("odbc.ini"), section);
}

std::string OdbcFixture::AddSqliteDatabase(const std::string& name, const std::string& seed_sql) {
  std::string file = dir_.File(name + ".db");
  ExecSqlite(file, seed_sql);
  AddDataSource(name, file);
  return "DSN=" + name + ";";
}

void ExecSqlite(const std::string& file, const std::string& sql) {
  SqliteDb db = OpenSqlite(file);
  char* message = nullptr;
  if (sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : "unknown error";
    sqlite3_free(message);
    throw std::runtime_error("SQLite refused the statements: " + text);
  }
}

std::vector<std::vector<std::optional<std::string>>> QuerySqlite(const std::string& file,
                                                                 const std::string& sql) {
  SqliteDb db = OpenSqlite(file);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string("SQLite refused the query: ") + sqlite3_errmsg(db.get()));
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
  std::vector<std::vector<std::optional<std::string>>> rows;
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    auto& row = rows.emplace_back();
    for (int column = 0; column < sqlite3_column_count(raw); ++column) {
      const unsigned char* text = sqlite3_column_text(raw, column);
      if (text)
        row.emplace_back(
            std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(raw, column)));
      else
        row.emplace_back(std::nullopt);
    }
  }
  if (rc != SQLITE_DONE)
    throw std::runtime_error(std::string("SQLite stopped the query: ") + sqlite3_errmsg(db.get()));
  return rows;
}

}  // namespace corvanty::testing
