// SPDX-License-Identifier: Apache-2.0
// PostgreSQL through psqlODBC: catalogue questions on information_schema,
// identity columns, text casts and ILIKE in search statements, its own
// quoting (E'' strings, dollar quotes), and the search service and trigram
// indexes it keeps.
#include <cctype>

#include "connections/serverdialect.h"

namespace corvanty {
namespace {

// PostgreSQL folds unquoted names to lower case, so the guide tables made
// from the scripts are db_search_guides and so on; names are compared in
// lower case on both sides. Its own schemas are never asked. The catalogue's
// columns are of its own domains, for which no built-in function or operator
// is an exact match: each names pg_catalog, or one another role made for
// those exact types in a schema of the user's path would be chosen.
std::string NameIn(const std::string& column, const std::string& name_list) {
  return "pg_catalog.lower(CAST(" + column +
         " AS pg_catalog.text)) IN (SELECT pg_catalog.lower(pg_catalog.unnest(ARRAY[" + name_list +
         "])))";
}
const char* const kCurrentSchema =
    "table_schema OPERATOR(pg_catalog.=) pg_catalog.current_schema() AND CAST(table_schema AS "
    "pg_catalog.text) NOT IN ('pg_catalog', 'information_schema')";
// The order the tables were made in, as SQLite lists them.
const char* const kCreationOrder =
    "pg_catalog.format('%I.%I', CAST(table_schema AS pg_catalog.text), CAST(table_name AS "
    "pg_catalog.text))::regclass::oid";

// SQL Server's date styles as to_char writes them.
struct DateStyle {
  int style;
  const char* format;
};
constexpr DateStyle kDateStyles[] = {
    {101, "MM/DD/YYYY"},
    {103, "DD/MM/YYYY"},
    {112, "YYYYMMDD"},
    {120, "YYYY-MM-DD HH24:MI:SS"},
    {121, "YYYY-MM-DD HH24:MI:SS.MS"},  // seconds with milliseconds
};

std::string Cut(const std::string& text, int length) {
  return "substr(" + text + ", 1, " + std::to_string(length) + ")";
}
std::string CastToText(std::string_view value) {
  return "CAST(" + std::string(value) + " AS text)";
}

// Characters that continue an identifier, keyword or number: an E or a $
// after one of them starts no string. (After a digit the server would start
// a dollar quote, but a number followed by a string is no valid SQL, so
// reading it as unquoted only refuses more.)
bool ContinuesWord(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool StartsTag(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// The dollar-quote delimiter ($$ or $tag$) starting at `at`, or "" when
// there is none (a $1 parameter, a $ inside a word).
std::string_view DollarTag(std::string_view text, size_t at) {
  if (text[at] != '$' || (at > 0 && ContinuesWord(text[at - 1]))) return {};
  size_t i = at + 1;
  if (i < text.size() && StartsTag(text[i]))
    while (i < text.size() && (ContinuesWord(text[i]) && text[i] != '$')) ++i;
  if (i < text.size() && text[i] == '$') return text.substr(at, i + 1 - at);
  return {};
}

class Postgres final : public ServerDialect, public TsqlTranslation {
 public:
  const char* ServerName() const override { return "PostgreSQL"; }
  const char* OptionName() const override { return "postgresql"; }
  // PostgreSQL reads a backslash in a string literal as an escape unless
  // standard_conforming_strings is on, its default. Texts are placed in
  // literals with their apostrophes doubled and nothing else, so the session
  // is made sure to read them as they stand. Set by a query, which a data
  // source marked read-only still lets through, where it refuses SET.
  std::string OpeningStatement() const override {
    return "SELECT pg_catalog.set_config('standard_conforming_strings', 'on', false)";
  }
  bool OpensDatabaseLazily() const override { return false; }

  // Tables and views of the current schema.
  std::string ObjectsNamedQuery(const std::string& name_list) const override {
    return std::string("SELECT table_name AS Name FROM information_schema.tables WHERE ") +
           kCurrentSchema + " AND " + NameIn("table_name", name_list);
  }
  // The base tables of the current schema in the order they were made.
  std::string UserTablesQuery() const override {
    return std::string("SELECT table_name AS Name FROM information_schema.tables WHERE ") +
           kCurrentSchema + " AND CAST(table_type AS pg_catalog.text) = 'BASE TABLE' ORDER BY " +
           kCreationOrder;
  }
  std::string ColumnCatalogueQuery(const std::string& quoted_table_list) const override {
    return std::string(
               "SELECT table_name AS TableName, column_name AS ColName"
               " FROM information_schema.columns WHERE ") +
           kCurrentSchema + " AND " + NameIn("table_name", quoted_table_list) + " ORDER BY " +
           kCreationOrder + ", ordinal_position";
  }

  bool RunsBatches() const override { return false; }
  // An identity column numbers from 1 again when the table is rebuilt.
  std::vector<std::string> GuideTableStatements(const GuideTableTexts& texts) const override {
    return OneStatementEachTableScript(texts, "int GENERATED BY DEFAULT AS IDENTITY", "", "chr");
  }
  bool RebuildsTablesInOneTransaction() const override { return true; }
  std::string WrappedSeparatorLiteral(const std::string& quoted_body) const override {
    return "'+' || chr(39) || '" + quoted_body + "' || chr(39) || '+'";
  }

  const TsqlTranslation* Translation() const override { return this; }
  // The value is read as a date and time: these styles are what a guide
  // converts dates with.
  std::optional<std::string> DateInStyle(const std::string& value, int style,
                                         int length) const override {
    for (const DateStyle& known : kDateStyles)
      if (known.style == style)
        return Cut("to_char(CAST(" + value + " AS timestamp), '" + std::string(known.format) + "')",
                   length);
    return std::nullopt;
  }
  std::string ConvertToText(std::string_view expression, int length) const override {
    return Cut(CastToText(expression), length);
  }
  // coalesce takes text only beside text, so the value is made text first.
  std::string ShownValue(std::string_view value) const override {
    return "coalesce(" + CastToText(value) + ", '')";
  }
  // Matched as text only (a no-op for a text column).
  std::string SearchedValue(std::string_view value) const override { return CastToText(value); }
  // Its LIKE tells case apart and takes a backslash as its escape: ILIKE
  // with no escape character instead.
  LikeSyntax Like() const override { return {"ILIKE", " ESCAPE ''"}; }
  // As the server reads quotes with standard_conforming_strings on, which
  // the tool sets: brackets quote nothing here.
  std::optional<QuotedSpan> QuotedSpanAt(std::string_view text, size_t at) const override {
    const char c = text[at];
    if (c == '\'') return DelimitedSpan(text, at, at + 1, '\'', false);
    if (c == '"') return DelimitedSpan(text, at, at + 1, '"', false);
    if ((c == 'E' || c == 'e') && at + 1 < text.size() && text[at + 1] == '\'' &&
        (at == 0 || !ContinuesWord(text[at - 1])))
      return DelimitedSpan(text, at, at + 2, '\'', true);
    if (const std::string_view tag = DollarTag(text, at); !tag.empty()) {
      const size_t close = text.find(tag, at + tag.size());
      if (close == std::string_view::npos) return QuotedSpan{tag.size(), text.size(), false};
      return QuotedSpan{tag.size(), close + tag.size(), true};
    }
    return std::nullopt;
  }
  std::string SearchSessionStatement() const override { return ""; }
  // Every search statement is sent as data to a cursor the server opens
  // for it, so that it accepts one statement only.
  bool SearchesThroughCursor() const override { return true; }

  SearchServiceForm SearchService() const override { return SearchServiceForm::VersionedFunctions; }
  bool GuardsGuideTables() const override { return true; }
  SearchIndexKind SearchIndexes() const override { return SearchIndexKind::PgTrigram; }
};

}  // namespace

const ServerDialect& PostgresDialect() {
  static const Postgres dialect;
  return dialect;
}

}  // namespace corvanty
