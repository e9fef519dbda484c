// SPDX-License-Identifier: Apache-2.0
// SQL Server (and the other TDS servers): the statement texts as given, the
// guides' T-SQL run as stored, one batch a text.
#include "connections/serverdialect.h"

namespace corvanty {
namespace {

class SqlServer final : public ServerDialect {
 public:
  const char* ServerName() const override { return "SQL Server"; }
  const char* OptionName() const override { return "mssql"; }
  std::string OpeningStatement() const override { return ""; }
  bool OpensDatabaseLazily() const override { return false; }

  std::string ObjectsNamedQuery(const std::string& name_list) const override {
    return "SELECT Name FROM SysObjects WHERE Name IN (" + name_list + ")";
  }
  std::string UserTablesQuery() const override {
    return "SELECT Name FROM SysObjects WHERE Type = 'U'";
  }
  std::string ColumnCatalogueQuery(const std::string& quoted_table_list) const override {
    return "SELECT Tbl.Name TableName, Col.Name ColName"
           " FROM SysObjects Tbl, SysColumns Col"
           " WHERE Tbl.ID = Col.ID"
           " AND Tbl.Name IN (" +
           quoted_table_list + ")";
  }

  bool RunsBatches() const override { return true; }
  std::vector<std::string> GuideTableStatements(const GuideTableTexts& texts) const override {
    return {texts.batch};
  }
  bool RebuildsTablesInOneTransaction() const override { return false; }
  std::string WrappedSeparatorLiteral(const std::string& quoted_body) const override {
    return "'+' + CHAR(39) + '" + quoted_body + "' + CHAR(39) + '+'";
  }

  const TsqlTranslation* Translation() const override { return nullptr; }
  std::string ConvertToText(std::string_view expression, int length) const override {
    return "CONVERT(varchar(" + std::to_string(length) + ")," + std::string(expression) + ")";
  }
  // The search runs with CONCAT_NULL_YIELDS_NULL OFF (SearchSessionStatement),
  // so a NULL value adds nothing to the text as it stands.
  std::string ShownValue(std::string_view value) const override { return std::string(value); }
  std::string SearchedValue(std::string_view value) const override { return std::string(value); }
  LikeSyntax Like() const override { return {"LIKE", ""}; }
  std::optional<QuotedSpan> QuotedSpanAt(std::string_view text, size_t at) const override {
    return BracketingSpan(text, at);
  }
  std::string SearchSessionStatement() const override { return "SET CONCAT_NULL_YIELDS_NULL OFF"; }
  bool SearchesThroughCursor() const override { return false; }

  SearchServiceForm SearchService() const override { return SearchServiceForm::Procedure; }
  bool GuardsGuideTables() const override { return false; }
  SearchIndexKind SearchIndexes() const override { return SearchIndexKind::None; }
};

}  // namespace

const ServerDialect& SqlServerDialect() {
  static const SqlServer dialect;
  return dialect;
}

}  // namespace corvanty
