#pragma once
// The pieces of a generated search statement that SQL Server and SQLite write
// differently. Guides store T-SQL (conversion expressions such as
// CONVERT(varchar,Orders.Total), separators such as + ' ' +); for SQL Server
// it is used as stored, for SQLite translated here and nowhere else.
#include <stdexcept>
#include <string>
#include <string_view>

#include "connections/rdo.h"

namespace corvanty {

// The expression converted to text cut to length characters:
// CONVERT(varchar(N),x), or substr(CAST(x AS TEXT), 1, N) on SQLite.
std::string ConvertToText(std::string_view expression, int length, rdo::Dialect dialect);

// A conversion in a guide that SQLite cannot be given the server's meaning
// of; what() names the conversion as stored.
class UntranslatableExpression : public std::runtime_error {
 public:
  explicit UntranslatableExpression(const std::string& expression);
};

// A column's value expression (qualifier.name or its conversion expression)
// in the dialect: on SQLite each CONVERT(varchar(N), x) becomes
// substr(CAST(x AS TEXT), 1, N) and CONVERT(varchar, x) the same with the
// server's default length of 30; a date style (101, 103, 112, 120, 121) as
// third argument becomes the strftime text of that style, cut alike, and any
// other style throws UntranslatableExpression. A + joining the top-level
// pieces becomes || with each piece's NULL read as empty text.
std::string ValueExpression(std::string_view storedExpression, rdo::Dialect dialect);

// A value in the result text. SQL Server runs the search with
// CONCAT_NULL_YIELDS_NULL OFF, so a NULL value adds nothing to the text;
// SQLite gets the same through ifnull(value,'').
std::string ShownValue(std::string_view valueExpression, rdo::Dialect dialect);

// A separator fragment: on SQLite its concatenation operators + (outside
// literals) become ||, and its conversions are translated as above (throwing
// alike).
std::string ListSeparator(std::string_view storedFragment, rdo::Dialect dialect);

}  // namespace corvanty
