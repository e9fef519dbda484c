#pragma once
// The pieces of a generated search statement that SQL Server and SQLite write
// differently. Guides store T-SQL (conversion expressions such as
// CONVERT(varchar,Orders.Total), separators such as + ' ' +); for SQL Server
// it is used as stored, for SQLite translated here and nowhere else.
#include <string>
#include <string_view>

#include "connections/rdo.h"

namespace corvanty {

// The expression converted to text cut to length characters:
// CONVERT(varchar(N),x), or substr(CAST(x AS TEXT), 1, N) on SQLite.
std::string ConvertToText(std::string_view expression, int length, rdo::Dialect dialect);

// A column's value expression (qualifier.name or its conversion expression)
// in the dialect: on SQLite each CONVERT(varchar(N), x) becomes
// substr(CAST(x AS TEXT), 1, N) and each CONVERT(varchar, x) CAST(x AS TEXT),
// and a + joining its top-level pieces becomes || with each piece's NULL read
// as empty text.
std::string ValueExpression(std::string_view storedExpression, rdo::Dialect dialect);

// A value in the result text. SQL Server runs the search with
// CONCAT_NULL_YIELDS_NULL OFF, so a NULL value adds nothing to the text;
// SQLite gets the same through ifnull(value,'').
std::string ShownValue(std::string_view valueExpression, rdo::Dialect dialect);

// A separator fragment: on SQLite its concatenation operators + (outside
// literals) become ||, and its conversions are translated as above.
std::string ListSeparator(std::string_view storedFragment, rdo::Dialect dialect);

}  // namespace corvanty
