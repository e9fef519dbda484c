// SPDX-License-Identifier: Apache-2.0
#pragma once
// What the guide commands share: the connection option, a guide named on
// the command line, and database errors reported on standard error.
#include <cstdint>
#include <iostream>
#include <string>

#include "cli/cliargs.h"
#include "cli/commands.h"
#include "cli/databasefaults.h"
#include "connections/rdo.h"
#include "connections/sqlerrorreport.h"
#include "ui/utf8text.h"

namespace corvanty::cli {

// The saved connection --connection N (default 1) names; nullopt, with a
// message, when there is none.
std::optional<CommandSession> SavedConnectionFrom(const Args& args);

// A guide named on the command line: its exact name first, else its number.
// Throws rdo::DatabaseError when it is neither.
int32_t ResolveGuide(rdo::rdoConnection& connection, const std::string& guide);

// The server named by a --dialect option: mssql, sqlite or postgresql.
// Throws UsageError for any other name.
rdo::Dialect DialectOption(const std::string& name);

// Runs body, turning database errors into the error report on stderr,
// after the cause in plain words (naming data source dsn) where it is a
// known one.
template <typename Body>
int ReportingDatabaseErrors(const std::string& dsn, Body body) {
  try {
    return body();
  } catch (const rdo::DatabaseError& error) {
    const std::string plain = PlainDatabaseFault(error, dsn);
    std::cerr << ShownText((plain.empty() ? "" : plain + " ") + DialogErrorText(error), true)
              << '\n';
    return kExitFailure;
  }
}

}  // namespace corvanty::cli
