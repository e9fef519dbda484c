// SPDX-License-Identifier: Apache-2.0
#include "connections/sqliteerror.h"

#include "connections/sqlitecalls.h"

namespace corvanty::sqlite {

Error::Error(int extended_code, const std::string& message, int system_errno)
    : rdo::DatabaseError({rdo::rdoError{extended_code, message, -1, ""}}),
      system_errno_(system_errno) {}

bool Error::IsLocked() const {
  return PrimaryCode() == SQLITE_BUSY || PrimaryCode() == SQLITE_LOCKED;
}

void ThrowLastError(sqlite3* db) {
  throw Error(sqlite3_extended_errcode(db), sqlite3_errmsg(db), sqlite3_system_errno(db));
}

}  // namespace corvanty::sqlite
