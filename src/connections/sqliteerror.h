// SPDX-License-Identifier: Apache-2.0
#pragma once
// A failing SQLite call as a database error: one record with SQLite's own
// message and extended result code, so that every report of database
// errors shows it as it shows the server's, and a caller that words a
// cause itself can tell a lock from a damaged file.
#include <string>

#include "connections/rdo.h"

struct sqlite3;

namespace corvanty::sqlite {

class Error : public rdo::DatabaseError {
 public:
  Error(int extended_code, const std::string& message, int system_errno);
  int ExtendedCode() const { return Errors().front().Number; }
  int PrimaryCode() const { return ExtendedCode() & 0xFF; }
  // Another connection held the file locked past the wait.
  bool IsLocked() const;
  // The system's error number behind a failure to open, read or write the
  // file; 0 when there was none.
  int SystemErrno() const { return system_errno_; }

 private:
  int system_errno_;
};

// Throws the last failure of the connection.
[[noreturn]] void ThrowLastError(sqlite3* db);

}  // namespace corvanty::sqlite
