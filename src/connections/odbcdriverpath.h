// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace corvanty {

// The absolute path of the SQLite ODBC driver library:
// $CORVANTY_SQLITE_ODBC_DRIVER, else the first one installed in the usual
// library folders; "" when none is found. It does not ask the driver
// manager, so it never loads the installer library into the process.
std::string SqliteOdbcDriverPath();

// The same for PostgreSQL's Unicode ODBC driver (psqlodbcw.so, package
// odbc-postgresql), chosen by $CORVANTY_POSTGRES_ODBC_DRIVER.
std::string PostgresOdbcDriverPath();

}  // namespace corvanty
