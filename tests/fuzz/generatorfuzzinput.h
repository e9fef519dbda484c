// SPDX-License-Identifier: Apache-2.0
#pragma once
// One fuzz input for the search statement generator and the checks each
// statement generated from it must pass, whatever the user typed: a SQLite
// statement prepares as exactly one statement against a database holding the
// guide's table, and every statement closes each string literal it opens.
// Shared by the libFuzzer target and the test that replays the saved corpus.
#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "connections/sqlitedatabase.h"
#include "statements/searchstatements.h"
#include "statements/sqlliteral.h"

namespace corvanty::fuzz {

// True when the statement's apostrophes pair up, so that every string literal
// it opens is closed again (a doubled apostrophe inside a literal counts two).
// The generated statements hold apostrophes only in literals.
inline bool ApostrophesBalanced(std::string_view sql) {
  return std::count(sql.begin(), sql.end(), '\'') % 2 == 0;
}

// Two guides over table t. Every separator is stored as the columns editor
// stores it, +'text'+ with its apostrophes doubled; with raw_fragment the
// name column's separator is the text itself, a SQL fragment as a guide may
// hold one, to exercise the SQLite translation of odd fragments. The raw one
// never follows the last shown column: what remains of that one is cut by
// length, as the search procedure does, and may split a literal of a
// separator with blanks at its ends.
inline std::vector<GuideDefinition> GuidesFor(std::string_view separatorText, bool raw_fragment) {
  const std::string wrapped = "+'" + QuoteApostrophes(separatorText) + "'+";
  const GuideColumn key{"t", "id", 0, 0, "+ ' ' +", 0, "(none)", -1};
  const GuideColumn name{"t", "name", -1, -1, raw_fragment ? std::string(separatorText) : wrapped};
  const GuideColumn total{"t", "total", -1, -1, wrapped, -1, "CONVERT(varchar, t.total)"};
  return {{1, true, "FROM t", "WHERE t.x = 1", {key, name, total}},
          {2, true, "FROM t", "WHERE ", {name, key, total}}};
}

// Why SQLite would not run the statement as the one search it is meant to
// be: a syntax error, more than one statement, a parameter left open, or
// other than the three result columns. nullopt when it would.
inline std::optional<std::string> SqliteRefusal(const std::string& sql) {
  static const sqlite::Database db = [] {
    sqlite::Database opened(":memory:", sqlite::Database::Mode::kCreate);
    opened.Exec("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, total NUMERIC, x INT)");
    return opened;
  }();
  try {
    size_t used = 0;
    const sqlite::Statement statement = db.Prepare(sql, &used);
    if (!statement.Get()) return "no statement";
    if (sqlite3_bind_parameter_count(statement.Get()) != 0) return "a parameter";
    if (statement.ColumnCount() != 3)
      return std::to_string(statement.ColumnCount()) + " result columns";
    // SQLite reads the text up to its first NUL, and so does this.
    const std::string_view tail(sql.c_str() + used);
    if (tail.find_first_not_of(" \t\r\n") != std::string_view::npos)
      return "text after the statement: " + std::string(tail);
  } catch (const sqlite::Error& error) {
    return error.what();
  }
  return std::nullopt;
}

// The first statement generated from the input that fails its check, with
// the reason, if any.
inline std::optional<std::string> FaultyStatement(std::string_view input) {
  // Criteria and separators come from text boxes and command lines, which
  // cannot hold a NUL: the input ends at the first one.
  input = input.substr(0, input.find('\0'));
  const size_t lineEnd = input.find('\n');
  const bool twoLines = lineEnd != std::string_view::npos;
  const std::string_view separatorText = twoLines ? input.substr(0, lineEnd) : std::string_view();
  const std::string_view criteria = twoLines ? input.substr(lineEnd + 1) : input;
  // A raw fragment only when its own apostrophes pair up; it is SQL by
  // design, so whether SQLite takes it is judged against plain criteria:
  // the criteria must never turn a statement SQLite takes into one it refuses.
  for (const bool raw : {false, true}) {
    if (raw && !ApostrophesBalanced(separatorText)) continue;
    const std::vector<GuideDefinition> guides = GuidesFor(separatorText, raw);
    for (const rdo::Dialect dialect : {rdo::Dialect::SqlServer, rdo::Dialect::Sqlite}) {
      const auto plain = GenerateSearchStatements(guides, SearchCriteria("x"), dialect).Guides;
      const auto fuzzed =
          GenerateSearchStatements(guides, SearchCriteria(criteria), dialect).Guides;
      for (size_t i = 0; i < fuzzed.size(); ++i) {
        const std::string& sql = fuzzed[i].SQL;
        if (!ApostrophesBalanced(sql)) return "unbalanced apostrophes in: " + sql;
        if (dialect != rdo::Dialect::Sqlite || (raw && SqliteRefusal(plain[i].SQL))) continue;
        if (std::optional<std::string> refusal = SqliteRefusal(sql))
          return *refusal + " in: " + sql;
      }
    }
  }
  return std::nullopt;
}

}  // namespace corvanty::fuzz
