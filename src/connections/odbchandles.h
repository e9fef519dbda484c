// SPDX-License-Identifier: Apache-2.0
#pragma once
// Move-only owners of ODBC handles, and the open session a connection, its
// readers and its transaction share.
#include <sql.h>

#include <utility>

namespace corvanty::rdo {

template <SQLSMALLINT kType>
class OdbcHandle {
 public:
  OdbcHandle() = default;
  explicit OdbcHandle(SQLHANDLE handle) : handle_(handle) {}
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;
  OdbcHandle(OdbcHandle&& other) noexcept : handle_(other.Release()) {}
  OdbcHandle& operator=(OdbcHandle&& other) noexcept {
    if (this != &other) {
      Free();
      handle_ = other.Release();
    }
    return *this;
  }
  ~OdbcHandle() { Free(); }

  SQLHANDLE Get() const { return handle_; }

 private:
  SQLHANDLE Release() noexcept { return std::exchange(handle_, SQLHANDLE{}); }
  void Free() noexcept {
    if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(kType, handle_);
  }
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

using EnvHandle = OdbcHandle<SQL_HANDLE_ENV>;
using DbcHandle = OdbcHandle<SQL_HANDLE_DBC>;
using StmtHandle = OdbcHandle<SQL_HANDLE_STMT>;

// Each throws DatabaseError with the parent's diagnostics when refused.
EnvHandle AllocateEnvironment();
DbcHandle AllocateConnection(const EnvHandle& env);
StmtHandle AllocateStatement(SQLHDBC dbc);

// A connected ODBC connection with its own environment. When it ends, work
// never committed is rolled back (nothing is ever committed implicitly),
// then it disconnects.
class OdbcSession {
 public:
  OdbcSession(EnvHandle env, DbcHandle dbc) : env_(std::move(env)), dbc_(std::move(dbc)) {}
  OdbcSession(const OdbcSession&) = delete;
  OdbcSession& operator=(const OdbcSession&) = delete;
  ~OdbcSession();

  SQLHDBC Dbc() const { return dbc_.Get(); }
  // Manual commit is on (a transaction is open).
  bool InTransaction() const { return in_transaction_; }
  void SetInTransaction(bool on) { in_transaction_ = on; }

  // Counts the beginnings and ends of transactions. Drivers close or empty
  // open cursors there (the SQLite driver silently), so a reader compares
  // the count with the one it was opened under.
  unsigned TransactionBoundaries() const { return boundaries_; }
  void CrossTransactionBoundary() { ++boundaries_; }

 private:
  EnvHandle env_;  // declared first: freed after the connection
  DbcHandle dbc_;
  bool in_transaction_ = false;
  unsigned boundaries_ = 0;
};

}  // namespace corvanty::rdo
