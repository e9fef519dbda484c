// SPDX-License-Identifier: Apache-2.0
#pragma once
// Writes ODBC data sources for the demo databases into the user's ODBC
// configuration (the user's odbc.ini), rewriting that file whole under a
// lock so that its other data sources stay as they were.
#include <string>

namespace corvanty {

// Adds or replaces user data source name for the SQLite file database_path:
// absolute driver path, StepAPI=1 so the driver streams rows, and a lock
// timeout of a few seconds; with extension, the driver loads that SQLite
// extension library into each of its connections (LoadExt). Throws
// std::runtime_error naming the file and the cause on failure, and for a
// value the file cannot hold (a line break, a control character, blanks at
// either end).
void WriteSqliteDataSource(const std::string& name, const std::string& database_path,
                           const std::string& extension = "");

// Where a PostgreSQL server listens: a host name, or the folder of its unix
// socket, and the port.
struct PostgresServerAddress {
  std::string server;
  std::string port = "5432";
};

// Adds or replaces user data source name for the PostgreSQL database on the
// server: absolute path of the Unicode driver, and UseDeclareFetch=1 with
// Fetch=1000 so that the driver streams rows a thousand at a time instead of
// reading a whole result into memory. A schema, when given, is the one the
// data source's connections work in (their search path). The login is not
// stored. Throws as WriteSqliteDataSource does.
void WritePostgresDataSource(const std::string& name, const PostgresServerAddress& address,
                             const std::string& database, const std::string& schema = "");

}  // namespace corvanty
