#pragma once
// Writes an ODBC data source for a SQLite file into the user's ODBC
// configuration, through the driver manager's installer interface.
#include <string>

namespace corvanty {

// Adds or replaces user data source name for the SQLite file database_path:
// absolute driver path, StepAPI=1 so the driver streams rows, and a lock
// timeout of a few seconds. Throws std::runtime_error with the installer's
// message on failure.
void WriteSqliteDataSource(const std::string& name, const std::string& database_path);

}  // namespace corvanty
