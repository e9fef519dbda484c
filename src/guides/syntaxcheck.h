#pragma once
// The tables editor's syntax check: the guide's FROM and WHERE texts run on
// the server inside a test statement.
#include <string>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

// "SELECT 'atest' FROM <from> WHERE <where>", each keyword only when its
// text is not empty: both empty give "SELECT 'atest'" and two blanks.
std::string SyntaxTestStatement(const std::string& from_text, const std::string& where_text);

// Runs the test statement on a connection of its own and returns the
// diagnostics of the failure (empty when the server accepted it). At most
// the first row is read: the check is about the statement, not its rows.
std::vector<rdo::rdoError> CheckGuideSyntax(const std::string& from_text,
                                            const std::string& where_text);

}  // namespace corvanty
