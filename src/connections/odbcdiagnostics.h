// SPDX-License-Identifier: Apache-2.0
#pragma once
// The engine-wide error list and how ODBC diagnostic records get into it.
#include <sql.h>

#include <string>

#include "connections/rdo.h"

namespace corvanty::rdo {

// Empties the error list: every call that reaches the database starts here.
void ClearErrors();

// Adds a failure the layer itself detected (no driver record behind it).
void AddError(const std::string& description);

// Adds every diagnostic record the handle holds for its last call, marked
// with that call's return code. Returns how many there were.
size_t AddDiagnostics(SQLSMALLINT handle_type, SQLHANDLE handle, SQLRETURN rc);

// Throws DatabaseError with the records gathered so far.
[[noreturn]] void ThrowErrors();

// Judges a return code: information is recorded, a failure is recorded and
// thrown. SQL_NO_DATA passes; callers that care read it themselves.
void Check(SQLRETURN rc, SQLSMALLINT handle_type, SQLHANDLE handle);

}  // namespace corvanty::rdo
