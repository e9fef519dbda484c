// The statements generated for SQLite, run on a real database through
// SQLite's own API: the result texts, keys and guide numbers they return.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <stdexcept>
#include <tuple>

#include "engine/searchstatements.h"

namespace corvanty {
namespace {

using Result = std::tuple<std::string, std::string, std::string>;  // ResultList, IDColumn, DSG_ID

class Database {
 public:
  Database() {
    if (sqlite3_open(":memory:", &db_) != SQLITE_OK) throw std::runtime_error("cannot open");
  }
  ~Database() { sqlite3_close(db_); }

  void Execute(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      const std::string text = message ? message : "?";
      sqlite3_free(message);
      throw std::runtime_error(text);
    }
  }

  // Every row of the statement, sorted so that tests need not rely on the
  // order SQLite happens to return rows of one statement in.
  std::vector<Result> Rows(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << " in " << sql;
      return {};
    }
    std::vector<Result> rows;
    while (sqlite3_step(statement) == SQLITE_ROW)
      rows.emplace_back(Text(statement, 0), Text(statement, 1), Text(statement, 2));
    sqlite3_finalize(statement);
    std::sort(rows.begin(), rows.end());
    return rows;
  }

 private:
  static std::string Text(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text ? reinterpret_cast<const char*>(text) : "(null)";
  }
  sqlite3* db_ = nullptr;
};

GuideColumn Column(std::string qualifier, std::string name, bool shown, bool searched,
                   std::string separator = "+ ' ' +") {
  GuideColumn column;
  column.Column_qualifier = std::move(qualifier);
  column.Column_name = std::move(name);
  column.Show_in_list = shown ? -1 : 0;
  column.Is_search_column = searched ? -1 : 0;
  column.List_column_separator = std::move(separator);
  return column;
}

GuideColumn Key(std::string qualifier, std::string name) {
  GuideColumn column = Column(std::move(qualifier), std::move(name), false, false);
  column.Is_key_column = -1;
  return column;
}

class SqliteSearch : public ::testing::Test {
 protected:
  SqliteSearch() {
    db_.Execute(
        "CREATE TABLE customers (id INTEGER PRIMARY KEY, name TEXT, city TEXT);"
        "CREATE TABLE orders (id INTEGER PRIMARY KEY, customer_id INTEGER, total NUMERIC, "
        "note TEXT);"
        "INSERT INTO customers VALUES (1, 'Ann Lee', 'Paris'), (2, 'Bob Stone', NULL), "
        "(3, 'Carla O''Hara', 'Lyon');"
        "INSERT INTO orders VALUES (10, 1, 25.5, 'red car'), (11, 1, 7, 'blue bike'), "
        "(12, 3, 120, NULL);");
    customers_.DSG_ID = 1;
    customers_.HasTablesRow = true;
    customers_.FROM_clause = "FROM customers c";
    customers_.WHERE_clause = "WHERE ";
    customers_.Columns = {Key("c", "id"), Column("c", "name", true, true, "+', '+"),
                          Column("c", "city", true, true)};

    GuideColumn total = Column("o", "total", true, true);
    total.Conv_required = -1;
    total.Conversion_expression = "CONVERT(varchar,o.total)";
    orders_.DSG_ID = 2;
    orders_.HasTablesRow = true;
    orders_.FROM_clause = "FROM customers c, orders o";
    orders_.WHERE_clause = "WHERE c.id = o.customer_id";
    orders_.Columns = {Key("o", "id"), Column("c", "name", true, false, "+' - '+"),
                       Column("o", "note", true, true, "+' / '+"), total};
  }

  std::vector<Result> Search(const std::vector<GuideDefinition>& guides,
                             std::string_view criteria) {
    const SearchStatements statements =
        GenerateSearchStatements(guides, criteria, rdo::Dialect::Sqlite);
    EXPECT_EQ(statements.Error, "");
    std::vector<Result> results;
    for (const GuideStatement& guide : statements.Guides) {
      EXPECT_EQ(guide.Error, "");
      const std::vector<Result> rows = db_.Rows(guide.SQL);
      results.insert(results.end(), rows.begin(), rows.end());
    }
    return results;
  }

  Database db_;
  GuideDefinition customers_;
  GuideDefinition orders_;
};

TEST_F(SqliteSearch, StatementIsTheSqlServerOneTranslated) {
  EXPECT_EQ(GenerateSearchStatements({customers_}, "abc", rdo::Dialect::Sqlite).Guides[0].SQL,
            "SELECT substr(CAST(ifnull(c.name,'')||', '||ifnull(c.city,'') AS TEXT), 1, 200) "
            "ResultList,c.id IDColumn, 1 DSG_ID  FROM customers c  WHERE  (c.name LIKE '%abc%') OR "
            " (c.city LIKE '%abc%')  ");
}

TEST_F(SqliteSearch, ANullShownValueAddsNothingToTheText) {
  EXPECT_EQ(Search({customers_}, "o"),
            (std::vector<Result>{{"Bob Stone, ", "2", "1"}, {"Carla O'Hara, Lyon", "3", "1"}}));
}

TEST_F(SqliteSearch, ApostrophesAndPhrasesFindTheirRows) {
  EXPECT_EQ(Search({customers_}, "O'H"), (std::vector<Result>{{"Carla O'Hara, Lyon", "3", "1"}}));
  EXPECT_EQ(Search({customers_}, "\"ANN\" or \"lyon\""),
            (std::vector<Result>{{"Ann Lee, Paris", "1", "1"}, {"Carla O'Hara, Lyon", "3", "1"}}));
  EXPECT_EQ(Search({customers_}, "\"ann\" AND \"lee\""),
            (std::vector<Result>{{"Ann Lee, Paris", "1", "1"}}));
  EXPECT_EQ(Search({customers_}, "\"ann\" AND \"paris\""), std::vector<Result>{});
}

TEST_F(SqliteSearch, AJoinWithAConvertedColumn) {
  EXPECT_EQ(Search({orders_}, "12"), (std::vector<Result>{{"Carla O'Hara -  / 120", "12", "2"}}));
  EXPECT_EQ(Search({orders_}, "r"), (std::vector<Result>{{"Ann Lee - red car / 25.5", "10", "2"}}));
}

TEST_F(SqliteSearch, SeveralGuidesEachOnTheirOwnColumns) {
  // A condition on the orders guide's columns would make the customers
  // statement fail: its FROM clause does not name the orders table.
  EXPECT_EQ(Search({orders_, customers_}, "car"),
            (std::vector<Result>{{"Carla O'Hara, Lyon", "3", "1"},
                                 {"Ann Lee - red car / 25.5", "10", "2"}}));
}

TEST_F(SqliteSearch, TheResultTextIsCutAt200Characters) {
  db_.Execute("UPDATE customers SET name = '" + std::string(300, 'n') + "' WHERE id = 2");
  const std::vector<Result> rows = Search({customers_}, "nnn");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(std::get<0>(rows[0]), std::string(200, 'n'));
}

}  // namespace
}  // namespace corvanty
