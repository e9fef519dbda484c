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
  static sqlite3* const db = [] {
    sqlite3* opened = nullptr;
    sqlite3_open(":memory:", &opened);
    sqlite3_exec(opened, "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, total NUMERIC, x INT)",
                 nullptr, nullptr, nullptr);
    return opened;
  }();
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  std::optional<std::string> refusal;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail) != SQLITE_OK)
    refusal = sqlite3_errmsg(db);
  else if (!stmt)
    refusal = "no statement";
  else if (sqlite3_bind_parameter_count(stmt) != 0)
    refusal = "a parameter";
  else if (sqlite3_column_count(stmt) != 3)
    refusal = std::to_string(sqlite3_column_count(stmt)) + " result columns";
  if (!refusal && tail &&
      std::string_view(tail).find_first_not_of(" \t\r\n") != std::string_view::npos)
    refusal = std::string("text after the statement: ") + tail;
  sqlite3_finalize(stmt);
  return refusal;
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
