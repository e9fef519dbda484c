// A search index never changes what a search finds. Random criteria over
// six guides of the shop database, with generated rows added, are searched
// through the guides' indexes and on a copy of the database without them,
// on SQLite and on PostgreSQL: the two give the same lines (as multisets)
// every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "engine/searchengine.h"
#include "engine/searchindexbuild.h"
#include "engine/sqlliteral.h"
#include "engine/trigramindex.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using Lines = std::vector<std::string>;

// Texts with apostrophes, double quotes, LIKE wildcards, letters that LIKE
// compares case-sensitively (non-ASCII) and the same words in other cases.
const std::vector<std::string> kNames = {
    "Ann O'Hara",  "Zoë Ärger",        "ZOË ärger",  "Jürgen Müller", "Straße 5",
    "100% Cotton", "under_score",      "a_b%c",      "Ünal İnce",     "naïve café",
    "Ørsted A/S",  "🙂 smile works", "LYON Trade", "lyon trade",    "He said \"hi\""};
const std::vector<std::string> kCities = {"Lyon",      "Oslo",  "Kraków", "Malmö",
                                          "São Paulo", "ÅRHUS", "Tōkyō"};
const std::vector<std::string> kItems = {
    "red car",      "Red Car", "blue bike",    "green van",    "50% off",  "x_y tool",
    "café au lait", "ÉCLAIR",  "crème brûlée", "apostrophe's", "RED CAR 2"};

std::string Literal(const std::string& text) { return "'" + QuoteApostrophes(text) + "'"; }

// More rows for the shop: every seventh city and every ninth item are NULL;
// customers 55 to 64 have no orders.
std::string GeneratedRows() {
  std::string sql = "ALTER TABLE orders ADD COLUMN total NUMERIC;";
  for (size_t i = 6; i <= 64; ++i)
    sql += "INSERT INTO customers VALUES (" + std::to_string(i) + ", " +
           Literal(kNames[i % kNames.size()] + " " + std::to_string(i)) + ", " +
           (i % 7 ? Literal(kCities[i % kCities.size()]) : "NULL") + ");";
  for (size_t i = 1; i <= 200; ++i)
    sql += "INSERT INTO orders VALUES (" + std::to_string(100 + i) + ", " +
           std::to_string(1 + (i * 13) % 54) + ", " +
           (i % 9 ? Literal(kItems[i % kItems.size()]) : "NULL") + ", " +
           std::to_string(i * 7 % 500) + "." + std::to_string(i % 4 * 25) + ");";
  return sql;
}

// Besides the shop's customers (1), orders by customer (2) and items (3, no
// key): 8, orders with a conversion searched; 9, customers with each of
// their orders (a customer's row id stands for several rows), a WHERE clause
// with OR at its top; 10, an outer join without a key: the orders' row ids
// miss customers without orders, so the customers' are used.
const char kGuides[] =
    "INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (8, 'Totals'),"
    " (9, 'Customers by item'), (10, 'Customers and orders');"
    "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
    " (8, 'FROM orders o', 'WHERE o.total > 0'),"
    " (9, 'FROM customers c, orders o', 'WHERE o.customer_id = c.id AND o.total > 200"
    " OR o.customer_id = c.id AND c.city = ''Oslo'''),"
    " (10, 'FROM customers c LEFT JOIN orders o ON o.customer_id = c.id', NULL);"
    "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
    " Show_in_list, Is_search_column, List_column_separator, Conv_required,"
    " Conversion_expression, Is_key_column) VALUES"
    " (8, 1, 'o', 'id', 0, 0, '+ '' '' +', 0, '(none)', -1),"
    " (8, 2, 'o', 'total', -1, -1, '+ '' '' +', -1, 'CONVERT(varchar, o.total) + ''/'' + o.item',"
    " 0),"
    " (9, 1, 'c', 'id', 0, 0, '+ '' '' +', 0, '(none)', -1),"
    " (9, 2, 'c', 'city', -1, -1, '+'': ''+', 0, '(none)', 0),"
    " (9, 3, 'o', 'item', -1, -1, '+ '' '' +', 0, '(none)', 0),"
    " (10, 1, 'o', 'item', -1, -1, '+'' / ''+', 0, '(none)', 0),"
    " (10, 2, 'c', 'name', -1, -1, '+ '' '' +', 0, '(none)', 0);";

const std::vector<int32_t> kSearched = {1, 2, 3, 8, 9, 10};

// The characters of a UTF-8 text.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < text.size();) {
    size_t length = 1;
    while (i + length < text.size() &&
           (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
      ++length;
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

class CriteriaMaker {
 public:
  // Plain text, one quoted phrase, phrases joined by AND and OR, an
  // unclosed quote, blanks around, or nothing at all.
  std::string Next() {
    auto quoted = [](const std::string& phrase) { return "\"" + phrase + "\""; };
    const std::string a = Phrase(), b = Phrase(), c = Phrase();
    const std::string forms[] = {a,
                                 quoted(a),
                                 quoted(a) + " AND " + quoted(b),
                                 quoted(a) + " or " + quoted(b),
                                 quoted(a) + " and " + quoted(b) + " OR " + quoted(c),
                                 "\"" + a,
                                 "  " + a + " ",
                                 ""};
    return forms[Pick(std::size(forms))];
  }

 private:
  size_t Pick(size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(rng_); }

  // A run of 1 to 7 characters of a stored text, its ASCII letters' case
  // changed now and then, now and then a wildcard in it; or a text no row holds.
  std::string Phrase() {
    if (Pick(20) == 0) return "zq'x";
    const std::vector<std::string>* texts[] = {&kNames, &kCities, &kItems};
    const std::vector<std::string>& from = *texts[Pick(3)];
    const std::vector<std::string> characters = Characters(from[Pick(from.size())]);
    const size_t length = 1 + Pick(std::min<size_t>(7, characters.size()));
    const size_t start = Pick(characters.size() - length + 1);
    const size_t wildcard = Pick(6) == 0 ? start + Pick(length + 1) : SIZE_MAX;
    std::string phrase;
    for (size_t i = start; i <= start + length; ++i) {
      if (i == wildcard) phrase += Pick(2) ? "%" : "_";  // between characters: valid UTF-8
      if (i == start + length) break;
      std::string character = characters[i];
      if (std::isalpha(static_cast<unsigned char>(character[0])) && Pick(4) == 0)
        character[0] ^= 0x20;  // the other case
      phrase += character;
    }
    return phrase;
  }

  std::mt19937 rng_{20240614};
};

class IndexedSearch : public ::testing::TestWithParam<rdo::Dialect> {
 protected:
  void SetUp() override {
    const std::string rows = GeneratedRows() + kGuides;
    if (GetParam() == rdo::Dialect::PostgreSql) {
      testing::SkipWithoutPostgres();
      if (IsSkipped() || HasFailure()) return;
      postgres_.push_back(testing::AddPostgresShop("IndexedOnPostgres", rows));
      postgres_.push_back(testing::AddPostgresShop("PlainOnPostgres", rows));
      indexed_.emplace(rdo::rdoConnection::Open(postgres_[0]->connect));
      plain_.emplace(rdo::rdoConnection::Open(postgres_[1]->connect));
      for (int32_t guide : kSearched) BuildTrigramIndex(*indexed_, guide);
      return;
    }
    testing::AddShopDatabase(odbc_, "Indexed");
    testing::ExecSqlite(odbc_.File("Indexed.db"), "BEGIN;" + rows + "COMMIT;");
    std::filesystem::copy_file(odbc_.File("Indexed.db"), odbc_.File("Plain.db"));
    odbc_.AddDataSource("Plain", odbc_.File("Plain.db"));
    indexed_.emplace(rdo::rdoConnection::Open("DSN=Indexed;"));
    plain_.emplace(rdo::rdoConnection::Open("DSN=Plain;"));
    for (int32_t guide : kSearched) BuildSearchIndex(*indexed_, guide);
  }

  // The lines of every statement of the search, sorted; the number of
  // statements that ran through an index is added to indexed.
  static Lines Search(rdo::rdoConnection& connection, const std::string& criteria,
                      size_t& indexed) {
    const PlannedSearch planned = PlanSearch(connection, kSearched, criteria);
    Lines lines;
    for (const GuideStatement& statement : planned.statements) {
      rdo::ForwardReader rows = connection.OpenForwardOnly(statement.SQL);
      while (rows.Fetch())
        lines.push_back(rows.Value(0).value_or("") + "*" + rows.Value(1).value_or("") + "*" +
                        rows.Value(2).value_or(""));
    }
    for (const SearchPath& path : planned.paths) indexed += path.indexed;
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  testing::OdbcFixture odbc_;
  std::vector<std::unique_ptr<testing::PostgresSchema>> postgres_;
  std::optional<rdo::rdoConnection> indexed_, plain_;
};
INSTANTIATE_TEST_SUITE_P(On, IndexedSearch, testing::kEachServer, testing::ServerParamName);

TEST_P(IndexedSearch, FindsWhatTheScanFindsForRandomCriteria) {
  CriteriaMaker maker;
  const size_t kCriteria = 1000;
  size_t indexed = 0, scanned = 0, found = 0;
  for (size_t i = 0; i < kCriteria; ++i) {
    const std::string criteria = maker.Next();
    const Lines through_index = Search(*indexed_, criteria, indexed);
    ASSERT_EQ(through_index, Search(*plain_, criteria, scanned)) << "criteria: " << criteria;
    found += !through_index.empty();
  }
  EXPECT_EQ(scanned, 0u);
  // Not a comparison of empty answers, and the index served often.
  EXPECT_GT(found, kCriteria / 2);
  EXPECT_GT(indexed, kCriteria * kSearched.size() / 3);
}

}  // namespace
}  // namespace corvanty
