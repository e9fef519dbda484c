// SPDX-License-Identifier: Apache-2.0
#pragma once
// The demo database as a script for PostgreSQL's psql: the demo schema and
// the demo's rows as COPY data, in one transaction.
#include <ostream>

namespace corvanty::demo {

// Writes the script that makes the demo tables in the current schema and
// fills them with the rows the SQLite demo of the same size holds.
void WritePostgresDemoScript(std::ostream& out, long rows);

}  // namespace corvanty::demo
