// SPDX-License-Identifier: Apache-2.0
// Which server a connection reaches, its object, and what the servers'
// objects share.
#include "connections/serverdialect.h"

#include <cctype>

#include "connections/asciicase.h"

namespace corvanty {
namespace {

// True when word occurs in text starting a word ("MySQL Server" is no SQL Server).
bool ContainsWord(const std::string& text, const std::string& word) {
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    unsigned char before = at == 0 ? ' ' : static_cast<unsigned char>(text[at - 1]);
    if (!std::isalnum(before)) return true;
  }
  return false;
}

void ReplaceAll(std::string& text, std::string_view marker, std::string_view piece) {
  for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at))
    text.replace(at, marker.size(), piece);
}

constexpr rdo::Dialect kDialects[] = {rdo::Dialect::SqlServer, rdo::Dialect::Sqlite,
                                      rdo::Dialect::PostgreSql};

}  // namespace

namespace rdo {

std::optional<Dialect> DialectForDbms(const std::string& dbms_name) {
  const std::string name = LowerAscii(dbms_name);
  if (name.rfind("sqlite", 0) == 0) return Dialect::Sqlite;
  if (name.rfind("postgresql", 0) == 0) return Dialect::PostgreSql;
  for (const char* tds_server : {"sql server", "sybase", "adaptive server"})
    if (ContainsWord(name, tds_server)) return Dialect::SqlServer;
  return std::nullopt;
}

const char* ServerName(Dialect dialect) { return ForDialect(dialect).ServerName(); }

}  // namespace rdo

const ServerDialect& ForDialect(rdo::Dialect dialect) {
  switch (dialect) {
    case rdo::Dialect::SqlServer:
      return SqlServerDialect();
    case rdo::Dialect::PostgreSql:
      return PostgresDialect();
    default:
      return SqliteDialect();
  }
}

std::optional<rdo::Dialect> DialectOptionNamed(const std::string& name) {
  for (rdo::Dialect dialect : kDialects)
    if (name == ForDialect(dialect).OptionName()) return dialect;
  return std::nullopt;
}

QuotedSpan DelimitedSpan(std::string_view text, size_t at, size_t body, char close,
                         bool backslash_escapes) {
  for (size_t i = body; i < text.size(); ++i) {
    if (backslash_escapes && text[i] == '\\') {
      ++i;
    } else if (text[i] == close) {
      if (i + 1 < text.size() && text[i + 1] == close) {
        ++i;
        continue;
      }
      return {body - at, i + 1, true};
    }
  }
  return {body - at, text.size(), false};
}

std::optional<QuotedSpan> BracketingSpan(std::string_view text, size_t at) {
  const char c = text[at];
  if (c != '\'' && c != '"' && c != '[') return std::nullopt;
  return DelimitedSpan(text, at, at + 1, c == '[' ? ']' : c, false);
}

std::vector<std::string> OneStatementEachTableScript(const GuideTableTexts& texts,
                                                     std::string_view identity,
                                                     std::string_view autoincrement,
                                                     std::string_view char_function) {
  std::vector<std::string> statements = {"DROP TABLE IF EXISTS " + std::string(texts.name)};
  for (std::string_view create : texts.creates) {
    std::string text(create);
    ReplaceAll(text, "{IDENTITY}", identity);
    ReplaceAll(text, "{AUTOINCREMENT}", autoincrement);
    ReplaceAll(text, "{CHAR}", char_function);
    statements.push_back(std::move(text));
  }
  return statements;
}

}  // namespace corvanty
