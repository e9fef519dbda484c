// SPDX-License-Identifier: Apache-2.0
#pragma once
// A search run by the search service installed in a PostgreSQL database
// (velmorastine_search) instead of the built-in engine: the same rows, the
// statements generated and run inside the server.
#include <cstdint>
#include <optional>
#include <string>

#include "connections/rdo.h"
#include "search/searchengine.h"

namespace corvanty {

class ServiceSearch {
 public:
  // Calls the service for the guide on the connection, which it keeps. Throws
  // rdo::DatabaseError: on a server other than PostgreSQL, and with the
  // service's own error for a guide it refuses.
  ServiceSearch(rdo::rdoConnection connection, int32_t guide, const std::string& criteria);
  // The next result, or nullopt after the last. The service's answer for a
  // guide list without column rows is thrown as the built-in engine throws
  // it.
  std::optional<SearchResult> Next();

 private:
  rdo::rdoConnection connection_;
  std::optional<rdo::ForwardReader> rows_;
};

}  // namespace corvanty
