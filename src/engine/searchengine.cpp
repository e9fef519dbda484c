#include "engine/searchengine.h"

#include "engine/guideloader.h"

namespace corvanty {

void ThrowSearchError(const std::string& message) {
  throw rdo::DatabaseError({rdo::rdoError{0, message, -1, ""}});
}

SearchRun::SearchRun(rdo::rdoConnection connection, std::vector<GuideStatement> statements)
    : connection_(std::move(connection)), statements_(std::move(statements)) {}

std::optional<SearchResult> SearchRun::Next() {
  while (true) {
    if (!reader_) {
      if (next_statement_ == statements_.size()) return std::nullopt;
      reader_.emplace(connection_.OpenForwardOnly(statements_[next_statement_++].SQL));
    }
    if (reader_->Fetch()) {
      SearchResult result;
      result.ResultList = reader_->Value(0).value_or("");
      result.IDColumn = reader_->Value(1).value_or("");
      result.DSG_ID = std::stoi(reader_->Value(2).value_or("0"));
      return result;
    }
    reader_.reset();
  }
}

std::unique_ptr<SearchRun> StartSearch(const std::string& connect,
                                       const std::vector<int32_t>& guide_ids,
                                       const std::string& criteria) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
  // On SQL Server a NULL shown value must add empty text, not empty the
  // whole result text; the SQLite rendering takes care of it itself.
  if (connection.GetDialect() == rdo::Dialect::SqlServer)
    connection.Execute("SET CONCAT_NULL_YIELDS_NULL OFF");
  SearchStatements generated = GenerateSearchStatements(LoadGuideDefinitions(connection, guide_ids),
                                                        criteria, connection.GetDialect());
  if (!generated.Error.empty()) ThrowSearchError(generated.Error);
  for (const GuideStatement& statement : generated.Guides)
    if (!statement.Error.empty()) ThrowSearchError(statement.Error);
  return std::make_unique<SearchRun>(std::move(connection), std::move(generated.Guides));
}

}  // namespace corvanty
