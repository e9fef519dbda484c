// SPDX-License-Identifier: Apache-2.0
#include "connections/odbchandles.h"

#include <sqlext.h>

#include "connections/odbcdiagnostics.h"

namespace corvanty::rdo {

EnvHandle AllocateEnvironment() {
  SQLHANDLE env = SQL_NULL_HANDLE;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) {
    AddError("The ODBC driver manager could not make an environment.");
    ThrowErrors();
  }
  EnvHandle owner(env);
  Check(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
        SQL_HANDLE_ENV, env);
  return owner;
}

DbcHandle AllocateConnection(const EnvHandle& env) {
  SQLHANDLE dbc = SQL_NULL_HANDLE;
  Check(SQLAllocHandle(SQL_HANDLE_DBC, env.Get(), &dbc), SQL_HANDLE_ENV, env.Get());
  return DbcHandle(dbc);
}

StmtHandle AllocateStatement(SQLHDBC dbc) {
  SQLHANDLE stmt = SQL_NULL_HANDLE;
  Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_HANDLE_DBC, dbc);
  return StmtHandle(stmt);
}

OdbcSession::~OdbcSession() {
  SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_ROLLBACK);
  SQLDisconnect(dbc_.Get());
}

}  // namespace corvanty::rdo
