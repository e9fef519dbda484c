// SPDX-License-Identifier: Apache-2.0
#include "search/servicesearch.h"

#include "connections/serverdialect.h"
#include "statements/sqlliteral.h"

namespace corvanty {

ServiceSearch::ServiceSearch(rdo::rdoConnection connection, int32_t guide,
                             const std::string& criteria)
    : connection_(std::move(connection)) {
  const ServerDialect& server = ForDialect(connection_.GetDialect());
  if (server.SearchService() != SearchServiceForm::VersionedFunctions)
    ThrowSearchError(
        std::string("Only a PostgreSQL database has a search service to search in; this one is "
                    "on ") +
        server.ServerName() + ": search without --in-database.");
  rows_.emplace(connection_.OpenForwardOnly("SELECT * FROM velmorastine_search('" +
                                            std::to_string(guide) + "', '" +
                                            QuoteApostrophes(criteria) + "')"));
}

std::optional<SearchResult> ServiceSearch::Next() {
  if (!rows_->Fetch()) return std::nullopt;
  // Only the answer for invalid guides has no guide number.
  if (!rows_->Value(2)) ThrowSearchError(rows_->Value(0).value_or(""));
  return SearchResult{rows_->Value(0).value_or(""), rows_->Value(1).value_or(""),
                      std::stoi(*rows_->Value(2))};
}

}  // namespace corvanty
