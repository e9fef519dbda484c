// SPDX-License-Identifier: Apache-2.0
#include "search/postgresextension/postgresboundary.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "connections/rdo.h"

namespace corvanty::postgres {

namespace {
char message_buffer[8192], detail_buffer[4096], hint_buffer[1024];

template <size_t size>
const char* Copy(const std::string& text, char (&buffer)[size]) {
  if (text.empty()) return nullptr;
  const size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return buffer;
}
std::string Text(const char* text) { return text ? text : ""; }
}  // namespace

void ThrowCaughtServerError(MemoryContext context) {
  MemoryContextSwitchTo(context);
  ErrorData* data = CopyErrorData();
  FlushErrorState();
  PostgresError error(data->sqlerrcode, Text(data->message), Text(data->detail), Text(data->hint));
  FreeErrorData(data);
  throw error;
}

CaughtError Describe(const std::exception& error) {
  CaughtError caught;
  if (const auto* server = dynamic_cast<const PostgresError*>(&error)) {
    caught.sqlstate = server->Sqlstate();
    caught.detail = Copy(server->Detail(), detail_buffer);
    caught.hint = Copy(server->Hint(), hint_buffer);
  } else if (dynamic_cast<const std::bad_alloc*>(&error)) {
    caught.sqlstate = ERRCODE_OUT_OF_MEMORY;
  } else if (dynamic_cast<const rdo::DatabaseError*>(&error)) {
    caught.sqlstate = ERRCODE_RAISE_EXCEPTION;
  } else {
    caught.sqlstate = ERRCODE_INTERNAL_ERROR;
  }
  caught.message = Copy(error.what(), message_buffer);
  return caught;
}

CaughtError DescribeUnknown() {
  CaughtError caught;
  caught.sqlstate = ERRCODE_INTERNAL_ERROR;
  caught.message = "the search failed with an error of unknown kind";
  return caught;
}

void Raise(const CaughtError& error) {
  ereport(ERROR, (errcode(error.sqlstate), errmsg("%s", error.message ? error.message : ""),
                  error.detail ? errdetail("%s", error.detail) : 0,
                  error.hint ? errhint("%s", error.hint) : 0));
  pg_unreachable();
}

}  // namespace corvanty::postgres
