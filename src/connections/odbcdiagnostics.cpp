// SPDX-License-Identifier: Apache-2.0
#include "connections/odbcdiagnostics.h"

#include <sqlext.h>

#include <utility>
#include <vector>

namespace corvanty::rdo {
namespace {

constexpr int kErrorRetcode = -1;
constexpr int kInfoRetcode = 1;

std::vector<rdoError>& ErrorList() {
  thread_local std::vector<rdoError> errors;
  return errors;
}

// One record, its message grown to whatever length the driver reports.
bool ReadRecord(SQLSMALLINT handle_type, SQLHANDLE handle, SQLSMALLINT number, rdoError& error) {
  SQLCHAR state[6] = {};
  SQLINTEGER native = 0;
  std::vector<SQLCHAR> message(SQL_MAX_MESSAGE_LENGTH);
  SQLSMALLINT length = 0;
  for (;;) {
    SQLRETURN rc = SQLGetDiagRec(handle_type, handle, number, state, &native, message.data(),
                                 static_cast<SQLSMALLINT>(message.size()), &length);
    if (!SQL_SUCCEEDED(rc)) return false;
    if (length < static_cast<SQLSMALLINT>(message.size())) break;
    message.resize(static_cast<size_t>(length) + 1);
  }
  error.Number = native;
  error.Description.assign(reinterpret_cast<const char*>(message.data()), length);
  error.SQLState = reinterpret_cast<const char*>(state);
  return true;
}

}  // namespace

const std::vector<rdoError>& rdoErrors() { return ErrorList(); }

void ClearErrors() { ErrorList().clear(); }

void AddError(const std::string& description) {
  rdoError error;
  error.Description = description;
  error.SQLRetcode = kErrorRetcode;
  ErrorList().push_back(std::move(error));
}

size_t AddDiagnostics(SQLSMALLINT handle_type, SQLHANDLE handle, SQLRETURN rc) {
  if (handle == SQL_NULL_HANDLE) return 0;
  size_t count = 0;
  rdoError error;
  while (ReadRecord(handle_type, handle, static_cast<SQLSMALLINT>(count + 1), error)) {
    error.SQLRetcode = rc == SQL_SUCCESS_WITH_INFO ? kInfoRetcode : kErrorRetcode;
    ErrorList().push_back(error);
    ++count;
  }
  return count;
}

void ThrowErrors() { throw DatabaseError(ErrorList()); }

void Check(SQLRETURN rc, SQLSMALLINT handle_type, SQLHANDLE handle) {
  if (rc == SQL_SUCCESS || rc == SQL_NO_DATA) return;
  if (rc == SQL_SUCCESS_WITH_INFO) {
    AddDiagnostics(handle_type, handle, rc);
    return;
  }
  // A failure never leaves the list empty: callers report from it.
  if (AddDiagnostics(handle_type, handle, rc) == 0)
    AddError("The ODBC call failed with return code " + std::to_string(rc) + ".");
  ThrowErrors();
}

}  // namespace corvanty::rdo
