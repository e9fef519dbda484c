// SPDX-License-Identifier: Apache-2.0
#include "guides/syntaxcheck.h"

#include <optional>
#include <string_view>

#include "statements/cutoff.h"

namespace corvanty {

std::string SyntaxTestStatement(const std::string& from_text, const std::string& where_text) {
  return "SELECT 'atest' " + std::string(from_text.empty() ? "" : "FROM ") + from_text + " " +
         (where_text.empty() ? "" : "WHERE ") + where_text;
}

std::string CutOffRefusal(const std::string& from_text, const std::string& where_text,
                          rdo::Dialect dialect) {
  for (const auto& [clause, text] : {std::pair{"FROM", &from_text}, {"WHERE", &where_text}}) {
    const std::optional<CutOff> cut = FirstCutOff(*text, dialect);
    if (!cut) continue;
    if (cut->open_quote)
      return std::string("Syntax Invalid: the ") + clause + " text opens a quoted text (" +
             cut->mark +
             ") that it does not close. The search conditions joined after it would be read as "
             "part of it.";
    return std::string("Syntax Invalid: the ") + clause + " text holds \"" + cut->mark +
           "\" outside string literals. A comment or a \";\" there would cut off the search "
           "conditions joined after it.";
  }
  return "";
}

std::vector<rdo::rdoError> CheckGuideSyntax(rdo::rdoConnection& connection,
                                            const std::string& from_text,
                                            const std::string& where_text) {
  try {
    connection.OpenForwardOnly(SyntaxTestStatement(from_text, where_text)).Fetch();
    return {};
  } catch (const rdo::DatabaseError& error) {
    return error.Errors();
  }
}

}  // namespace corvanty
