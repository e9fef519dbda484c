#pragma once
// The five tables the search engine keeps its guides and the scratch data of
// its search runs in, and the statement texts that drop and re-create each of
// them: the SQL Server script, sent as one batch, and the SQLite equivalent,
// sent one statement at a time because the SQLite driver runs no batches.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanty {

// The names the table builder accepts, in the order it compares them.
inline constexpr std::array<std::string_view, 5> kSearchGuideTableNames = {
    "Db_Search_Guide_Cols", "Db_Search_Guide_SQL", "Db_Search_Guide_Tables",
    "Db_Search_Guide_Unique", "Db_Search_Guides"};

// The order the readiness check builds them in: the guide list first.
inline constexpr std::array<std::string_view, 5> kSearchGuideTableBuildOrder = {
    "Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols", "Db_Search_Guide_SQL",
    "Db_Search_Guide_Unique"};

// The SQL Server batch that drops the user table of that name if present and
// creates it anew, every line followed by CR LF. Nothing for a name that is
// not exactly (case included) one of the five.
std::optional<std::string> SqlServerTableScript(const std::string& name);

// The same for SQLite: DROP TABLE IF EXISTS, CREATE TABLE and its indexes as
// separate statements, with the column names, types, defaults and constraint
// and index names of the SQL Server script. Identity columns are AUTOINCREMENT
// keys, so a rebuilt table numbers from 1 again, as on SQL Server.
// Keep the result in a variable before looping over it: a range-for over
// *SqliteTableStatements(name) walks a vector that is already destroyed.
std::optional<std::vector<std::string>> SqliteTableStatements(const std::string& name);

}  // namespace corvanty
