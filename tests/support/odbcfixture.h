// SPDX-License-Identifier: Apache-2.0
#pragma once
// A private ODBC configuration for one test: its own folder holding
// odbcinst.ini (the SQLite driver as "SQLite3") and odbc.ini (the test's data
// sources), with ODBCSYSINI, ODBCINI and HOME pointed there so the user's
// files are never read or written.
//
// unixODBC reads ODBCSYSINI (and HOME) once per process and keeps the first
// folder it saw, but reads ODBCINI at every lookup. So every data source is
// written to the file ODBCINI names and names its driver by absolute path:
// each fixture in a process reaches its own sources. A connect string naming
// the driver "SQLite3" resolves only in child processes (and in the first
// fixture of a process): in-process tests use data sources or the path.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/tempdir.h"

namespace corvanty::testing {

// The SQLite ODBC driver library: $CORVANTY_SQLITE_ODBC_DRIVER, else the
// first one installed in the usual library folders. Throws when none is.
std::string SqliteOdbcDriverPath();

// Records that data source name loads the driver library driver in this
// process. unixODBC's driver manager remembers the library a name loaded
// for as long as the process lives, whatever odbc.ini says later, and that
// driver then reads the new settings: so a name keeps its first driver, and
// a second one is refused here (std::logic_error) instead of reaching the
// wrong server in some later test.
void ClaimDataSourceName(const std::string& name, const std::string& driver);

using OdbcSettings = std::vector<std::pair<std::string, std::string>>;

class OdbcFixture {
 public:
  OdbcFixture();  // not copyable: it owns its folder

  std::string File(const std::string& name) const { return dir_.File(name); }

  // A data source for a SQLite file that streams rows (StepAPI=1) and waits
  // 2 s for locks; extra settings are added or replace those.
  void AddDataSource(const std::string& name, const std::string& database_file,
                     const OdbcSettings& extra = {});

  // Creates name.db in the folder, seeds it, adds a data source of the same
  // name for it and returns the connect string "DSN=name;".
  std::string AddSqliteDatabase(const std::string& name, const std::string& seed_sql = "");

 private:
  TempDir dir_;
  ScopedEnv system_ini_;
  ScopedEnv user_ini_;
  ScopedEnv home_;
};

// Runs statements on a SQLite file through SQLite itself (creating the file).
void ExecSqlite(const std::string& file, const std::string& sql);

// The rows a query returns, read through SQLite itself; nullopt for NULL.
std::vector<std::vector<std::optional<std::string>>> QuerySqlite(const std::string& file,
                                                                 const std::string& sql);

}  // namespace corvanty::testing
