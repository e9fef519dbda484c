// SPDX-License-Identifier: Apache-2.0
#pragma once
// The rows in which a written row of a table on the optional side of an
// outer join takes part, before or after the write: the guide's rows whose
// index entries the write may change. The guide's WHERE clause cannot
// narrow them as it does for the other tables: a write there turns rows it
// rejects into rows with that table's columns NULL, which it may accept
// (deleting a customer's last order makes "customers without orders" find
// the customer). Those rows share every column but the optional tables'
// with a row the written row takes part in, so the clause's conditions
// joined by AND at its top that read no optional table's column hold
// alike on both, and only they narrow the rows.
#include <string>

namespace corvanty {

// from: the guide's FROM clause; where_clause: its WHERE clause, beginning
// with WHERE, or empty. The FROM clause, then a WHERE clause of the
// conditions kept, if any.
std::string RowsAroundOptionalWrite(const std::string& from, const std::string& where_clause);

}  // namespace corvanty
