#pragma once
#include <string>

namespace corvanty {

// The absolute path of the SQLite ODBC driver library:
// $CORVANTY_SQLITE_ODBC_DRIVER, else the first one installed in the usual
// library folders; "" when none is found. It does not ask the driver
// manager, so it never loads the installer library into the process.
std::string SqliteOdbcDriverPath();

}  // namespace corvanty
