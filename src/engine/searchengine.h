#pragma once
// Runs a search: generates each listed guide's statement and streams its
// rows over ODBC, guide after guide, never holding them all in memory.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "connections/rdo.h"
#include "engine/searchstatements.h"

namespace corvanty {

struct SearchResult {
  std::string ResultList;  // the result text
  std::string IDColumn;    // the key column's value ("0" when the guide has none)
  int32_t DSG_ID = 0;
};

class SearchRun {
 public:
  // Takes over the connection; statements must be free of errors.
  SearchRun(rdo::rdoConnection connection, std::vector<GuideStatement> statements);
  // The next result, or nullopt when every statement is read. Throws
  // rdo::DatabaseError.
  std::optional<SearchResult> Next();

 private:
  rdo::rdoConnection connection_;
  std::vector<GuideStatement> statements_;
  size_t next_statement_ = 0;
  std::optional<rdo::ForwardReader> reader_;
};

// Opens a connection, generates the statements of the listed guides for its
// dialect and starts the search. An invalid guide list or guide is reported
// as rdo::DatabaseError carrying the generator's message.
std::unique_ptr<SearchRun> StartSearch(const std::string& connect,
                                       const std::vector<int32_t>& guide_ids,
                                       const std::string& criteria);

// Throws rdo::DatabaseError with one record holding message.
[[noreturn]] void ThrowSearchError(const std::string& message);

}  // namespace corvanty
