// SPDX-License-Identifier: Apache-2.0
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

// Why the texts cannot make a guide, or "" when they can: a comment or a ";"
// outside string literals, or a quote left open, as the dialect's server
// reads quotes, would cut off or take in the search conditions that every
// search joins after the clauses. Names the first such clause and what it holds.
std::string CutOffRefusal(const std::string& from_text, const std::string& where_text,
                          rdo::Dialect dialect);

// Runs the test statement on the connection and returns the
// diagnostics of the statement's failure (empty when the server accepted
// it). A connection that cannot be opened is not a syntax fault: its
// rdo::DatabaseError comes out. At most the first row is read: the check is
// about the statement, not its rows.
std::vector<rdo::rdoError> CheckGuideSyntax(rdo::rdoConnection& connection,
                                            const std::string& from_text,
                                            const std::string& where_text);

}  // namespace corvanty
