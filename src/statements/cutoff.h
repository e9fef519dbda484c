// SPDX-License-Identifier: Apache-2.0
#pragma once
// Whether a piece of stored SQL could end the statement it is spliced into,
// or hide what is joined after it: a comment (-- or /*) or a ; outside
// quoted text, or quoted text that is still open at the end of the piece.
// The quotes are read as the server reads them (its dialect's
// QuotedSpanAt): on SQL Server and SQLite apostrophes, double quotes and
// brackets; on PostgreSQL also E'' strings with backslash escapes and dollar
// quotes ($$…$$, $tag$…$tag$), while brackets quote nothing there.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "connections/serverdialect.h"

namespace corvanty {

struct CutOff {
  size_t at = 0;     // where the mark, or the open quote, starts
  std::string mark;  // ";", "--", "/*", or the opening of the unclosed quote
  bool open_quote = false;
};

// The first place in the text that would cut off what follows it, as the
// dialect's server reads the text; nullopt when there is none.
std::optional<CutOff> FirstCutOff(std::string_view sql, const ServerDialect& server);
inline std::optional<CutOff> FirstCutOff(std::string_view sql, rdo::Dialect dialect) {
  return FirstCutOff(sql, ForDialect(dialect));
}

inline bool CutsOffWhatFollows(std::string_view sql, const ServerDialect& server) {
  return FirstCutOff(sql, server).has_value();
}

}  // namespace corvanty
