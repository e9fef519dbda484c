// SPDX-License-Identifier: Apache-2.0
// Which server a connection reaches and how messages name it: no ODBC here,
// so the SQLite search extension compiles it as the core does.
#include <cctype>
#include <optional>
#include <string>

#include "connections/asciicase.h"
#include "connections/rdo.h"

namespace corvanty::rdo {
namespace {

// True when word occurs in text starting a word ("MySQL Server" is no SQL Server).
bool ContainsWord(const std::string& text, const std::string& word) {
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    unsigned char before = at == 0 ? ' ' : static_cast<unsigned char>(text[at - 1]);
    if (!std::isalnum(before)) return true;
  }
  return false;
}

}  // namespace

std::optional<Dialect> DialectForDbms(const std::string& dbms_name) {
  const std::string name = LowerAscii(dbms_name);
  if (name.rfind("sqlite", 0) == 0) return Dialect::Sqlite;
  if (name.rfind("postgresql", 0) == 0) return Dialect::PostgreSql;
  for (const char* tds_server : {"sql server", "sybase", "adaptive server"})
    if (ContainsWord(name, tds_server)) return Dialect::SqlServer;
  return std::nullopt;
}

const char* ServerName(Dialect dialect) {
  switch (dialect) {
    case Dialect::SqlServer:
      return "SQL Server";
    case Dialect::PostgreSql:
      return "PostgreSQL";
    default:
      return "SQLite";
  }
}

}  // namespace corvanty::rdo
