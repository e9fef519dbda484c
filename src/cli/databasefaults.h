// SPDX-License-Identifier: Apache-2.0
#pragma once
// The driver's words for a database that cannot serve a guide command say
// neither which database nor what to do. These say it in plain words.
#include <string>

#include "connections/rdo.h"

namespace corvanty::cli {

// One sentence naming data source dsn and the cause, for a database that is
// read-only or immutable (the file, or the folder its journal goes in) or
// that lacks the guide tables; "" for any other error.
std::string PlainDatabaseFault(const rdo::DatabaseError& error, const std::string& dsn);

}  // namespace corvanty::cli
