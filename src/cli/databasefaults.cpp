// SPDX-License-Identifier: Apache-2.0
#include "cli/databasefaults.h"

#include "connections/asciicase.h"

namespace corvanty::cli {
namespace {

bool Holds(const std::string& text, const std::string& part) {
  return rdo::LowerAscii(text).find(part) != std::string::npos;
}

std::string Cause(const rdo::rdoError& error) {
  const std::string& text = error.Description;
  // SQLite's SQLITE_READONLY, PostgreSQL's read_only_sql_transaction.
  if (Holds(text, "readonly database") || error.SQLState == "25006")
    return "cannot be written: it is read-only or immutable";
  // SQLITE_CANTOPEN on a database already open: its journal cannot be made.
  if (Holds(text, "unable to open database file"))
    return "cannot be written: its folder is read-only or immutable, so no journal file can be "
           "made beside it";
  if (Holds(text, "db_search_guide") &&
      (Holds(text, "no such table") || Holds(text, "does not exist")))
    return "is not a guide database: it lacks the Database Search Guide tables (corvanty check "
           "builds them)";
  return "";
}

}  // namespace

std::string PlainDatabaseFault(const rdo::DatabaseError& error, const std::string& dsn) {
  for (const rdo::rdoError& record : error.Errors())
    if (std::string cause = Cause(record); !cause.empty())
      return "The database of data source '" + dsn + "' " + cause + ".";
  return "";
}

}  // namespace corvanty::cli
