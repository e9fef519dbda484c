// SPDX-License-Identifier: Apache-2.0
#pragma once
// Data access over ODBC: one move-only owner per handle, static result sets
// read fully, a forward-only reader that streams, a transaction that rolls
// back unless committed, and the engine-wide error list of the last call.
// Connect strings hold passwords: nothing here ever logs or prints one.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace corvanty::rdo {

// One diagnostic record of a failed (or informational) call.
struct rdoError {
  int32_t Number = 0;       // native error of the server or driver
  std::string Description;  // message text
  int SQLRetcode = 0;       // the call's return code: -1 error, 1 success with information
  std::string SQLState;
};

// The diagnostics of the most recent call, in server order: every call of this
// layer that reaches the database first clears it, then keeps each record of
// that call (errors and informational messages alike). Destructors and Close
// never touch it, so a rollback during unwinding keeps the failing call's
// records. Kept per thread: a search running on a background thread keeps
// its own, and never sees or clears the window thread's.
const std::vector<rdoError>& rdoErrors();

// Thrown by a failing call; carries the same records as rdoErrors().
class DatabaseError : public std::runtime_error {
 public:
  explicit DatabaseError(std::vector<rdoError> errors);  // what(): the descriptions
  const std::vector<rdoError>& Errors() const { return errors_; }

 private:
  std::vector<rdoError> errors_;
};

// The server a connection reaches. What differs between them is asked of
// its dialect object, ForDialect(dialect) (serverdialect.h).
enum class Dialect { SqlServer, Sqlite, PostgreSql };

// The dialect of a server by its SQL_DBMS_NAME: SQL Server and the other
// TDS servers (Sybase, Adaptive Server), SQLite, or PostgreSQL; nullopt for
// any other.
std::optional<Dialect> DialectForDbms(const std::string& dbms_name);

// The server's name as messages give it: "SQL Server", "SQLite", "PostgreSQL".
const char* ServerName(Dialect dialect);

// Sees the text of every statement sent (tests count what reaches the server).
using StatementObserver = std::function<void(const std::string& sql)>;
void SetStatementObserver(StatementObserver observer);

class rdoResultset;
class ForwardReader;
class Transaction;
class OdbcSession;

// What reading a guide and choosing its search path ask of a connection:
// its server and static result sets. The ODBC connection is one; the SQLite
// extension's connection over the calling program's own database is the
// other, so both run the same engine code.
class SqlSession {
 public:
  virtual ~SqlSession() = default;
  virtual Dialect GetDialect() const = 0;
  virtual const std::string& DbmsName() const = 0;
  // A static result set: every row read into memory. Throws DatabaseError.
  virtual rdoResultset OpenResultset(const std::string& sql) = 0;

 protected:
  SqlSession() = default;
  SqlSession(const SqlSession&) = default;
  SqlSession& operator=(const SqlSession&) = default;
};

class rdoConnection : public SqlSession {
 public:
  // Opens by connect string without ever prompting. Throws DatabaseError,
  // also for a server whose dialect is unknown (naming the server).
  static rdoConnection Open(const std::string& connect);

  rdoConnection(rdoConnection&&) noexcept;
  rdoConnection& operator=(rdoConnection&&) noexcept;
  ~rdoConnection() override;

  Dialect GetDialect() const override;
  const std::string& DbmsName() const override;

  // Sends the text directly. Throws DatabaseError on failure, also for a
  // later statement of a batch. A statement that touched no row is success.
  void Execute(const std::string& sql);
  // The same, with errors trapped: false on failure, records in rdoErrors().
  bool TryExecute(const std::string& sql);

  // A static result set: every row read into memory. Throws on failure.
  rdoResultset OpenResultset(const std::string& sql) override;
  // Rows one at a time, never all in memory. Throws on failure. The reader
  // lives within the transaction state it was opened in: once a transaction
  // begins or ends on this connection, its Fetch throws.
  ForwardReader OpenForwardOnly(const std::string& sql);

  // Manual commit from now until the transaction object ends. Throws
  // DatabaseError, also when a transaction is already open here.
  Transaction BeginTrans();

  // Releases the connection; a reader or transaction still alive keeps the
  // server connection until it ends. Work never committed is rolled back.
  void Close() noexcept;

 private:
  struct Impl;
  explicit rdoConnection(std::unique_ptr<Impl> impl);
  OdbcSession& Live();  // the open session; throws DatabaseError once closed
  std::unique_ptr<Impl> impl_;
};

class rdoResultset {
 public:
  rdoResultset() = default;
  // Rows read elsewhere (another connection's static result set).
  rdoResultset(std::vector<std::string> names,
               std::vector<std::vector<std::optional<std::string>>> rows)
      : names_(std::move(names)), rows_(std::move(rows)) {}
  bool IsEOF() const;  // true when no current row remains (at once when empty)
  void MoveNext();     // past the last row it stays at the end
  void MoveFirst();
  void MoveLast();
  long RowCount() const;  // the number of rows (valid after MoveLast)
  // Column of the current row by name, case-insensitive; nullopt for NULL.
  // Throws std::out_of_range for an unknown name or when there is no row.
  std::optional<std::string> Value(const std::string& column) const;
  std::string Text(const std::string& column) const;  // NULL reads as ""
  // NULL reads as 0, a fraction rounds half to even. Throws
  // std::invalid_argument for text that is no number, std::out_of_range
  // beyond 32 bits.
  int32_t Int(const std::string& column) const;
  const std::vector<std::string>& ColumnNames() const { return names_; }
  void Close() noexcept;

 private:
  friend class rdoConnection;
  size_t Index(const std::string& column) const;
  std::vector<std::string> names_;
  std::vector<std::vector<std::optional<std::string>>> rows_;
  size_t current_ = 0;
};

class ForwardReader {
 public:
  ForwardReader(ForwardReader&&) noexcept;
  ForwardReader& operator=(ForwardReader&&) noexcept;
  ~ForwardReader();
  // Advances to the next row; false at the end. Throws on failure.
  bool Fetch();
  // Column of the current row by position (0-based); nullopt for NULL.
  // Throws std::out_of_range for a bad position or when there is no row.
  std::optional<std::string> Value(size_t index) const;
  const std::vector<std::string>& ColumnNames() const;

 private:
  friend class rdoConnection;
  struct Impl;
  explicit ForwardReader(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

class Transaction {
 public:
  Transaction(Transaction&&) noexcept;
  Transaction& operator=(Transaction&&) = delete;
  ~Transaction();  // rolls back unless committed, then commits automatically again
  // Makes the work permanent and ends manual commit. Throws DatabaseError
  // (the transaction stays open and rolls back at its end), also once ended.
  void Commit();

 private:
  friend class rdoConnection;
  explicit Transaction(std::shared_ptr<OdbcSession> session);
  std::shared_ptr<OdbcSession> session_;  // empty once ended or moved from
};

}  // namespace corvanty::rdo
