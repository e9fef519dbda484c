// SPDX-License-Identifier: Apache-2.0
#include "cli/guidearguments.h"

#include <limits>

#include "cli/commands.h"
#include "connections/serverdialect.h"
#include "search/searchengine.h"
#include "statements/guideloader.h"

namespace corvanty::cli {

std::optional<CommandSession> SavedConnectionFrom(const Args& args) {
  return SavedConnectionOption(
      args.Number("--connection", 1, 1, std::numeric_limits<int16_t>::max()));
}

int32_t ResolveGuide(rdo::rdoConnection& connection, const std::string& guide) {
  if (std::optional<int32_t> id = FindGuideByName(connection, guide)) return *id;
  size_t used = 0;
  long number = -1;
  try {
    number = std::stol(guide, &used);
  } catch (...) {
    used = 0;
  }
  if (used == 0 || used != guide.size() || number < 0 ||
      number > std::numeric_limits<int32_t>::max())
    ThrowSearchError("There is no Database Search Guide named '" + guide + "'.");
  return static_cast<int32_t>(number);
}

rdo::Dialect DialectOption(const std::string& name) {
  if (std::optional<rdo::Dialect> dialect = DialectOptionNamed(name)) return *dialect;
  throw UsageError("--dialect takes mssql, sqlite or postgresql");
}

}  // namespace corvanty::cli
