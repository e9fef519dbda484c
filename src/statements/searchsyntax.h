// SPDX-License-Identifier: Apache-2.0
#pragma once
// The translation of a guide's stored T-SQL (conversion expressions such as
// CONVERT(varchar,Orders.Total), separators such as + ' ' +) for a server
// that cannot run it as it stands, made here and nowhere else from the
// pieces the server's dialect writes.
#include <stdexcept>
#include <string>
#include <string_view>

#include "connections/serverdialect.h"

namespace corvanty {

// A conversion in a guide that the server cannot be given SQL Server's
// meaning of; what() names the conversion as stored.
class UntranslatableExpression : public std::runtime_error {
 public:
  UntranslatableExpression(const std::string& expression, const ServerDialect& server);
};

// A column's value expression (qualifier.name or its conversion expression)
// for the server: as stored for SQL Server; for a server with a
// Translation() each CONVERT(varchar(N), x) becomes its ConvertToText(x, N)
// (substr(CAST(x AS TEXT), 1, N) on SQLite) and CONVERT(varchar, x) the same
// with SQL Server's default length of 30; a date style (101, 103, 112, 120,
// 121) as third argument becomes the server's text of that style, cut alike,
// and any other style throws UntranslatableExpression. A + joining the
// top-level pieces becomes || with each piece's NULL read as empty text.
std::string ValueExpression(std::string_view storedExpression, const ServerDialect& server);

// A separator fragment: as stored for SQL Server; for a server with a
// Translation() its concatenation operators + (outside literals) become ||,
// and its conversions are translated as above (throwing alike).
std::string ListSeparator(std::string_view storedFragment, const ServerDialect& server);

}  // namespace corvanty
