// SPDX-License-Identifier: Apache-2.0
// SQLite through its ODBC driver: the same questions asked of sqlite_master
// and pragma_table_info, one statement a call, the guides' T-SQL translated.
#include "connections/serverdialect.h"

namespace corvanty {
namespace {

// SQL Server's date styles as strftime writes them.
struct DateStyle {
  int style;
  const char* format;
};
constexpr DateStyle kDateStyles[] = {
    {101, "%m/%d/%Y"},          {103, "%d/%m/%Y"},          {112, "%Y%m%d"},
    {120, "%Y-%m-%d %H:%M:%S"}, {121, "%Y-%m-%d %H:%M:%f"},  // seconds with milliseconds
};

std::string Cut(const std::string& text, int length) {
  return "substr(" + text + ", 1, " + std::to_string(length) + ")";
}

class Sqlite final : public ServerDialect, public TsqlTranslation {
 public:
  const char* ServerName() const override { return "SQLite"; }
  const char* OptionName() const override { return "sqlite"; }
  // SQLite opens its file only when first asked for something in it: reading
  // the catalogue at once finds a file that is no database or is damaged
  // while the connection can still tell which file that is.
  std::string OpeningStatement() const override { return "SELECT count(*) FROM sqlite_master"; }
  bool OpensDatabaseLazily() const override { return true; }

  // SQLite's own object names compare without regard to case, as the
  // server's default collation does. Index names are left out: on the
  // server they are not objects that could stand in for a table.
  std::string ObjectsNamedQuery(const std::string& name_list) const override {
    return "SELECT name AS Name FROM sqlite_master WHERE type IN ('table', 'view') AND "
           "name COLLATE NOCASE IN (" +
           name_list + ")";
  }
  // In the order they were made, without the hidden tables that hold a
  // virtual table's data.
  std::string UserTablesQuery() const override {
    return "SELECT name AS Name FROM sqlite_master WHERE type = 'table' AND "
           "name NOT LIKE 'sqlite!_%' ESCAPE '!' AND name NOT LIKE 'Db!_Search!_Index!_%' ESCAPE "
           "'!' AND name IN (SELECT name FROM pragma_table_list WHERE schema = 'main' AND type = "
           "'table')";
  }
  // Tables and views only, never SQLite's own; the order is the tables'
  // order of creation, each table's columns in their own order.
  std::string ColumnCatalogueQuery(const std::string& quoted_table_list) const override {
    return "SELECT Tbl.name AS TableName, Col.name AS ColName"
           " FROM sqlite_master Tbl, pragma_table_info(Tbl.name) Col"
           " WHERE Tbl.type IN ('table', 'view') AND Tbl.name NOT LIKE 'sqlite!_%' ESCAPE '!'"
           " AND Tbl.name COLLATE NOCASE IN (" +
           quoted_table_list + ") ORDER BY Tbl.rowid, Col.cid";
  }

  bool RunsBatches() const override { return false; }
  // An AUTOINCREMENT key numbers from 1 again when the table is rebuilt.
  std::vector<std::string> GuideTableStatements(const GuideTableTexts& texts) const override {
    return OneStatementEachTableScript(texts, "INTEGER", " AUTOINCREMENT", "char");
  }
  bool RebuildsTablesInOneTransaction() const override { return false; }
  std::string WrappedSeparatorLiteral(const std::string& quoted_body) const override {
    return "'+' || char(39) || '" + quoted_body + "' || char(39) || '+'";
  }

  const TsqlTranslation* Translation() const override { return this; }
  std::optional<std::string> DateInStyle(const std::string& value, int style,
                                         int length) const override {
    for (const DateStyle& known : kDateStyles)
      if (known.style == style)
        return Cut("strftime('" + std::string(known.format) + "', " + value + ")", length);
    return std::nullopt;
  }
  std::string ConvertToText(std::string_view expression, int length) const override {
    return Cut("CAST(" + std::string(expression) + " AS TEXT)", length);
  }
  std::string ShownValue(std::string_view value) const override {
    return "ifnull(" + std::string(value) + ",'')";
  }
  std::string SearchedValue(std::string_view value) const override { return std::string(value); }
  // Folds case for ASCII letters only, where SQL Server's default
  // collations fold all letters: a known difference.
  LikeSyntax Like() const override { return {"LIKE", ""}; }
  std::optional<QuotedSpan> QuotedSpanAt(std::string_view text, size_t at) const override {
    return BracketingSpan(text, at);
  }
  std::string SearchSessionStatement() const override { return ""; }
  bool SearchesThroughCursor() const override { return false; }

  // The search service is the loadable extension built from the engine's
  // own code: nothing to install in the database.
  SearchServiceForm SearchService() const override { return SearchServiceForm::None; }
  bool GuardsGuideTables() const override { return false; }
  SearchIndexKind SearchIndexes() const override { return SearchIndexKind::Fts5Trigram; }
};

}  // namespace

const ServerDialect& SqliteDialect() {
  static const Sqlite dialect;
  return dialect;
}

}  // namespace corvanty
