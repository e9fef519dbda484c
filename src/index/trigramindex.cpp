// SPDX-License-Identifier: Apache-2.0
#include "index/trigramindex.h"

#include <cctype>
#include <set>

#include "connections/serverdialect.h"
#include "index/fromtables.h"
#include "index/searchindexbuild.h"
#include "statements/guideloader.h"
#include "statements/searchstatements.h"
#include "statements/sqlliteral.h"
#include "statements/sqltokens.h"

namespace corvanty {
namespace {

[[noreturn]] void Refuse(int32_t guide, const std::string& why) {
  throw SearchIndexRefused("Database Search Guide " + std::to_string(guide) +
                           " cannot be indexed: " + why + ".");
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// The expression with the qualifier (and its dot) taken off every column it
// names, as an index on that table names them; nullopt when it names
// columns of more than one qualifier, or none.
std::optional<std::pair<std::string, std::string>> Unqualified(const std::string& expression) {
  std::string qualifier, bare;
  size_t copied = 0;
  for (const SqlPiece& word : WordsAndQuotes(expression)) {
    const size_t end = word.at + word.text.size();
    // A number's decimal point (2.5) follows no qualifier.
    if (word.quoted || std::isdigit(static_cast<unsigned char>(word.text[0])) ||
        end >= expression.size() || expression[end] != '.')
      continue;
    if (!qualifier.empty() && Lower(qualifier) != Lower(std::string(word.text)))
      return std::nullopt;
    qualifier = word.text;
    bare += expression.substr(copied, word.at - copied);
    copied = end + 1;
  }
  if (qualifier.empty()) return std::nullopt;
  return std::pair{qualifier, bare + expression.substr(copied)};
}

// A transaction that first waits for any other building or dropping of an
// index: a second build at the same moment then finds the extension and the
// first's indexes in place and replaces them, instead of failing on their
// names.
rdo::Transaction BeginChanging(rdo::rdoConnection& connection) {
  rdo::Transaction transaction = connection.BeginTrans();
  connection.Execute("LOCK TABLE Db_Search_Guides IN SHARE ROW EXCLUSIVE MODE");
  return transaction;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> TablesByQualifier(const std::string& from) {
  std::vector<std::pair<std::string, std::string>> tables;
  for (const TableInFrom& table : TablesInFrom(from)) {
    tables.emplace_back(table.name, table.table);
    if (table.aliased) tables.emplace_back(table.qualifier, table.table);
  }
  return tables;
}

std::vector<std::string> TrigramIndexStatements(const GuideDefinition& guide,
                                                const std::string& trigram_schema) {
  const auto tables = TablesByQualifier(guide.FROM_clause.value_or(""));
  std::vector<std::string> statements;
  size_t k = 0;
  for (const std::string& value : SearchedValues(guide, PostgresDialect())) {
    const auto unqualified = Unqualified(value);
    if (!unqualified) Refuse(guide.DSG_ID, value + " does not read exactly one table");
    std::set<std::string> read;
    for (const auto& [qualifier, table] : tables)
      if (Lower(qualifier) == Lower(unqualified->first)) read.insert(table);
    if (read.size() != 1)
      Refuse(guide.DSG_ID, "its FROM clause names no one table " + unqualified->first);
    statements.push_back("CREATE INDEX Db_Search_Index_" + std::to_string(guide.DSG_ID) + "_" +
                         std::to_string(++k) + " ON " + *read.begin() + " USING gin ((" +
                         unqualified->second + ") " + DoubleQuoted(trigram_schema) +
                         ".gin_trgm_ops)");
  }
  if (statements.empty()) Refuse(guide.DSG_ID, "it has no search column");
  return statements;
}

std::vector<std::string> TrigramIndexNames(rdo::SqlSession& connection, int32_t guide) {
  rdo::rdoResultset found = connection.OpenResultset(
      "SELECT indexname AS Name FROM pg_indexes WHERE schemaname = current_schema() AND "
      "indexname LIKE 'db!_search!_index!_" +
      std::to_string(guide) + "!_%' ESCAPE '!' ORDER BY indexname");
  std::vector<std::string> names;
  for (; !found.IsEOF(); found.MoveNext()) names.push_back(found.Text("Name"));
  return names;
}

size_t BuildTrigramIndex(rdo::rdoConnection& connection, int32_t guide) {
  rdo::Transaction transaction = BeginChanging(connection);
  // Read under the lock: a guide deleted meanwhile gets no index.
  const std::vector<GuideDefinition> found = LoadGuideDefinitions(connection, {guide});
  if (found.empty() || !found.front().HasTablesRow) Refuse(guide, "it has no tables defined");
  connection.Execute("CREATE EXTENSION IF NOT EXISTS pg_trgm");
  rdo::rdoResultset schema = connection.OpenResultset(
      "SELECT extnamespace::regnamespace::text AS Name FROM pg_extension WHERE extname = "
      "'pg_trgm'");
  std::string trigram_schema = schema.Text("Name");
  if (trigram_schema.size() > 1 && trigram_schema.front() == '"')  // already quoted
    trigram_schema = trigram_schema.substr(1, trigram_schema.size() - 2);
  const std::vector<std::string> statements = TrigramIndexStatements(found.front(), trigram_schema);
  for (const std::string& name : TrigramIndexNames(connection, guide))
    connection.Execute("DROP INDEX " + name);
  for (const std::string& statement : statements) connection.Execute(statement);
  transaction.Commit();
  return statements.size();
}

bool DropTrigramIndex(rdo::rdoConnection& connection, int32_t guide) {
  rdo::Transaction transaction = BeginChanging(connection);
  const bool dropped = DropTrigramIndexWithin(connection, guide);
  transaction.Commit();
  return dropped;
}

bool DropTrigramIndexWithin(rdo::rdoConnection& connection, int32_t guide) {
  const std::vector<std::string> names = TrigramIndexNames(connection, guide);
  for (const std::string& name : names) connection.Execute("DROP INDEX " + name);
  return !names.empty();
}

}  // namespace corvanty
