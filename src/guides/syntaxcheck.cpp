#include "guides/syntaxcheck.h"

#include "connections/connectionstore.h"

namespace corvanty {

std::string SyntaxTestStatement(const std::string& from_text, const std::string& where_text) {
  return "SELECT 'atest' " + std::string(from_text.empty() ? "" : "FROM ") + from_text + " " +
         (where_text.empty() ? "" : "WHERE ") + where_text;
}

std::vector<rdo::rdoError> CheckGuideSyntax(const std::string& from_text,
                                            const std::string& where_text) {
  try {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(basCorvantyAdmin::gstrConnect);
    connection.OpenForwardOnly(SyntaxTestStatement(from_text, where_text)).Fetch();
    return {};
  } catch (const rdo::DatabaseError& error) {
    return error.Errors();
  }
}

}  // namespace corvanty
