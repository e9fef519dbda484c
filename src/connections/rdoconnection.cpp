// SPDX-License-Identifier: Apache-2.0
#include <sqlext.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "connections/connectstring.h"
#include "connections/datasourcecheck.h"
#include "connections/forwardreaderimpl.h"
#include "connections/odbccursor.h"
#include "connections/odbcdiagnostics.h"
#include "connections/odbchandles.h"
#include "connections/rdo.h"
#include "connections/serverdialect.h"

namespace corvanty::rdo {

struct rdoConnection::Impl {
  std::shared_ptr<OdbcSession> session;  // empty once closed
  Dialect dialect{};                     // set once the server is known
  std::string dbms_name;
};

namespace {

StatementObserver& Observer() {
  static StatementObserver observer;
  return observer;
}

std::string DbmsNameOf(SQLHDBC dbc) {
  std::vector<SQLCHAR> name(256);
  SQLSMALLINT length = 0;
  for (;;) {
    SQLRETURN rc =
        SQLGetInfo(dbc, SQL_DBMS_NAME, name.data(), static_cast<SQLSMALLINT>(name.size()), &length);
    Check(rc, SQL_HANDLE_DBC, dbc);
    if (length < static_cast<SQLSMALLINT>(name.size()))
      return std::string(reinterpret_cast<const char*>(name.data()), length);
    name.resize(static_cast<size_t>(length) + 1);
  }
}

StmtHandle ExecuteDirect(OdbcSession& session, const std::string& sql) {
  if (Observer()) Observer()(sql);
  StmtHandle stmt = AllocateStatement(session.Dbc());
  SQLRETURN rc =
      SQLExecDirect(stmt.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.data())),
                    static_cast<SQLINTEGER>(sql.size()));
  Check(rc, SQL_HANDLE_STMT, stmt.Get());  // SQL_NO_DATA (no row touched) passes
  return stmt;
}

SQLCHAR* Chars(const std::string& text) {
  return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.data()));
}
SQLCHAR* Chars(const std::optional<std::string>& text) { return text ? Chars(*text) : nullptr; }
bool FitsConnectCall(const std::string& text) {
  return text.size() <= static_cast<size_t>(std::numeric_limits<SQLSMALLINT>::max());
}
bool FitsConnectCall(const std::optional<std::string>& text) {
  return !text || FitsConnectCall(*text);
}
SQLSMALLINT Length(const std::string& text) { return static_cast<SQLSMALLINT>(text.size()); }
SQLSMALLINT Length(const std::optional<std::string>& text) { return text ? Length(*text) : 0; }

// Adds what the ODBC configuration tells about a data source that failed.
void AddDataSourceReport(const std::string& dsn, bool read_failed) {
  const std::vector<rdoError>& errors = rdoErrors();
  bool unknown = std::any_of(errors.begin(), errors.end(),
                             [](const rdoError& error) { return error.SQLState == "IM002"; });
  std::string report = DataSourceNameProblem(dsn);
  if (report.empty())
    report = unknown ? UnknownDataSourceReport(dsn) : DatabaseFileReport(dsn, read_failed);
  if (!report.empty()) AddError(report);
}

// Sends the server's opening statement. Where it is what opens the
// database, a failure is reported with what the ODBC configuration tells
// of the data source, while the connection can still tell which it is.
void SendOpeningStatement(OdbcSession& session, const ServerDialect& server,
                          const std::string& dsn) {
  const std::string statement = server.OpeningStatement();
  if (statement.empty()) return;
  StmtHandle stmt = AllocateStatement(session.Dbc());
  SQLRETURN rc =
      SQLExecDirect(stmt.Get(), Chars(statement), static_cast<SQLINTEGER>(statement.size()));
  if (!server.OpensDatabaseLazily()) {
    Check(rc, SQL_HANDLE_STMT, stmt.Get());
    return;
  }
  if (SQL_SUCCEEDED(rc)) return;
  AddDiagnostics(SQL_HANDLE_STMT, stmt.Get(), rc);
  AddDataSourceReport(dsn, true);
  ThrowErrors();
}

// A batch reports a later statement's failure only when its result is reached.
void ReadRemainingResults(SQLHSTMT stmt) {
  for (SQLRETURN rc = SQLMoreResults(stmt); rc != SQL_NO_DATA; rc = SQLMoreResults(stmt))
    Check(rc, SQL_HANDLE_STMT, stmt);
}

}  // namespace

void SetStatementObserver(StatementObserver observer) { Observer() = std::move(observer); }

rdoConnection rdoConnection::Open(const std::string& connect) {
  ClearErrors();
  std::optional<ConnectValues> values = ParseConnectString(connect);
  if (!values) {
    AddError(
        "The connect string may hold only a data source name, a login and a password "
        "(DSN=…;UID=…;PWD=…;).");
    ThrowErrors();
  }
  if (!FitsConnectCall(values->dsn) || !FitsConnectCall(values->uid) ||
      !FitsConnectCall(values->pwd)) {
    AddError("A data source name, login or password is too long to pass to the driver.");
    ThrowErrors();
  }
  EnvHandle env = AllocateEnvironment();
  DbcHandle dbc = AllocateConnection(env);
  SQLRETURN rc = SQLConnect(dbc.Get(), Chars(values->dsn), Length(values->dsn), Chars(values->uid),
                            Length(values->uid), Chars(values->pwd), Length(values->pwd));
  if (!SQL_SUCCEEDED(rc)) {
    // The driver manager may leave its refusal on the environment instead.
    if (AddDiagnostics(SQL_HANDLE_DBC, dbc.Get(), rc) == 0 &&
        AddDiagnostics(SQL_HANDLE_ENV, env.Get(), rc) == 0)
      AddError("The connection could not be opened.");
    AddDataSourceReport(values->dsn, false);
    ThrowErrors();
  }
  Check(rc, SQL_HANDLE_DBC, dbc.Get());

  auto impl = std::make_unique<Impl>();
  impl->session = std::make_shared<OdbcSession>(std::move(env), std::move(dbc));
  impl->dbms_name = DbmsNameOf(impl->session->Dbc());
  std::optional<Dialect> dialect = DialectForDbms(impl->dbms_name);
  if (!dialect) {
    impl->session.reset();  // closes it before anything is sent
    ClearErrors();
    AddError("The database server '" + impl->dbms_name + "' is not supported.");
    ThrowErrors();
  }
  impl->dialect = *dialect;
  SendOpeningStatement(*impl->session, ForDialect(impl->dialect), values->dsn);
  return rdoConnection(std::move(impl));
}

rdoConnection::rdoConnection(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
rdoConnection::rdoConnection(rdoConnection&&) noexcept = default;
rdoConnection& rdoConnection::operator=(rdoConnection&&) noexcept = default;
rdoConnection::~rdoConnection() = default;

Dialect rdoConnection::GetDialect() const { return impl_->dialect; }
const std::string& rdoConnection::DbmsName() const { return impl_->dbms_name; }

OdbcSession& rdoConnection::Live() {
  if (!impl_ || !impl_->session) {
    AddError("The connection is closed.");
    ThrowErrors();
  }
  return *impl_->session;
}

void rdoConnection::Execute(const std::string& sql) {
  ClearErrors();
  StmtHandle stmt = ExecuteDirect(Live(), sql);
  ReadRemainingResults(stmt.Get());
}

bool rdoConnection::TryExecute(const std::string& sql) {
  try {
    Execute(sql);
    return true;
  } catch (const DatabaseError&) {
    return false;
  }
}

rdoResultset rdoConnection::OpenResultset(const std::string& sql) {
  ClearErrors();
  StmtHandle stmt = ExecuteDirect(Live(), sql);
  CursorReader cursor(stmt.Get());
  rdoResultset result;
  result.names_ = cursor.Names();
  Row row;
  while (cursor.Fetch(row)) result.rows_.push_back(std::move(row));
  return result;
}

ForwardReader rdoConnection::OpenForwardOnly(const std::string& sql) {
  ClearErrors();
  OdbcSession& session = Live();
  StmtHandle stmt = ExecuteDirect(session, sql);
  return ForwardReader(std::make_unique<ForwardReader::Impl>(impl_->session, std::move(stmt)));
}

Transaction rdoConnection::BeginTrans() {
  ClearErrors();
  OdbcSession& session = Live();
  if (session.InTransaction()) {
    AddError("A transaction is already open on this connection.");
    ThrowErrors();
  }
  session.CrossTransactionBoundary();
  Check(SQLSetConnectAttr(session.Dbc(), SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), SQL_IS_UINTEGER),
        SQL_HANDLE_DBC, session.Dbc());
  session.SetInTransaction(true);
  return Transaction(impl_->session);
}

void rdoConnection::Close() noexcept {
  if (impl_) impl_->session.reset();
}

}  // namespace corvanty::rdo
