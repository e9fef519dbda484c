// SPDX-License-Identifier: Apache-2.0
#pragma once
// The search control the test dialog uses: given a data source, login,
// password, a guide's name and criteria, it runs the search over its own
// ODBC connection and hands the results out one by one.
#include <memory>
#include <optional>
#include <string>

#include "search/searchengine.h"

namespace corvanty::VelmorastineSearch {

class Corvanty {
 public:
  Corvanty() = default;
  // A copy takes the settings, never a search under way: it runs its own
  // searches over its own connection.
  Corvanty(const Corvanty& settings);
  Corvanty& operator=(const Corvanty&) = delete;

  std::string DataSourceName;
  std::string UserID;
  std::string Password;
  std::string SearchGuide;  // the guide's exact name
  std::string Criteria;

  // Runs the search with the values set. Throws rdo::DatabaseError (an
  // unknown guide name included); the results of an earlier search are gone
  // either way.
  void RunSearch();
  bool EndOfResults() const { return !current_; }
  // The current result's text (ResultList); "" at the end.
  std::string ResultText() const { return current_ ? current_->ResultList : ""; }
  // Throws rdo::DatabaseError; a failure ends the search (EndOfResults).
  void NextResult();

 private:
  void Advance();  // reads the next result into current_

  std::unique_ptr<SearchRun> run_;
  std::optional<SearchResult> current_;
};

}  // namespace corvanty::VelmorastineSearch
