// SPDX-License-Identifier: Apache-2.0
#pragma once
// The list column separator between what the columns editor shows and what
// it stores. The editor stores a typed text as a SQL fragment, a plus sign,
// the text as a string literal, and a plus sign (", " becomes +', '+), which
// the search splices between two shown values. Rows written by other means
// may hold other fragments, such as the table default "+ ' ' +".
#include <optional>
#include <string>

#include "connections/rdo.h"

namespace corvanty {

// The text shown for a stored separator: when the stored fragment is one
// string literal between two plus signs (blanks allowed around the literal),
// the literal's text ("+', '+" and "+ ', ' +" show ", "; "+'it''s'+" shows
// "it's"); any other stored value is shown as it is.
std::string ShownSeparator(const std::string& stored);

// The fragment the editor stores for a typed text: the text as a literal
// between plus signs (", " gives "+', '+").
std::string SeparatorFragment(const std::string& shown);

// The value to store for a separator the editor shows as shown: the value read,
// when it shows that text (so an untouched separator is written back
// exactly); otherwise SeparatorFragment(shown).
std::string SeparatorToStore(const std::optional<std::string>& stored, const std::string& shown);

// The SQL literal whose value is stored. A value of the form +'...'+ is
// written in pieces with CHAR(39) for the inner apostrophes, as the editor
// always wrote it; any other value as one plain literal.
std::string SeparatorLiteral(rdo::Dialect dialect, const std::string& stored);

}  // namespace corvanty
