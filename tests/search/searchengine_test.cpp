// SPDX-License-Identifier: Apache-2.0
// Searches on the shop database through the real SQLite and PostgreSQL ODBC
// drivers, with the guides read from the guide tables: the engine's results
// and errors, the search control, and guide search indexes. An index never
// changes what a search finds: random criteria give the same lines through
// the indexes as on a copy without them, on each server, also while random writes change the
// rows. On SQLite the index keeps up with every write to what a guide reads; a change to the guide
// or to the schema of what it reads makes the next search scan and see it; a rebuilt index finds
// the same. Guides it cannot keep fresh are refused, leaving the database as it was.
#include "search/searchengine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>
#include <set>
#include <sstream>

#include "connections/connectionstore.h"
#include "connections/sqlitedatabase.h"
#include "guides/guidestore.h"
#include "index/searchindexbuild.h"
#include "index/searchindexstate.h"
#include "index/sidepart.h"
#include "index/trigramindex.h"
#include "schema/searchengineinstaller.h"
#include "search/velmorastinesearch.h"
#include "statements/guideloader.h"
#include "statements/sqlliteral.h"
#include "statements/tsqltext.h"
#include "support/databasetest.h"
#include "support/randomrun.h"
#include "support/searchdatabase.h"
#include "support/searchextension.h"

namespace corvanty {
namespace {

using namespace corvanty::testing;
using Texts = std::vector<std::string>;

// Texts with apostrophes, double quotes, LIKE wildcards, letters that LIKE
// compares case-sensitively (non-ASCII) and the same words in other cases.
const Texts kTexts = {
    "Ann O'Hara",   "Zoë Ärger",  "ZOË ärger",      "Jürgen Müller", "Straße 5",   "100% Cotton",
    "under_score",  "a_b%c",      "Ünal İnce",      "naïve café",    "Ørsted A/S", "🙂 smile",
    "LYON Trade",   "lyon trade", "He said \"hi\"", "Kraków",        "São Paulo",  "ÅRHUS",
    "Tōkyō",        "red car",    "Red Car",        "blue bike",     "50% off",    "x_y tool",
    "café au lait", "ÉCLAIR",     "crème brûlée",   "apostrophe's",  "RED CAR 2",  "Oslo"};

std::string Literal(const std::string& text) { return "'" + QuoteApostrophes(text) + "'"; }

// More rows for the shop: every seventh city and every ninth item are NULL;
// customers 55 to 64 have no orders.
std::string GeneratedRows() {
  std::string sql;
  for (size_t i = 1; i <= 200; ++i) {
    if (i >= 6 && i <= 64)
      sql += "INSERT INTO customers VALUES (" + std::to_string(i) + ", " +
             Literal(kTexts[i % kTexts.size()] + " " + std::to_string(i)) + ", " +
             (i % 7 ? Literal(kTexts[i * 7 % kTexts.size()]) : "NULL") + ");";
    sql += "INSERT INTO orders VALUES (" + std::to_string(100 + i) + ", " +
           std::to_string(1 + (i * 13) % 54) + ", " +
           (i % 9 ? Literal(kTexts[i * 11 % kTexts.size()]) : "NULL") + ");";
  }
  return sql;
}

// Besides the shop's customers (1), orders by customer (2) and items (3, no
// key): 8, orders with a conversion of a number searched; 9, customers
// with each of their orders (a customer's row id stands for several rows), a WHERE clause
// with OR at its top, its id searched between brackets; 10, an outer join without a key:
// the orders' row ids miss customers without orders, so the customers' are used; it shows
// a date. Outer joins whose WHERE clause reads the optional side: 11, customers without
// orders; 12, orders with their customer, of a late order or one whose customer is gone
// (an OR over both sides); 13, even orders whose customer has no other order, or no city
// (the same table on both sides). Settings not named take the column table's defaults:
// shown, searched, no conversion.
const char kGuides[] =
    "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
    " (8, 'FROM orders o', 'WHERE o.id > 102'),"
    " (9, 'FROM customers c, orders o', 'WHERE o.customer_id = c.id AND o.id > 250"
    " OR o.customer_id = c.id AND c.city = ''Oslo'''),"
    " (10, 'FROM customers c LEFT JOIN orders o ON o.customer_id = c.id', NULL),"
    " (11, 'FROM customers c LEFT JOIN orders o ON o.customer_id = c.id', 'WHERE o.id IS NULL'),"
    " (12, 'FROM orders o LEFT JOIN customers c ON c.id = o.customer_id',"
    " 'WHERE o.id > 260 OR c.name IS NULL'),"
    " (13, 'FROM orders o LEFT JOIN customers c ON c.id = o.customer_id LEFT JOIN orders o2"
    " ON o2.customer_id = c.id AND o2.id <> o.id',"
    " 'WHERE o.id % 2 = 0 AND (o2.id IS NULL OR c.city IS NULL)');"
    "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
    " Show_in_list, Is_search_column, Is_key_column) VALUES (8, 1, 'o', 'id', 0, 0, -1),"
    " (9, 1, 'c', 'id', 0, 0, -1), (9, 2, 'c', 'city', -1, -1, 0), (9, 3, 'o', 'item', -1, -1, 0),"
    " (10, 1, 'o', 'item', -1, -1, 0), (10, 2, 'c', 'name', -1, -1, 0),"
    " (11, 1, 'c', 'id', 0, 0, -1), (11, 2, 'c', 'name', -1, -1, 0), (11, 3, 'c', 'city', -1, -1, "
    "0),"
    " (12, 1, 'o', 'id', 0, 0, -1), (12, 2, 'o', 'item', -1, -1, 0), (12, 3, 'c', 'name', -1, -1, "
    "0),"
    " (13, 1, 'o', 'id', 0, 0, -1), (13, 2, 'o', 'item', -1, -1, 0), (13, 3, 'c', 'name', -1, -1, "
    "0);"
    "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
    " Conv_required, Conversion_expression) VALUES"
    " (8, 2, 'o', 'id', -1, 'CONVERT(varchar, (o.id + 1) * 2.5) + ''/'' + o.item');"
    "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
    " Is_search_column, Conv_required, Conversion_expression) VALUES"
    " (9, 4, 'c', 'id', -1, -1, '''['' + CONVERT ( varchar(5) , c.id) + '']'''),"
    " (10, 3, 'o', 'id', 0, -1, 'CONVERT(varchar(10), ''2024-06-14'', 103)');";

const std::vector<int32_t> kSearched = {1, 2, 3, 8, 9, 10, 11, 12, 13};

// Pending lists merged after 2 to 8 row ids: merges come often, mid-statement
// and mid-transaction.
long long MergeAt(int32_t guide) { return 2 + guide % 7; }

size_t Pick(std::mt19937& rng, size_t count) {
  return std::uniform_int_distribution<size_t>(0, count - 1)(rng);
}

// A run of 1 to 7 characters of a stored text, its ASCII letters' case
// changed now and then, now and then a wildcard in it; or a text no row holds.
std::string Phrase(std::mt19937& rng) {
  if (Pick(rng, 20) == 0) return "zq'x";
  const std::string& text = kTexts[Pick(rng, kTexts.size())];
  const size_t characters = tsql::CharLength(text);
  const size_t length = 1 + Pick(rng, std::min<size_t>(7, characters));
  std::string phrase(tsql::Left(tsql::SkipChars(text, Pick(rng, characters - length + 1)), length));
  for (char& c : phrase)
    if (std::isalpha(static_cast<unsigned char>(c)) && Pick(rng, 4) == 0) c ^= 0x20;  // other case
  if (Pick(rng, 6) == 0)  // between characters: the criteria stay valid UTF-8
    phrase.insert(tsql::Left(phrase, Pick(rng, tsql::CharLength(phrase) + 1)).size(),
                  Pick(rng, 2) ? "%" : "_");
  return phrase;
}

// Criteria made of phrases (the digits of a form): plain text, one quoted
// phrase, phrases joined by AND and OR, an unclosed quote, blanks around, or
// nothing at all.
std::string Criteria(std::mt19937& rng) {
  const char* const forms[] = {"1",   "\"1\"", "\"1\" AND \"2\"",          "\"1\" or \"2\"",
                               "\"1", "  1 ",  "\"1\" and \"2\" OR \"3\"", ""};
  std::string criteria;
  for (const char c : std::string(forms[Pick(rng, std::size(forms))]))
    criteria += std::isdigit(c) ? Phrase(rng) : std::string(1, c);
  return criteria;
}

// A random write to the tables the guides read, with row ids and names
// (unique) that often meet stored ones: INSERT, INSERT OR REPLACE and OR
// IGNORE, UPDATE of searched, join, key and unread columns, DELETE of one
// row or several.
std::string Write(std::mt19937& rng) {
  auto number = [&](size_t from, size_t count) { return std::to_string(from + Pick(rng, count)); };
  const std::string id = number(1, 80), order = number(100, 220);
  const std::string text = Literal(kTexts[Pick(rng, kTexts.size())] + (Pick(rng, 2) ? "" : id));
  const std::string name = Literal(kTexts[Pick(rng, kTexts.size())] + " " + number(1, 80));
  const std::string writes[] = {
      "INSERT OR REPLACE INTO customers VALUES (" + id + ", " + name + ", " + text + ")",
      "INSERT OR IGNORE INTO customers (name, city) VALUES (" + name + ", NULL)",
      "UPDATE OR REPLACE customers SET name = " + name + " WHERE id = " + id,
      "UPDATE customers SET city = " + text + " WHERE id % 9 = " + number(0, 9),
      "UPDATE OR REPLACE customers SET id = " + number(1, 80) + " WHERE id = " + id,
      "DELETE FROM customers WHERE id = " + id,
      "INSERT INTO orders (customer_id, item) VALUES (" + id + ", " + text + ")",
      "REPLACE INTO orders VALUES (" + order + ", " + id + ", " + text + ")",
      "UPDATE orders SET item = " + text + " WHERE id = " + order,
      "UPDATE orders SET customer_id = " + id + " WHERE id = " + order,
      "UPDATE OR IGNORE orders SET id = " + number(100, 220) + " WHERE id = " + order,
      "DELETE FROM orders WHERE id BETWEEN " + order + " AND " + order + " + 2",
      "UPDATE numbers SET label = " + text,
  };
  return writes[Pick(rng, std::size(writes))];
}

// One write alone, or several in a transaction, committed or rolled back.
std::string Writes(std::mt19937& rng) {
  const size_t form = Pick(rng, 6);
  if (form < 3) return Write(rng);
  std::string writes;
  for (size_t i = 0; i < 3; ++i) writes += Write(rng) + ";";
  return "BEGIN;" + writes + (form < 5 ? "COMMIT" : "ROLLBACK");
}

// Each entry of a search index the query gives (row id first, then each
// column, ordered by row id): its row id, then each column's lines in
// sorted order.
Texts Entries(const std::string& file, const std::string& query) {
  Texts entries;
  for (const auto& row : QuerySqlite(file, query)) {
    std::string entry = row[0].value_or("");
    for (size_t i = 1; i < row.size(); ++i) {
      Texts lines;
      std::istringstream text(row[i].value_or(""));
      for (std::string line; std::getline(text, line);) lines.push_back(line);
      std::sort(lines.begin(), lines.end());
      entry += "|" + std::accumulate(lines.begin(), lines.end(), std::string(),
                                     [](std::string all, const std::string& line) {
                                       return all + line + "\n";
                                     });
    }
    entries.push_back(entry);
  }
  return entries;
}

// The row ids of the guide's pending list.
std::set<std::string> Pending(const std::string& file, int32_t guide) {
  const Texts ids = SqliteColumn(
      file, "SELECT Row_id FROM Db_Search_Index_" + std::to_string(guide) + "_pending");
  return {ids.begin(), ids.end()};
}

// The entries but those of the row ids left out.
Texts Without(Texts entries, const std::set<std::string>& left_out) {
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [&](const std::string& entry) {
                                 return left_out.count(entry.substr(0, entry.find('|'))) > 0;
                               }),
                entries.end());
  return entries;
}

// The entries of the guide's search index as they are, but those of
// left_out.
Texts IndexEntries(const std::string& file, int32_t guide,
                   const std::set<std::string>& left_out = {}) {
  const std::string table = "Db_Search_Index_" + std::to_string(guide);
  return Without(Entries(file, "SELECT rowid, * FROM " + table + " ORDER BY rowid"), left_out);
}

// The entries a rebuild would give it now, but those of left_out: the rows
// its build filled it from, read again.
Texts RebuiltEntries(const std::string& file, int32_t guide,
                     const std::set<std::string>& left_out) {
  const std::string fill =
      SqliteColumn(file, "SELECT Fill_statement FROM Db_Search_Index_State WHERE DSG_ID = " +
                             std::to_string(guide))
          .at(0);
  const size_t select = fill.find(") SELECT ") + 2;
  return Without(Entries(file, "SELECT * FROM (" + fill.substr(select) + "\n) ORDER BY 1"),
                 left_out);
}

// What the FTS5 index of a part holds, "row id term offset" each, and what
// a fresh index of rows would: two views of one connection, compared as the
// texts beside them say nothing of the index itself.
std::pair<Texts, Texts> PartTerms(const std::string& file, const std::string& part,
                                  const std::string& rows) {
  sqlite::Database db(file, sqlite::Database::Mode::kReadWrite);
  db.Exec("CREATE VIRTUAL TABLE temp.Kept USING fts5vocab(main, '" + part +
          "', 'instance'); CREATE VIRTUAL TABLE temp.Fresh USING fts5(c1, content='', "
          "tokenize='trigram', columnsize=0); INSERT INTO temp.Fresh (rowid, c1) " +
          rows + "; CREATE VIRTUAL TABLE temp.Made USING fts5vocab(temp, 'Fresh', 'instance')");
  std::pair<Texts, Texts> terms;
  for (auto [table, list] : {std::pair("Kept", &terms.first), std::pair("Made", &terms.second)})
    for (sqlite::Statement read = db.Prepare(std::string("SELECT doc || '|' || term || ' ' || "
                                                         "offset FROM temp.") +
                                             table + " ORDER BY doc, term, offset");
         read.Step();)
      list->emplace_back(read.TextView(0));
  return terms;
}

// The entries of the guide's side parts but those pending, as they are
// and as a rebuild would make them: each part's rows read again, its texts
// and its FTS5 index.
std::pair<Texts, Texts> SideEntries(const std::string& file, int32_t guide) {
  std::pair<Texts, Texts> entries;
  std::istringstream fills(SqliteColumn(file,
                                        "SELECT Side_fills FROM Db_Search_Index_State "
                                        "WHERE DSG_ID = " +
                                            std::to_string(guide))
                               .at(0));
  // Each fills the texts of a part, Db_Search_Part_H_text, and is followed
  // by the definition of the part's pending list.
  const std::string insert = "INSERT INTO ", texts = "_text";
  for (std::string line; std::getline(fills, line);) {
    const std::string fill = line.substr(0, line.find("; CREATE TABLE "));
    const std::string table = fill.substr(insert.size(), fill.find(texts + " (") - insert.size());
    const Texts ids = SqliteColumn(file, "SELECT Row_id FROM " + table + "_pending");
    const std::set<std::string> pending(ids.begin(), ids.end());
    for (const std::string& entry :
         Without(Entries(file, "SELECT rowid, * FROM " + table + " ORDER BY rowid"), pending))
      entries.first.push_back(entry);
    const std::string rows = fill.substr(fill.find(") SELECT ") + 2);
    for (const std::string& entry :
         Without(Entries(file, "SELECT * FROM (" + rows + ") ORDER BY 1"), pending))
      entries.second.push_back(entry);
    const auto [kept, made] = PartTerms(file, table, rows);
    for (const std::string& term : Without(kept, pending)) entries.first.push_back(term);
    for (const std::string& term : Without(made, pending)) entries.second.push_back(term);
  }
  return entries;
}

// The lines the statements find, ResultList*IDColumn*DSG_ID each, in order.
Texts Lines(rdo::rdoConnection& connection, const std::vector<GuideStatement>& statements) {
  Texts lines;
  for (const GuideStatement& statement : statements)
    for (rdo::ForwardReader rows = connection.OpenForwardOnly(statement.SQL); rows.Fetch();)
      lines.push_back(rows.Value(0).value_or("") + "*" + rows.Value(1).value_or("") + "*" +
                      rows.Value(2).value_or(""));
  return lines;
}

// The same, sorted.
Texts Found(rdo::rdoConnection& connection, const std::vector<GuideStatement>& statements) {
  Texts lines = Lines(connection, statements);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// What PostgreSQL's search service answers for the criteria over the
// searched guides: the statements it runs, then the lines it returns
// (sorted, once seen to come guide after guide).
std::pair<Texts, Texts> AskService(rdo::rdoConnection& connection, const std::string& criteria) {
  const std::string arguments =
      "(' 1,2, 3,8,9 ,10,11, 12,13', '" + QuoteApostrophes(criteria) + "')";
  Texts statements;
  for (auto rows =
           connection.OpenForwardOnly("SELECT sql FROM velmorastine_search_sql" + arguments);
       rows.Fetch();)
    statements.push_back(rows.Value(0).value_or("NULL"));
  std::vector<int> guides;
  for (auto rows = connection.OpenForwardOnly("SELECT dsg_id FROM velmorastine_search" + arguments);
       rows.Fetch();)
    guides.push_back(std::stoi(rows.Value(0).value_or("0")));
  EXPECT_TRUE(std::is_sorted(guides.begin(), guides.end())) << criteria;
  return {statements,
          Found(connection, {{0, "SELECT * FROM velmorastine_search" + arguments, ""}})};
}

// The guides as the search functions of the SQLite extension take them.
std::string GuideList(const std::vector<int32_t>& guides) {
  std::string list;
  for (int32_t guide : guides) list += (list.empty() ? "" : ",") + std::to_string(guide);
  return list;
}

// The PostgreSQL extension in the schema of the guide tables.
const char kCreateSearchExtension[] =
    "DO $$ BEGIN EXECUTE format('CREATE EXTENSION corvanty_search SCHEMA %I', current_schema()); "
    "END $$";

const char kExtensionSearch[] = "SELECT * FROM velmorastine_search(?1, ?2)";
const char kExtensionStatements[] = "SELECT sql FROM velmorastine_search_sql(?1, ?2)";

class IndexedSearch : public EachServer {};
INSTANTIATE_TEST_SUITE_P(On, IndexedSearch, kEachServer, ServerParamName);

// On SQLite each search follows random writes, the same on both copies;
// the indexes keep up with them, and end as a rebuilt index would be.
TEST_P(IndexedSearch, FindsWhatTheScanFindsForRandomCriteria) {
  const std::string rows =
      GeneratedRows() + kGuides + "CREATE UNIQUE INDEX named ON customers (name);";
  rdo::rdoConnection indexed = rdo::rdoConnection::Open(AddShop("Indexed", rows));
  rdo::rdoConnection plain = rdo::rdoConnection::Open(AddShop("Plain", rows));
  for (int32_t guide : kSearched)
    if (postgres())
      BuildTrigramIndex(indexed, guide);
    else
      BuildSearchIndex(indexed, guide, MergeAt(guide));
  // On PostgreSQL its search service answers alike, through the indexes and without,
  // in both its forms: the PL/pgSQL functions, and the extension on copies in
  // databases of their own (a database holds the extension once).
  std::vector<rdo::rdoConnection*> served;
  if (postgres()) served = {&indexed, &plain};
  for (const std::unique_ptr<PostgresSchema>& schema : schemas_) {
    Session session(schema->connect);
    ASSERT_TRUE(basCorvantyAdmin::BuildSearchEngine(session));
  }
  std::vector<std::unique_ptr<PostgresSchema>> extension_copies;
  std::vector<rdo::rdoConnection> extension_served;
  for (const char* copy : {"IndexedExtension", "PlainExtension"}) {
    if (!postgres()) break;
    const auto& schema = extension_copies.emplace_back(
        AddPostgresShop(std::string(copy) + "OnPostgres", rows, SharedPostgresServer(),
                        PostgresSchema::Database::OwnDatabase));
    schema->Query(kCreateSearchExtension);
    rdo::rdoConnection& connection =
        extension_served.emplace_back(rdo::rdoConnection::Open(schema->connect));
    if (extension_served.size() == 1)
      for (int32_t guide : kSearched) BuildTrigramIndex(connection, guide);
  }
  for (rdo::rdoConnection& connection : extension_served) served.push_back(&connection);

  // On SQLite the extension, in a connection of its own to each file, runs
  // the engine's statements and finds its rows in its order.
  std::optional<ExtensionConnection> extension[2];
  if (!postgres())
    for (int i = 0; i < 2; ++i) extension[i].emplace(odbc_.File(i ? "Plain.db" : "Indexed.db"));

  const testing::RandomRun run(20240614);
  std::mt19937 rng(run.Seed());
  const size_t kCriteria = run.Cases(1000);
  size_t through_index = 0, found = 0, merged = 0, side_compared = 0;
  for (size_t i = 0; i < kCriteria; ++i) {
    const std::string writes = postgres() ? "" : Writes(rng);
    for (const char* copy : {"Indexed.db", "Plain.db"})
      if (!writes.empty()) ExecSqlite(odbc_.File(copy), writes);
    const std::string criteria = Criteria(rng);
    const PlannedSearch planned = PlanSearch(indexed, kSearched, SearchCriteria(criteria));
    for (const SearchPath& path : planned.paths) through_index += path.indexed;
    const Texts lines = Found(indexed, planned.statements);
    const PlannedSearch scanned = PlanSearch(plain, kSearched, SearchCriteria(criteria));
    ASSERT_EQ(lines, Found(plain, scanned.statements))
        << "criteria: " << criteria << "; after: " << writes;
    if (!postgres() && i % 4 == 0)
      for (int32_t guide : kSearched) {
        ASSERT_EQ(ReadSearchIndexState(indexed, guide).state, IndexState::Fresh) << writes;
        // Merged as the lists fill: never much over their size.
        const std::set<std::string> pending = Pending(odbc_.File("Indexed.db"), guide);
        ASSERT_LE(pending.size(), 40u) << "guide " << guide;
        merged += static_cast<long long>(pending.size()) < MergeAt(guide);
        // Each entry not pending as a rebuild would make it.
        ASSERT_EQ(IndexEntries(odbc_.File("Indexed.db"), guide, pending),
                  RebuiltEntries(odbc_.File("Indexed.db"), guide, pending))
            << "guide " << guide << " after: " << writes;
        const auto [side_entries, side_rebuilt] = SideEntries(odbc_.File("Indexed.db"), guide);
        ASSERT_EQ(side_entries, side_rebuilt) << "guide " << guide << " after: " << writes;
        side_compared += side_entries.size();
      }
    for (rdo::rdoConnection* connection : served) {
      Texts statements;
      for (const GuideStatement& statement :
           (connection == &indexed || connection == extension_served.data() ? planned : scanned)
               .statements)
        statements.push_back(statement.SQL);
      ASSERT_EQ(AskService(*connection, criteria), std::pair(statements, lines))
          << "criteria: " << criteria;
    }
    found += !lines.empty();
    for (int e = 0; e < 2 && !postgres(); ++e) {
      const PlannedSearch& engine = e ? scanned : planned;
      Texts statements;
      for (const GuideStatement& statement : engine.statements) statements.push_back(statement.SQL);
      const Texts arguments = {GuideList(kSearched), criteria};
      ASSERT_EQ(extension[e]->Lines(kExtensionStatements, arguments), statements) << criteria;
      ASSERT_EQ(extension[e]->Lines(kExtensionSearch, arguments),
                Lines(e ? plain : indexed, engine.statements))
          << "criteria: " << criteria;
    }
  }
  // Not a comparison of empty answers, and the index served often.
  EXPECT_GT(found, kCriteria / 2);
  EXPECT_GT(through_index, kCriteria * kSearched.size() / 3);
  if (postgres()) return;
  EXPECT_GT(merged, kCriteria / 4);
  EXPECT_GT(side_compared, kCriteria);  // guides 2 and 9 keep names and items on their own rows
  for (int32_t guide : kSearched) {
    BuildSearchIndex(plain, guide);
    const std::set<std::string> pending = Pending(odbc_.File("Indexed.db"), guide);
    EXPECT_EQ(IndexEntries(odbc_.File("Indexed.db"), guide, pending),
              IndexEntries(odbc_.File("Plain.db"), guide, pending))
        << "guide " << guide;
  }
}

// Guide 10 is the customers guide again (its number begins with 1's); 11
// and 12 have clauses that would cut off the search conditions; 13 holds
// the same characters inside a quoted text only.
const char kMoreGuides[] =
    "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) SELECT 10,"
    " FROM_clause, WHERE_clause FROM Db_Search_Guide_Tables WHERE DSG_ID = 1;"
    "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
    " (11, 'FROM customers c', 'WHERE c.id = 2 -- every customer'),"
    " (12, 'FROM customers c /* all */', NULL),"
    " (13, 'FROM customers c', 'WHERE c.name <> '';--/*'' AND c.id = 3');"
    "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
    " Show_in_list, Is_search_column, List_column_separator, Conv_required,"
    " Conversion_expression, Is_key_column) SELECT 10, DSG_column_seq_no, Column_qualifier,"
    " Column_name, Show_in_list, Is_search_column, List_column_separator, Conv_required,"
    " Conversion_expression, Is_key_column FROM Db_Search_Guide_Cols WHERE DSG_ID = 1;"
    "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name)"
    " VALUES (11, 1, 'c', 'name'), (12, 1, 'c', 'name'), (13, 1, 'c', 'name');";

class SearchEngine : public EachServer {
 protected:
  void SetUp() override {
    EachServer::SetUp();
    if (!IsSkipped() && !HasFailure()) connect_ = AddShop("Shop", kMoreGuides);
  }

  // The results of the search, in order, then the error it ended in, if any.
  // On SQLite the extension's function finds the same, but that it returns
  // an invalid guide list's message as its one row, and that its errors are
  // SQLite's words without the ODBC driver's decoration.
  Texts Search(const std::vector<int32_t>& guides, const std::string& criteria) {
    Texts lines;
    try {
      std::unique_ptr<SearchRun> run = StartSearch(connect_, guides, criteria);
      while (std::optional<SearchResult> result = run->Next())
        lines.push_back(result->ResultList + "*" + result->IDColumn + "*" +
                        std::to_string(result->DSG_ID));
    } catch (const rdo::DatabaseError& error) {
      lines.push_back(std::string("error: ") + error.what());
    }
    if (!postgres()) {
      const Texts invalid = {std::string("error: ") + kInvalidGuidesMessage};
      Texts expected = lines == invalid ? Texts{std::string(kInvalidGuidesMessage) + "**"} : lines;
      Texts found = ExtensionConnection(odbc_.File("Shop.db"))
                        .Lines(kExtensionSearch, {GuideList(guides), criteria});
      const auto error = [](const Texts& texts) {
        return texts.empty() || texts.back().rfind("error: ", 0) != 0 ? "" : texts.back().substr(7);
      };
      if (!error(found).empty() && error(expected).find(error(found)) != std::string::npos)
        expected.back() = found.back();  // "[SQLite]integer overflow (1)": "integer overflow"
      EXPECT_EQ(found, expected);
    }
    return lines;
  }
  std::string connect_;
};
INSTANTIATE_TEST_SUITE_P(On, SearchEngine, kEachServer, ServerParamName);

// Guide search indexes of SQLite, kept fresh by triggers.
class SearchIndex : public ::testing::Test {
 protected:
  // The keys of the lines, in order, each followed by *.
  static std::string KeysOf(const Texts& lines) {
    std::multiset<std::string> keys;
    for (const std::string& line : lines) keys.insert(line.substr(line.find('*') + 1, 3));
    return std::accumulate(keys.begin(), keys.end(), std::string());
  }
  // The keys the statements find.
  static std::string Keys(rdo::rdoConnection& connection, const std::vector<GuideStatement>& sql) {
    return KeysOf(Found(connection, sql));
  }

  // The keys found by a search of the orders guide for "car", then the path
  // it took.
  static std::string SearchForCar(rdo::rdoConnection& connection) {
    const PlannedSearch planned = PlanSearch(connection, {kOrdersGuide}, SearchCriteria("car"));
    return Keys(connection, planned.statements) + "| " + planned.paths.at(0).why;
  }

  OdbcFixture odbc_;
  const std::string connect_ = AddShopDatabase(odbc_, "Shop");
  const std::string file_ = odbc_.File("Shop.db");
  rdo::rdoConnection connection_ = rdo::rdoConnection::Open(connect_);
};

TEST_P(SearchEngine, ResultsCarryTextKeyAndGuideNumberInGuideOrderAndErrorsEndTheSearch) {
  // A NULL name or city adds empty text; the separator and the other value stay.
  EXPECT_EQ(Search({kCustomersGuide}, "o"),
            (Texts{", Oslo*2*1", "Carla O'Hara, Lyon*3*1", "Dan Borg, *4*1"}));
  // Ascending guide numbers whatever the list order, each searched on its
  // own columns; a number without rows is skipped; no key column gives 0.
  EXPECT_EQ(Search({kItemsGuide, 99, kCustomersGuide, kItemsGuide}, "an"),
            (Texts{"Ann Lee, Paris*1*1", "Dan Borg, *4*1", "green van*0*3"}));
  EXPECT_EQ(Search({kCustomersGuide}, "nnn"), Texts{std::string(200, 'n') + "*5*1"});  // cut
  // Errors end the search, never as result lines.
  EXPECT_EQ(Search({99}, "n"), Texts{std::string("error: ") + kInvalidGuidesMessage});
  // Invalid guides are refused before any row of the valid ones is read.
  EXPECT_EQ(Search({kCustomersGuide, kNoTablesRowGuide}, "n"),
            Texts{"error: Error: Database Search Guide 5 has no tables defined."});
  EXPECT_EQ(Search({kNothingShownGuide, kCustomersGuide}, "n"),
            Texts{"error: Error: Database Search Guide 6 shows no column in its result list."});
  // A comment or a ; would cut off the search conditions: never every row.
  const std::string kCutOff =
      " clause holds a comment (-- or /*) or a ; outside quotes, which would cut off the search "
      "conditions.";
  EXPECT_EQ(
      Search({kCustomersGuide, 11}, "n"),
      Texts{"error: Error: Database Search Guide 11 cannot be searched: its WHERE" + kCutOff});
  EXPECT_EQ(Search({12}, "n"),
            Texts{"error: Error: Database Search Guide 12 cannot be searched: its FROM" + kCutOff});
  EXPECT_EQ(Search({13}, "a"), Texts{"Carla O'Hara*0*13"});
  if (!postgres()) {
    // The extension reads its guide list as whole numbers only, blanks
    // allowed around them: anything else never reaches a statement.
    ExtensionConnection extension(odbc_.File("Shop.db"));
    for (const std::string list :
         {"", "1,,3", "1;DELETE FROM customers", "-1", "1 3", "1.0", "2147483648"})
      EXPECT_EQ(extension.Lines(kExtensionSearch, {list, "an"}),
                Texts{"error: The Database Search Guide list '" + list +
                      "' is not whole numbers separated by commas."});
    EXPECT_EQ(extension.Lines(kExtensionSearch, {" 3 , 1 ", "an"}),
              (Texts{"Ann Lee, Paris*1*1", "Dan Borg, *4*1", "green van*0*3"}));
    EXPECT_EQ(extension.Lines(kExtensionStatements, {"99", "an"}), Texts{kInvalidGuidesMessage});
    EXPECT_EQ(extension.Lines("SELECT * FROM velmorastine_search('1')"),
              Texts{"error: the search takes two arguments: dsgstring and criteria"});
  }
  // A row that fails while being read ends the search: the rows before it
  // came out (PostgreSQL's driver fetches them in one batch with the
  // failing one), the rest are not silently dropped.
  if (postgres())
    EXPECT_THAT(Search({kOverflowGuide}, "n"),
                ::testing::ElementsAre(::testing::HasSubstr("bigint out of range")));
  else
    EXPECT_THAT(Search({kOverflowGuide}, "n"),
                ::testing::ElementsAre("5*1*7", ::testing::HasSubstr("overflow")));
}

// As the test dialog drives the control: connection values once, then guide
// name and criteria before each search, results one by one; past the end,
// or after an error, there is no current result.
TEST_P(SearchEngine, TheControlHandsOutResultsOneByOneAndAnErrorLeavesNone) {
  VelmorastineSearch::Corvanty control;
  control.DataSourceName = postgres() ? schemas_.at(0)->dsn : "Shop";
  control.UserID = postgres() ? schemas_.at(0)->server.user : "admin";
  control.Password = postgres() ? schemas_.at(0)->server.password : "";
  auto run = [&](const std::string& guide, const std::string& criteria) {
    control.SearchGuide = guide;
    control.Criteria = criteria;
    std::string texts;
    try {
      for (control.RunSearch(); !control.EndOfResults(); control.NextResult())
        texts += control.ResultText() + "|";
    } catch (const rdo::DatabaseError&) {
      texts += "error|";
    }
    control.NextResult();
    return texts + (control.EndOfResults() ? "end" : "more") + "|" + control.ResultText();
  };
  // The guide is found by its exact name.
  EXPECT_EQ(run("Orders by customer's name", "O'Hara"),
            "red car for Carla O'Hara|green van for Carla O'Hara|end|");
  EXPECT_EQ(run("No such guide", "o"), "error|end|");
  // The second row fails; on PostgreSQL with the first in one batch.
  EXPECT_EQ(run("Overflow", "n"), (postgres() ? "" : "5|") + std::string("error|end|"));
}

// Guides 1 and 10 share the first digit of their numbers: building,
// rebuilding or dropping 1's index, and deleting guide 1, touch 1's objects
// only; 10's stay, fresh and used.
TEST_P(SearchEngine, OneGuidesIndexChangesLeaveTheOtherGuidesIndexesAlone) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect_);
  auto build = [&](int32_t guide) {
    postgres() ? BuildTrigramIndex(connection, guide) : BuildSearchIndex(connection, guide).rows;
  };
  // Guide 10's objects, then guide 1's, then whether 10's index serves.
  auto objects = [&] {
    const std::string names =
        postgres() ? "SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() AND "
                     "indexname LIKE "
                   : "SELECT count(*) FROM sqlite_master WHERE name LIKE ";
    auto count = [&](const std::string& pattern) {
      const std::string sql = names + "'" + pattern + "' ESCAPE '!'";
      return (postgres() ? schemas_.at(0)->Query(sql) : SqliteColumn(odbc_.File("Shop.db"), sql))
          .at(0);
    };
    const bool served = PlanSearch(connection, {10}, SearchCriteria("Lyon")).paths.at(0).indexed;
    return count("db!_search!_index!_10%") + " " + count("db!_search!_index!_1") + "+" +
           count("db!_search!_index!_1!_%") + (served ? " served" : " unused");
  };
  // SQLite: the FTS5 table, its four shadow tables, its pending list and
  // fourteen triggers (eight keeping it up to date on its rows' table, three
  // on each guide table); PostgreSQL: one per search column.
  const std::string ten = postgres() ? "2 " : "20 ", one = postgres() ? "0+2" : "1+19";
  build(10);
  build(1);
  EXPECT_EQ(objects(), ten + one + " served");
  build(1);
  EXPECT_EQ(objects(), ten + one + " served");
  postgres() ? DropTrigramIndex(connection, 1) : DropSearchIndex(connection, 1);
  EXPECT_EQ(objects(), ten + "0+0 served");
  build(1);
  EXPECT_TRUE(DeleteGuide(connection, kCustomersGuide));
  EXPECT_EQ(objects(), ten + "0+0 served");
  EXPECT_EQ(Search({kCustomersGuide}, "o"), Texts{std::string("error: ") + kInvalidGuidesMessage});
}

TEST_F(SearchIndex, EveryChangeToWhatAnIndexedGuideReadsIsSeenByTheNextSearch) {
  const std::string kIndexed = "| index: the rows of o it finds for \"car\"";
  const std::string kChanged =
      "| scan: its search index is stale: the guide changed since it was built";
  const std::string kSchema =
      "| scan: its search index is stale: the database's schema changed since it was built";
  // Orders 10 (red car) and 12 (green van) are Carla O'Hara's, 11 (blue
  // bike) is Ann Lee's; "car" is in Carla's name and in order 10's item.
  // Rows written are kept up to date with, through the join.
  const std::pair<const char*, std::string> cases[] = {
      {"INSERT INTO orders VALUES (13, 1, 'race car')", "10*12*13*" + kIndexed},
      {"UPDATE orders SET item = 'blue cart' WHERE id = 11", "10*11*12*" + kIndexed},
      {"DELETE FROM orders WHERE id = 10", "12*" + kIndexed},
      {"INSERT INTO customers VALUES (6, 'Carlos', 'Cork')", "10*12*" + kIndexed},
      {"UPDATE customers SET name = 'Ann Carter' WHERE id = 1", "10*11*12*" + kIndexed},
      {"DELETE FROM customers WHERE id = 3", kIndexed},
      {"BEGIN; DELETE FROM customers WHERE id = 3; ROLLBACK", "10*12*" + kIndexed},
      // The row replaced goes without a delete trigger.
      {"INSERT OR REPLACE INTO orders VALUES (10, 9, 'red car')", "12*" + kIndexed},
      {"REPLACE INTO customers VALUES (3, 'Dora', 'Rome')", "10*" + kIndexed},
      // The guide's columns and clauses.
      {"UPDATE Db_Search_Guide_Cols SET Is_search_column = 0 WHERE DSG_ID = 2 AND "
       "Column_name = 'name'",
       "10*" + kChanged},
      {"UPDATE Db_Search_Guide_Tables SET WHERE_clause = WHERE_clause || ' AND o.id > 10'",
       "12*" + kChanged},
      // The schema of a table it reads: a unique index decides what a write
      // replaces. VACUUM keeps row ids that are an INTEGER PRIMARY KEY.
      {"ALTER TABLE orders ADD COLUMN note TEXT", "10*12*" + kSchema},
      {"CREATE UNIQUE INDEX customer_city ON customers (city)", "10*12*" + kSchema},
      {"VACUUM", "10*12*" + kIndexed},
      // Another guide's rows, and tables the guide does not read, change nothing.
      {"UPDATE Db_Search_Guide_Cols SET Show_in_list = 0 WHERE DSG_ID = 1;"
       "UPDATE numbers SET label = 'car'; CREATE TABLE unrelated (x)",
       "10*12*" + kIndexed},
  };
  int shop = 0;
  for (const auto& [change, found] : cases) {
    SCOPED_TRACE(change);
    const std::string name = "Shop" + std::to_string(++shop);  // a shop of its own
    rdo::rdoConnection connection = rdo::rdoConnection::Open(AddShopDatabase(odbc_, name));
    BuildSearchIndex(connection, kOrdersGuide);
    const PlannedSearch fresh = PlanSearch(connection, {kOrdersGuide}, SearchCriteria("car"));
    EXPECT_EQ(SearchForCar(connection), "10*12*" + kIndexed);
    // The change made by a program with the extension, which searches
    // before it commits (VACUUM cannot run in a transaction, and a change
    // with a transaction of its own runs as it is): it sees its own change,
    // and takes the path the engine takes once it is committed.
    ExtensionConnection extension(odbc_.File(name + ".db"));
    const bool bare = std::string(change) == "VACUUM" || std::string(change).rfind("BEGIN", 0) == 0;
    extension.Exec((bare ? "" : "BEGIN;") + std::string(change));
    const Texts arguments = {std::to_string(kOrdersGuide), "car"};
    const Texts statement = extension.Lines(kExtensionStatements, arguments);
    EXPECT_EQ(KeysOf(extension.Lines(kExtensionSearch, arguments)),
              found.substr(0, found.find('|')));
    if (!bare) extension.Exec("COMMIT");
    EXPECT_EQ(SearchForCar(connection), found);
    EXPECT_EQ(
        statement,
        Texts{PlanSearch(connection, {kOrdersGuide}, SearchCriteria("car")).statements[0].SQL});
    // A statement made for the fresh index finds the rows as they are when
    // it runs; its guide as it was then decides.
    const bool guide_changed = std::string(change).find("Db_Search") != std::string::npos;
    EXPECT_EQ(Keys(connection, fresh.statements),
              guide_changed ? "10*12*" : found.substr(0, found.find('|')));
    BuildSearchIndex(connection, kOrdersGuide);
    EXPECT_EQ(SearchForCar(connection), found.substr(0, found.find('|')) + kIndexed);
  }
  // Changes after the extension has planned, each seen by its next call:
  // its own (schema, rows, a transaction rolled back after it searched in
  // it, a temporary table hiding the guide's) and another connection's.
  rdo::rdoConnection connection = rdo::rdoConnection::Open(AddShopDatabase(odbc_, "Elsewhere"));
  BuildSearchIndex(connection, kOrdersGuide);
  ExtensionConnection extension(odbc_.File("Elsewhere.db"));
  const Texts arguments = {std::to_string(kOrdersGuide), "car"};
  const struct {
    bool own;
    const char* change;
    const char* after_search;
  } steps[] = {
      {true, "ALTER TABLE orders ADD COLUMN note TEXT", ""},
      {true,
       "UPDATE Db_Search_Guide_Cols SET Is_search_column = 0 WHERE DSG_ID = 2 AND "
       "Column_name = 'name'",
       ""},
      {false, "UPDATE Db_Search_Guide_Tables SET WHERE_clause = WHERE_clause || ' AND o.id > 10'",
       ""},
      {true, "BEGIN; UPDATE Db_Search_Guide_Cols SET Is_search_column = -1", "ROLLBACK"},
      {true,
       "CREATE TEMP TABLE Db_Search_Guide_Tables AS SELECT * FROM main.Db_Search_Guide_Tables "
       "WHERE 0",
       ""},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.change);
    extension.Lines(kExtensionStatements, arguments);
    if (step.own)
      extension.Exec(step.change);
    else
      connection.Execute(step.change);
    if (*step.after_search) {
      extension.Lines(kExtensionStatements, arguments);
      extension.Exec(step.after_search);
    }
    // The temporary table is the extension's connection's alone.
    EXPECT_EQ(
        extension.Lines(kExtensionStatements, arguments),
        std::string(step.change).find("TEMP") == std::string::npos
            ? Texts{PlanSearch(connection, {kOrdersGuide}, SearchCriteria("car")).statements[0].SQL}
            : Texts{"error: Error: Database Search Guide 2 has no tables defined."});
  }
}

// VACUUM keeps the row ids of a table whose INTEGER PRIMARY KEY they are,
// and may renumber the others': an index of the first stays fresh, one of
// the second turns stale; either way a search finds what the scan finds.
TEST_F(SearchIndex, VacuumLeavesFreshOnlyAnIndexWhoseRowIdsAreAKey) {
  ExecSqlite(file_,
             "CREATE TABLE tags (label TEXT);"
             "INSERT INTO tags VALUES ('red car'), ('old car'), ('bike');"
             "DELETE FROM tags WHERE label = 'red car';"
             "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
             " (8, 'FROM tags t', NULL);"
             "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
             " Column_name) VALUES (8, 1, 't', 'label');");
  BuildSearchIndex(connection_, kOrdersGuide);
  BuildSearchIndex(connection_, 8);
  ExecSqlite(file_, "UPDATE orders SET item = 'race car' WHERE id = 11; VACUUM");
  EXPECT_EQ(ReadSearchIndexState(connection_, kOrdersGuide).state, IndexState::Fresh);
  const SearchIndexState tags = ReadSearchIndexState(connection_, 8);
  EXPECT_EQ(tags.state, IndexState::Stale);
  EXPECT_EQ(tags.why_stale, "the database's schema changed since it was built");
  EXPECT_EQ(SearchForCar(connection_), "10*11*12*| index: the rows of o it finds for \"car\"");
  const PlannedSearch planned = PlanSearch(connection_, {8}, SearchCriteria("car"));
  EXPECT_EQ(Found(connection_, planned.statements), Texts{"old car*0*8"});
}

// A LEFT JOIN's optional side gives no row ids even while every row has
// one there: the customer whose last order goes keeps the entry of its row.
TEST_F(SearchIndex, TheOptionalSideOfAnOuterJoinNeverGivesTheRowIds) {
  ExecSqlite(file_,
             "INSERT INTO orders VALUES (13, 4, 'kite'), (14, 2, 'kite'), (15, 5, 'kite');"
             "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
             " (8, 'FROM customers c LEFT JOIN orders o ON o.customer_id = c.id', NULL);"
             "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
             " Column_name) VALUES (8, 1, 'o', 'item'), (8, 2, 'c', 'name');");
  EXPECT_EQ(BuildSearchIndex(connection_, 8).candidate_qualifier, "c");
  ExecSqlite(file_, "DELETE FROM orders WHERE id = 13");
  const PlannedSearch planned = PlanSearch(connection_, {8}, SearchCriteria("Borg"));
  EXPECT_TRUE(planned.paths.at(0).indexed) << planned.paths.at(0).why;
  EXPECT_EQ(Found(connection_, planned.statements), Texts{" Dan Borg*0*8"});
}

// A table of a temporary or attached schema named as one the guide reads:
// the index, built from main's rows, is not used, neither by a search
// planned then nor by one planned before; the rows found are the scan's.
// The temporary customers are main's in reverse, so their row ids are
// other customers' in the index.
TEST_F(SearchIndex, ATableOfAnotherSchemaNamedAsOneTheGuideReadsIsSearchedByTheScan) {
  ExecSqlite(file_, "BEGIN;" + GeneratedRows() + kGuides + "COMMIT;");
  const std::vector<int32_t> guides = {kCustomersGuide, kOrdersGuide, 11};
  for (int32_t guide : guides) BuildSearchIndex(connection_, guide);
  const std::string other = odbc_.File("Other.db");
  ExecSqlite(other, "CREATE TABLE customers (id INTEGER PRIMARY KEY, name TEXT, city TEXT)");
  const struct {
    std::string hide, hidden, undo;
  } cases[] = {
      {"CREATE TEMP TABLE customers AS SELECT * FROM main.customers ORDER BY id DESC",
       "temp.customers", "DROP TABLE temp.customers"},
      {"ATTACH " + Literal(other) + " AS other", "other.customers", "DETACH other"},
  };
  ExtensionConnection extension(file_);
  for (const auto& [hide, hidden, undo] : cases) {
    SCOPED_TRACE(hide);
    for (const std::string criteria : {"Oslo", "Tra", "\"lyon\" or \"car\""}) {
      const SearchStatements scan =
          GenerateSearchStatements(LoadGuideDefinitions(connection_, guides),
                                   SearchCriteria(criteria), rdo::Dialect::Sqlite);
      const PlannedSearch before = PlanSearch(connection_, guides, SearchCriteria(criteria));
      const Texts arguments = {GuideList(guides), criteria};
      extension.Lines(kExtensionSearch, arguments);  // planned and kept before
      connection_.Execute(hide);
      extension.Exec(hide);
      const PlannedSearch after = PlanSearch(connection_, guides, SearchCriteria(criteria));
      const Texts scanned = Lines(connection_, scan.Guides);
      EXPECT_FALSE(scanned.empty()) << criteria;
      EXPECT_EQ(Lines(connection_, before.statements), scanned) << criteria;
      EXPECT_EQ(Lines(connection_, after.statements), scanned) << criteria;
      for (const SearchPath& path : after.paths)
        EXPECT_EQ(path.why, "scan: " + hidden +
                                " has the name of a table it reads, while its search index holds "
                                "the rows of main's");
      Texts extension_scanned;
      for (const GuideStatement& statement : scan.Guides)
        for (const std::string& line : extension.Lines(statement.SQL))
          extension_scanned.push_back(line);
      EXPECT_EQ(extension.Lines(kExtensionSearch, arguments), extension_scanned) << criteria;
      connection_.Execute(undo);
      extension.Exec(undo);
      for (const SearchPath& path : PlanSearch(connection_, guides, SearchCriteria(criteria)).paths)
        EXPECT_TRUE(path.indexed) << path.why;
    }
  }
}

// The extension prepares a kept plan's statements once and runs them on
// each call while the plan stands; a plan made anew prepares anew; two
// searches read at once each run a statement of their own.
TEST_F(SearchIndex, TheExtensionRunsAKeptPlansStatementsPreparedOnce) {
  BuildSearchIndex(connection_, kOrdersGuide);
  ExtensionConnection extension(file_);
  const Texts arguments = {std::to_string(kOrdersGuide), "car"};
  const std::string sql =
      PlanSearch(connection_, {kOrdersGuide}, SearchCriteria("car")).statements.at(0).SQL;
  for (int call = 1; call <= 3; ++call) {
    EXPECT_EQ(KeysOf(extension.Lines(kExtensionSearch, arguments)), "10*12*");
    EXPECT_EQ(extension.Runs(sql), std::vector<int>{call});
  }
  ExecSqlite(file_, "UPDATE orders SET item = 'race car' WHERE id = 11");  // another connection
  EXPECT_EQ(KeysOf(extension.Lines(kExtensionSearch, arguments)), "10*11*12*");
  EXPECT_EQ(extension.Runs(sql), std::vector<int>{1});
  EXPECT_EQ(extension.Lines("SELECT count(*) FROM velmorastine_search(?1, ?2) a, "
                            "velmorastine_search(?1, ?2) b",
                            arguments),
            Texts{"9"});
  EXPECT_EQ(KeysOf(extension.Lines(kExtensionSearch, arguments)), "10*11*12*");
}

// Two processes write at random while this one searches: within one read
// transaction the search through the indexes finds what the scan finds.
TEST_F(SearchIndex, WritersElsewhereNeverMakeItDifferFromTheScanOfTheSameSnapshot) {
  ExecSqlite(file_, "BEGIN;" + GeneratedRows() + kGuides +
                        "CREATE UNIQUE INDEX named ON customers (name); COMMIT;");
  for (int32_t guide : kSearched) BuildSearchIndex(connection_, guide, MergeAt(guide));
  const testing::RandomRun run(0);
  const size_t writes_each = run.Cases(300);
  std::vector<pid_t> writers;
  for (unsigned seed : {run.Seed() + 1, run.Seed() + 2}) {
    const pid_t pid = fork();
    if (pid == 0) {
      std::mt19937 rng(seed);
      for (size_t i = 0; i < writes_each; ++i) {
        std::string writes = Writes(rng);
        if (writes.rfind("BEGIN;", 0) == 0) writes.insert(5, " IMMEDIATE");
        try {
          ExecSqlite(file_, "PRAGMA busy_timeout = 5000;" + writes);
        } catch (const std::exception&) {  // a write that met a constraint: the next
        }
      }
      _exit(0);
    }
    writers.push_back(pid);
  }
  std::mt19937 rng(run.Seed() + 3);
  size_t searches = 0, through_index = 0;
  for (size_t running = writers.size(); running > 0 || searches < 50; ++searches) {
    const std::string text = Criteria(rng);
    const SearchCriteria criteria(text);
    rdo::Transaction snapshot = connection_.BeginTrans();
    const PlannedSearch planned = PlanSearch(connection_, kSearched, criteria);
    for (const SearchPath& path : planned.paths) through_index += path.indexed;
    const SearchStatements scan = GenerateSearchStatements(
        LoadGuideDefinitions(connection_, kSearched), criteria, rdo::Dialect::Sqlite);
    ASSERT_EQ(Found(connection_, planned.statements), Found(connection_, scan.Guides)) << text;
    snapshot.Commit();
    for (pid_t& pid : writers)
      if (pid && waitpid(pid, nullptr, WNOHANG) == pid) pid = 0, --running;
  }
  EXPECT_GT(through_index, searches);
  for (int32_t guide : kSearched)
    EXPECT_EQ(ReadSearchIndexState(connection_, guide).state, IndexState::Fresh);
}

// A writer killed at any instant, mid-write or mid-merge, with pending
// lists that are seldom empty: the database stays sound, and each index
// with its pending list is what a rebuild makes, with a rollback journal
// and in WAL.
TEST_F(SearchIndex, AWriterKilledAtAnyInstantLeavesEachIndexWithItsPendingListExact) {
  ExecSqlite(file_, "BEGIN;" + GeneratedRows() + kGuides +
                        "CREATE UNIQUE INDEX named ON customers (name); COMMIT;");
  for (int32_t guide : kSearched) BuildSearchIndex(connection_, guide, MergeAt(guide));
  const testing::RandomRun run(11);
  const unsigned rounds = static_cast<unsigned>(run.Cases(12));
  std::mt19937 rng(run.Seed());
  size_t pending_seen = 0;
  for (const std::string journal : {"DELETE", "WAL"}) {
    ExecSqlite(file_, "PRAGMA journal_mode = " + journal);
    for (unsigned round = 0; round < rounds; ++round) {
      int wrote[2];
      ASSERT_EQ(pipe(wrote), 0);
      const pid_t pid = fork();
      if (pid == 0) {
        close(wrote[0]);
        std::mt19937 writes(run.Seed() * 1000 + round + 100 * journal.size());
        sqlite::Database db(file_, sqlite::Database::Mode::kCreate);
        db.WaitForLocks(5000);
        while (true) {
          try {
            db.Exec(Writes(writes));
          } catch (const sqlite::Error&) {
            // A write that met a constraint leaves its transaction open.
            try {
              db.Exec("ROLLBACK");
            } catch (const sqlite::Error&) {  // the write was alone: nothing to roll back
            }
          }
          if (write(wrote[1], "w", 1) != 1) _exit(1);
        }
      }
      close(wrote[1]);
      // Killed once it has written a random number of times, in the write
      // it is making then.
      char byte;
      for (size_t n = 1 + Pick(rng, 30); n > 0 && read(wrote[0], &byte, 1) == 1; --n) {
      }
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      close(wrote[0]);
      ASSERT_EQ(SqliteColumn(file_, "PRAGMA integrity_check"), Texts{"ok"}) << journal;
      for (int32_t guide : kSearched) {
        const std::string index = "Db_Search_Index_" + std::to_string(guide);
        ExecSqlite(file_, "INSERT INTO " + index + " (" + index + ") VALUES ('integrity-check')");
        ASSERT_EQ(ReadSearchIndexState(connection_, guide).state, IndexState::Fresh);
        const std::set<std::string> pending = Pending(file_, guide);
        pending_seen += !pending.empty();
        ASSERT_EQ(IndexEntries(file_, guide, pending), RebuiltEntries(file_, guide, pending))
            << "guide " << guide << ", " << journal << ", round " << round;
        const auto [side_entries, side_rebuilt] = SideEntries(file_, guide);
        ASSERT_EQ(side_entries, side_rebuilt)
            << "guide " << guide << ", " << journal << ", round " << round;
      }
    }
  }
  EXPECT_GT(pending_seen, kSearched.size() * rounds);
}

TEST_F(SearchIndex, AnIndexItCannotKeepFreshIsRefusedLeavingTheDatabaseAsItWas) {
  ExecSqlite(
      file_,
      "CREATE VIEW named AS SELECT * FROM customers WHERE name IS NOT NULL;"
      "CREATE VIRTUAL TABLE notes USING fts5(name);"
      "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
      " (8, 'FROM named n', ''), (9, 'FROM customers n', 'WHERE n.id < julianday(''now'')'),"
      " (10, 'FROM notes n', ''), (11, 'FROM customers n', ''),"
      " (12, 'FROM orders o RIGHT JOIN customers n ON n.id = o.customer_id', ''),"
      " (13, 'FROM customers n', 'WHERE n.id > 0 -- a note'), (14, 'FROM customers n', '');"
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
      " Is_search_column) SELECT DSG_ID, 1, 'n', 'name', DSG_ID <> 11 FROM Db_Search_Guide_Tables"
      " WHERE DSG_ID > 7;"
      "UPDATE Db_Search_Guide_Cols SET Conv_required = -1, Conversion_expression = 'n.name -- a "
      "note' WHERE DSG_ID = 14;");
  auto refusal = [&](int32_t guide) -> std::string {
    try {
      BuildSearchIndex(connection_, guide);
      return "indexed";
    } catch (const SearchIndexRefused& refused) {
      return refused.what();
    }
  };
  const std::string kNoIndex = " cannot be searched through an index: ";
  const std::string refusals[] = {
      " cannot be indexed: none of its tables (n) gives each of its rows a row id.",
      " cannot be indexed: what it searches depends on the moment ('now').",
      " cannot be indexed: it reads a virtual table, which no trigger can watch.",
      " cannot be indexed: it has no search column.",
      kNoIndex + "its FROM clause does not begin with FROM or has a RIGHT or FULL join.",
      " cannot be searched: its WHERE clause holds a comment (-- or /*) or a ; outside quotes, "
      "which would cut off the search conditions.",
      " cannot be searched: its columns hold a comment (-- or /*), a ; or a quote they do not "
      "close, which would cut off the search conditions.",
  };
  for (int32_t guide = 8; guide <= 14; ++guide)
    EXPECT_EQ(refusal(guide), std::string(guide < 12 ? "" : "Error: ") + "Database Search Guide " +
                                  std::to_string(guide) + refusals[guide - 8]);

  // A refused rebuild leaves the index it was to replace, stale as it was.
  BuildSearchIndex(connection_, kOrdersGuide);
  ExecSqlite(file_,
             "UPDATE Db_Search_Guide_Tables SET WHERE_clause = 'WHERE c.id = "
             "o.customer_id AND random() <> 0' WHERE DSG_ID = 2");
  EXPECT_EQ(refusal(kOrdersGuide),
            "Database Search Guide 2 cannot be indexed: what it searches depends on the moment "
            "(random).");
  EXPECT_EQ(ReadSearchIndexState(connection_, kOrdersGuide).state, IndexState::Stale);
  // Order 10's item, kept on the order's row, and the name of customer 3
  // (Carla), on the customer's.
  const std::vector<SidePart> parts = SidePartsOf(
      SqliteColumn(file_, "SELECT Side_parts FROM Db_Search_Index_State WHERE DSG_ID = 2").at(0));
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(SqliteColumn(file_, "SELECT group_concat(rowid) FROM " + parts[0].name + " WHERE " +
                                    parts[0].name +
                                    " MATCH 'car' UNION ALL SELECT "
                                    "group_concat(rowid) FROM " +
                                    parts[1].name + " WHERE " + parts[1].name + " MATCH 'car'"),
            (Texts{"10", "3"}));
}

}  // namespace
}  // namespace corvanty
