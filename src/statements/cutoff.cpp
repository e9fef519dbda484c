// SPDX-License-Identifier: Apache-2.0
#include "statements/cutoff.h"

namespace corvanty {

std::optional<CutOff> FirstCutOff(std::string_view sql, const ServerDialect& server) {
  for (size_t i = 0; i < sql.size();) {
    const std::optional<QuotedSpan> span = server.QuotedSpanAt(sql, i);
    if (span) {
      if (!span->closed) return CutOff{i, std::string(sql.substr(i, span->opening)), true};
      i = span->end;
      continue;
    }
    const std::string_view two = sql.substr(i, 2);
    if (sql[i] == ';') return CutOff{i, ";", false};
    if (two == "--" || two == "/*") return CutOff{i, std::string(two), false};
    ++i;
  }
  return std::nullopt;
}

}  // namespace corvanty
