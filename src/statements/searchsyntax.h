// SPDX-License-Identifier: Apache-2.0
#pragma once
// The pieces of a generated search statement that SQL Server, SQLite and
// PostgreSQL write differently. Guides store T-SQL (conversion expressions
// such as CONVERT(varchar,Orders.Total), separators such as + ' ' +); for SQL
// Server it is used as stored, for the others translated here and nowhere
// else.
#include <stdexcept>
#include <string>
#include <string_view>

#include "connections/rdo.h"

namespace corvanty {

// The expression converted to text cut to length characters:
// CONVERT(varchar(N),x), or substr(CAST(x AS TEXT), 1, N) on SQLite (AS text
// on PostgreSQL).
std::string ConvertToText(std::string_view expression, int length, rdo::Dialect dialect);

// A conversion in a guide that SQLite or PostgreSQL cannot be given SQL
// Server's meaning of; what() names the conversion as stored.
class UntranslatableExpression : public std::runtime_error {
 public:
  UntranslatableExpression(const std::string& expression, rdo::Dialect dialect);
};

// A column's value expression (qualifier.name or its conversion expression)
// in the dialect: on SQLite and PostgreSQL each CONVERT(varchar(N), x)
// becomes substr(CAST(x AS TEXT), 1, N) and CONVERT(varchar, x) the same
// with the server's default length of 30; a date style (101, 103, 112, 120,
// 121) as third argument becomes the strftime (SQLite) or to_char
// (PostgreSQL) text of that style, cut alike, and any other style throws
// UntranslatableExpression. A + joining the top-level pieces becomes || with
// each piece's NULL read as empty text.
std::string ValueExpression(std::string_view storedExpression, rdo::Dialect dialect);

// A value in the result text. SQL Server runs the search with
// CONCAT_NULL_YIELDS_NULL OFF, so a NULL value adds nothing to the text;
// SQLite gets the same through ifnull(value,''), PostgreSQL through
// coalesce(CAST(value AS text), '').
std::string ShownValue(std::string_view valueExpression, rdo::Dialect dialect);

// A value matched against the criteria: PostgreSQL matches text only, so it
// is CAST(value AS text) there (a no-op for a text column).
std::string SearchedValue(std::string_view valueExpression, rdo::Dialect dialect);

// How a searched value is matched: value keyword '%pattern%' after. LIKE on
// SQL Server and SQLite; on PostgreSQL, whose LIKE tells case apart and takes
// a backslash as its escape, ILIKE with ESCAPE '' (no escape character).
struct LikeSyntax {
  std::string_view keyword;
  std::string_view after;
};
LikeSyntax LikeFor(rdo::Dialect dialect);

// A separator fragment: on SQLite and PostgreSQL its concatenation operators
// + (outside literals) become ||, and its conversions are translated as above
// (throwing alike).
std::string ListSeparator(std::string_view storedFragment, rdo::Dialect dialect);

}  // namespace corvanty
