// SPDX-License-Identifier: Apache-2.0
#include "search/searchengine.h"

#include "connections/serverdialect.h"
#include "index/searchindexbuild.h"
#include "statements/guideloader.h"

namespace corvanty {

void ThrowSearchError(const std::string& message) {
  throw rdo::DatabaseError({rdo::rdoError{0, message, -1, ""}});
}

SearchRun::SearchRun(rdo::rdoConnection connection, std::vector<GuideStatement> statements,
                     std::vector<SearchPath> paths)
    : connection_(std::move(connection)),
      statements_(std::move(statements)),
      paths_(std::move(paths)) {
  if (ForDialect(connection_.GetDialect()).SearchesThroughCursor())
    transaction_.emplace(connection_.BeginTrans());
}

std::optional<SearchResult> SearchRun::Next() {
  while (true) {
    if (!reader_) {
      if (next_statement_ == statements_.size()) return std::nullopt;
      reader_ = OpenStatementRows(connection_, statements_[next_statement_].SQL, next_statement_);
      ++next_statement_;
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

PlannedSearch PlanSearch(rdo::SqlSession& connection, const std::vector<int32_t>& guide_ids,
                         const SearchCriteria& criteria) {
  return PlanSearchOf(connection, LoadGuideDefinitions(connection, guide_ids), criteria);
}

PlannedSearch PlanSearchOf(rdo::SqlSession& connection,
                           const std::vector<GuideDefinition>& definitions,
                           const SearchCriteria& criteria) {
  SearchStatements generated =
      GenerateSearchStatements(definitions, criteria, connection.GetDialect());
  if (!generated.Error.empty()) ThrowSearchError(generated.Error);
  for (const GuideStatement& statement : generated.Guides)
    if (!statement.Error.empty()) ThrowSearchError(statement.Error);
  PlannedSearch planned;
  if (ForDialect(connection.GetDialect()).SearchIndexes() != SearchIndexKind::None) {
    planned.paths = ChooseSearchPaths(connection, definitions, criteria, generated.Guides);
  } else {
    const std::string why = "scan: " + NoSearchIndexesReason(connection);
    for (const GuideStatement& statement : generated.Guides)
      planned.paths.push_back({statement.DSG_ID, false, why});
  }
  planned.statements = std::move(generated.Guides);
  return planned;
}

std::unique_ptr<SearchRun> StartSearch(const std::string& connect,
                                       const std::vector<int32_t>& guide_ids,
                                       const std::string& criteria) {
  return StartSearch(rdo::rdoConnection::Open(connect), guide_ids, criteria);
}

std::unique_ptr<SearchRun> StartSearch(rdo::rdoConnection connection,
                                       const std::vector<int32_t>& guide_ids,
                                       const std::string& criteria) {
  // On SQL Server a NULL shown value must add empty text, not empty the
  // whole result text; the other servers' renderings take care of it.
  if (const std::string session = ForDialect(connection.GetDialect()).SearchSessionStatement();
      !session.empty())
    connection.Execute(session);
  PlannedSearch planned;
  try {
    planned = PlanSearch(connection, guide_ids, SearchCriteria(criteria));
  } catch (const rdo::DatabaseError& error) {
    // One guide that exists without columns is named as such: "ID(s)
    // invalid" would hide that it is there, waiting for its columns.
    if (guide_ids.size() == 1 && error.Errors().size() == 1 &&
        error.Errors()[0].Description == kInvalidGuidesMessage)
      if (std::optional<std::string> name = FindGuideName(connection, guide_ids[0]))
        ThrowSearchError(NoColumnsYetMessage(*name));
    throw;
  }
  return std::make_unique<SearchRun>(std::move(connection), std::move(planned.statements),
                                     std::move(planned.paths));
}

}  // namespace corvanty
