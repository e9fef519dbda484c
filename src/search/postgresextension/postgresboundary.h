// SPDX-License-Identifier: Apache-2.0
#pragma once
// Where the engine's C++ meets the server's C. A server error is a longjmp
// that would skip C++ destructors; a C++ exception would unwind through the
// server's frames. So every server call made from C++ runs through Guarded,
// which turns a server error into a PostgresError, and C++ is entered from
// the server only through code that catches everything (CaughtError) and
// raises it as a server error once no C++ frame is left.
#include <stdexcept>
#include <string>

#include "search/postgresextension/postgrescalls.h"

namespace corvanty::postgres {

// A server error caught in C++: its SQLSTATE and texts, kept so the caller
// receives it as the server raised it.
class PostgresError : public std::runtime_error {
 public:
  PostgresError(int sqlstate, std::string message, std::string detail, std::string hint)
      : std::runtime_error(message),
        sqlstate_(sqlstate),
        detail_(std::move(detail)),
        hint_(std::move(hint)) {}
  int Sqlstate() const { return sqlstate_; }
  const std::string& Detail() const { return detail_; }
  const std::string& Hint() const { return hint_; }

 private:
  int sqlstate_;
  std::string detail_, hint_;
};

// Throws the server error that has just been caught as a PostgresError,
// leaving the server's error state empty.
[[noreturn]] void ThrowCaughtServerError(MemoryContext context);

// Runs call, which must hold server calls and nothing that needs a
// destructor, turning a server error into a PostgresError.
template <typename Call>
void Guarded(const Call& call) {
  const MemoryContext context = CurrentMemoryContext;
  bool failed = false;
  PG_TRY();
  { call(); }
  PG_CATCH();
  { failed = true; }
  PG_END_TRY();
  if (failed) ThrowCaughtServerError(context);
}

// An error on its way from C++ to the server: plain data in the library's
// own buffers (one error at a time per server process), so that it outlives
// the catch block that made it and making it allocates nothing.
struct CaughtError {
  int sqlstate = 0;
  const char* message = nullptr;
  const char* detail = nullptr;
  const char* hint = nullptr;
};

// The error an exception stands for. The engine's own messages (a guide that cannot be searched)
// are raised as PL/pgSQL's RAISE EXCEPTION raises them.
CaughtError Describe(const std::exception& error);
CaughtError DescribeUnknown();

// Raises the error in the server. Call it outside any catch block.
[[noreturn]] void Raise(const CaughtError& error);

}  // namespace corvanty::postgres
