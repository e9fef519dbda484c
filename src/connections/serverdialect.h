// SPDX-License-Identifier: Apache-2.0
#pragma once
// What differs between the servers the tool works on, asked of one object
// per server: its name, what a connection sends when it opens, catalogue
// queries, guide table scripts, how a search statement writes values, casts
// and LIKE, how the server reads quotes, and which search service and search
// index it keeps. Everything else is the same text on every server, and
// nothing outside the servers' own files (sqlserverdialect.cpp,
// sqlitedialect.cpp, postgresdialect.cpp) asks which server it is: callers
// take the object for a connection's dialect and ask it. Pure text: no
// ODBC here, so the SQLite search extension compiles it as the core does.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

// A quoted span of SQL text: the length of its opening quote, where it ends
// (one past its closing quote) and whether a closing quote was found before
// the text ended.
struct QuotedSpan {
  size_t opening = 0;
  size_t end = 0;
  bool closed = false;
};

// How a searched value is matched: value keyword '%pattern%' after.
struct LikeSyntax {
  std::string_view keyword;
  std::string_view after;
};

// The search service the tool installs in a database, if any.
enum class SearchServiceForm {
  None,               // searched by the built-in engine (or the SQLite extension)
  Procedure,          // a stored procedure, dropped and created as batches
  VersionedFunctions  // functions created or replaced in one transaction, with a version mark
};

// The search indexes a database keeps for its guides, if any.
enum class SearchIndexKind {
  None,
  Fts5Trigram,  // an FTS5 table per guide, kept by triggers
  PgTrigram     // pg_trgm indexes on the guide's searched columns, kept by the server
};

// A guide table's build texts as given: SQL Server's script, one batch that
// drops and creates it, and the CREATE statements the servers without
// batches are sent, with the pieces they write differently as markers:
// {IDENTITY} (an identity column's type), {AUTOINCREMENT} (after its PRIMARY
// KEY) and {CHAR} (the function making a character from its code).
struct GuideTableTexts {
  std::string_view name;
  std::string batch;
  const std::vector<std::string_view>& creates;
};

// How a server that cannot run a guide's stored T-SQL as it stands writes
// the pieces the translation needs.
class TsqlTranslation {
 public:
  virtual ~TsqlTranslation() = default;
  // A date and time value as text in one of SQL Server's date styles (101,
  // 103, 112, 120, 121), cut to length characters; nullopt for any other
  // style.
  virtual std::optional<std::string> DateInStyle(const std::string& value, int style,
                                                 int length) const = 0;
};

class ServerDialect {
 public:
  virtual ~ServerDialect() = default;

  // The server as messages name it: "SQL Server", "SQLite", "PostgreSQL".
  virtual const char* ServerName() const = 0;
  // Its name for the command line's --dialect option: mssql, sqlite, postgresql.
  virtual const char* OptionName() const = 0;

  // A statement sent as soon as a connection opens, before anything else;
  // empty for none.
  virtual std::string OpeningStatement() const = 0;
  // Whether the database is opened only by that first statement (a file
  // that is no database is found there), so that its failure is reported
  // with what the ODBC configuration says of the data source.
  virtual bool OpensDatabaseLazily() const = 0;

  // Names (column "Name") of the objects named in name_list (names each
  // between apostrophes, separated by commas) that exist and could stand
  // for a table, compared without regard to case where the server does.
  virtual std::string ObjectsNamedQuery(const std::string& name_list) const = 0;
  // Names (column "Name") of the database's user tables, in the server's
  // order, without the server's own tables and the search indexes'.
  virtual std::string UserTablesQuery() const = 0;
  // Every column of the catalogue objects named in quoted_table_list, as
  // rows of TableName and ColName, names compared without regard to case.
  virtual std::string ColumnCatalogueQuery(const std::string& quoted_table_list) const = 0;

  // Whether one text sent may hold several statements (SQL Server's
  // batches); every other server is sent one statement a call.
  virtual bool RunsBatches() const = 0;
  // The statements that drop a guide table if present and create it anew.
  virtual std::vector<std::string> GuideTableStatements(const GuideTableTexts& texts) const = 0;
  // Whether a guide table is dropped and created in one transaction even
  // when no other work follows, so that a failure leaves the old table.
  virtual bool RebuildsTablesInOneTransaction() const = 0;
  // The literal the columns editor writes for a stored separator made of a
  // plus sign, an apostrophe, body, an apostrophe and a plus sign.
  // quoted_body is body with its apostrophes already doubled.
  virtual std::string WrappedSeparatorLiteral(const std::string& quoted_body) const = 0;

  // Guides store T-SQL: nullptr when the server runs it as stored,
  // otherwise how it writes what the translation needs.
  virtual const TsqlTranslation* Translation() const = 0;
  // The expression converted to text cut to length characters.
  virtual std::string ConvertToText(std::string_view expression, int length) const = 0;
  // A value in the result text, adding nothing to it when NULL.
  virtual std::string ShownValue(std::string_view value) const = 0;
  // A value matched against the criteria.
  virtual std::string SearchedValue(std::string_view value) const = 0;
  virtual LikeSyntax Like() const = 0;
  // The span of quoted text starting at `at` as the server reads it;
  // nullopt when none starts there.
  virtual std::optional<QuotedSpan> QuotedSpanAt(std::string_view text, size_t at) const = 0;
  // A statement a search connection sends before its searches; empty for none.
  virtual std::string SearchSessionStatement() const = 0;
  // Whether each search statement is sent as data to a cursor the server
  // opens for it (so that it runs one statement only), within a transaction.
  virtual bool SearchesThroughCursor() const = 0;

  virtual SearchServiceForm SearchService() const = 0;
  // Whether the guide tables' writers decide what runs under the rights of
  // every caller of the search service, so that the readiness check takes
  // PUBLIC's rights to write them away and names every other writer.
  virtual bool GuardsGuideTables() const = 0;
  virtual SearchIndexKind SearchIndexes() const = 0;
};

// The object for a dialect.
const ServerDialect& ForDialect(rdo::Dialect dialect);

// The search indexes the server of a connection keeps.
inline SearchIndexKind SearchIndexesOf(const rdo::SqlSession& connection) {
  return ForDialect(connection.GetDialect()).SearchIndexes();
}

// The dialect whose OptionName() is name; nullopt for none.
std::optional<rdo::Dialect> DialectOptionNamed(const std::string& name);

// Each server's object, for what is made for one server only (its search
// index's statements).
const ServerDialect& SqlServerDialect();
const ServerDialect& SqliteDialect();
const ServerDialect& PostgresDialect();

// What the servers' objects share. A span closed by `close`, in which a
// doubled `close` stands for one and, when backslash_escapes, a backslash
// takes the character after it; body is where its text starts.
QuotedSpan DelimitedSpan(std::string_view text, size_t at, size_t body, char close,
                         bool backslash_escapes);
// Quotes as SQL Server and SQLite read them: apostrophes, double quotes and
// brackets.
std::optional<QuotedSpan> BracketingSpan(std::string_view text, size_t at);
// DROP TABLE IF EXISTS and the CREATE statements, their markers written as
// given.
std::vector<std::string> OneStatementEachTableScript(const GuideTableTexts& texts,
                                                     std::string_view identity,
                                                     std::string_view autoincrement,
                                                     std::string_view char_function);

}  // namespace corvanty
