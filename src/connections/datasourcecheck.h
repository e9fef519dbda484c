// SPDX-License-Identifier: Apache-2.0
#pragma once
// When a data source cannot be opened or read, the driver's words rarely
// say which file is at fault. These find the file and the cause from the
// ODBC configuration, so the administrator can act on it.
#include <string>

namespace corvanty::rdo {

// The user's data source file as unixODBC finds it: $ODBCINI, else
// .odbc.ini in the account's home folder (the password database's, which
// the driver manager reads whatever $HOME says).
std::string UserOdbcIni();

// The path, followed by what is wrong with it when it is no readable
// regular file: "/home/a/.odbc.ini (which is a folder)".
std::string DescribedFile(const std::string& path);

// For a data source the driver manager does not know: the configuration
// files it looked in and what is wrong with them, as one sentence.
std::string UnknownDataSourceReport(const std::string& dsn);

// The longest data source name the driver manager accepts.
constexpr size_t kMaxDataSourceNameLength = 32;

// The message refusing a data source name longer than that, naming it;
// "" for one that fits.
std::string DataSourceNameProblem(const std::string& dsn);

// For a data source whose settings name a database file (an absolute
// Database path, as SQLite data sources have): one sentence naming the
// file and why it cannot serve: missing, a folder, unreadable, no SQLite
// database, or (when SQLite could not read it) locked by another program
// or damaged. "" when the
// settings name no such file or nothing is found wrong with it.
std::string DatabaseFileReport(const std::string& dsn, bool read_failed);

}  // namespace corvanty::rdo
