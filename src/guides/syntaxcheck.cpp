// SPDX-License-Identifier: Apache-2.0
#include "guides/syntaxcheck.h"

#include <optional>
#include <string_view>

#include "connections/connectionstore.h"
#include "statements/sqltokens.h"

namespace corvanty {

namespace {

// The first comment mark or ";" outside string literals, as CutsOffWhatFollows
// reads the text: the shortest beginning of the text that it refuses ends
// with that mark. A refused beginning stays refused as it grows, so a binary
// search finds the shortest.
std::optional<std::string> FirstCutOffMark(const std::string& text) {
  const std::string_view whole = text;
  if (!CutsOffWhatFollows(whole)) return std::nullopt;
  size_t accepted = 0, refused = whole.size();  // lengths of beginnings
  while (refused - accepted > 1) {
    const size_t middle = accepted + (refused - accepted) / 2;
    (CutsOffWhatFollows(whole.substr(0, middle)) ? refused : accepted) = middle;
  }
  return whole[refused - 1] == ';' ? ";" : text.substr(refused - 2, 2);
}

}  // namespace

std::string SyntaxTestStatement(const std::string& from_text, const std::string& where_text) {
  return "SELECT 'atest' " + std::string(from_text.empty() ? "" : "FROM ") + from_text + " " +
         (where_text.empty() ? "" : "WHERE ") + where_text;
}

std::string CutOffRefusal(const std::string& from_text, const std::string& where_text) {
  for (const auto& [clause, text] : {std::pair{"FROM", &from_text}, {"WHERE", &where_text}}) {
    if (std::optional<std::string> mark = FirstCutOffMark(*text))
      return std::string("Syntax Invalid: the ") + clause + " text holds \"" + *mark +
             "\" outside string literals. A comment or a \";\" there would cut off the search "
             "conditions joined after it.";
  }
  return "";
}

std::vector<rdo::rdoError> CheckGuideSyntax(const std::string& from_text,
                                            const std::string& where_text) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(basCorvantyAdmin::gstrConnect);
  try {
    connection.OpenForwardOnly(SyntaxTestStatement(from_text, where_text)).Fetch();
    return {};
  } catch (const rdo::DatabaseError& error) {
    return error.Errors();
  }
}

}  // namespace corvanty
