// SPDX-License-Identifier: Apache-2.0
#include "index/guidedependencies.h"

#include <cctype>
#include <map>
#include <set>

#include "statements/sqltokens.h"

namespace corvanty {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The root page of every table and index of the main database, and the
// table it holds the rows of.
std::map<std::string, std::string> TablesByRootPage(rdo::rdoConnection& connection) {
  std::map<std::string, std::string> tables;
  rdo::rdoResultset objects = connection.OpenResultset(
      "SELECT rootpage, tbl_name FROM sqlite_master WHERE type IN ('table', 'index') "
      "AND rootpage > 0");
  for (; !objects.IsEOF(); objects.MoveNext())
    tables[objects.Text("rootpage")] = objects.Text("tbl_name");
  return tables;
}

// Whether a call's parentheses follow (blanks aside), and whether they are
// empty.
struct CallAfter {
  bool call = false;
  bool empty = false;
};

CallAfter CallAt(std::string_view sql, size_t i) {
  auto skip_blanks = [&] {
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
  };
  skip_blanks();
  if (i >= sql.size() || sql[i] != '(') return {};
  ++i;
  skip_blanks();
  return {true, i < sql.size() && sql[i] == ')'};
}

}  // namespace

TablesRead TablesReadBy(rdo::rdoConnection& connection, const std::string& query) {
  const std::map<std::string, std::string> tables = TablesByRootPage(connection);
  std::set<std::string> read;
  TablesRead result;
  rdo::rdoResultset program = connection.OpenResultset("EXPLAIN " + query);
  for (; !program.IsEOF(); program.MoveNext()) {
    const std::string opcode = program.Text("opcode");
    if (opcode == "VOpen") {
      result.unwatchable = "a virtual table";
    } else if (opcode == "OpenRead" || opcode == "ReopenIdx") {
      // p2: the root page of what it opens; p3: the database, 0 the main one.
      const auto table = tables.find(program.Text("p2"));
      if (program.Text("p3") != "0")
        result.unwatchable = "a table of another database";
      else if (table == tables.end())
        result.unwatchable = "the database's schema";
      else
        read.insert(table->second);
    }
  }
  result.tables.assign(read.begin(), read.end());
  return result;
}

std::string MomentDependence(std::string_view sql) {
  static const std::set<std::string> kMomentFunctions = {"random", "randomblob", "changes",
                                                         "total_changes", "last_insert_rowid"};
  static const std::set<std::string> kMomentKeywords = {"current_date", "current_time",
                                                        "current_timestamp"};
  // Without arguments these read the current moment.
  static const std::set<std::string> kNowByDefault = {"date", "time", "datetime", "julianday",
                                                      "unixepoch"};
  for (const SqlPiece& piece : WordsAndQuotes(sql)) {
    if (piece.quoted) {
      if (IsKeyword(piece.text, "'now'")) return std::string(piece.text);
      continue;
    }
    // A name after a dot is a column's, not a function's.
    if (piece.at > 0 && sql[piece.at - 1] == '.') continue;
    const std::string word = Lower(piece.text);
    const CallAfter call = CallAt(sql, piece.at + piece.text.size());
    if (kMomentKeywords.count(word) || (call.call && kMomentFunctions.count(word)) ||
        (call.empty && kNowByDefault.count(word)))
      return std::string(piece.text);
  }
  return "";
}

}  // namespace corvanty
