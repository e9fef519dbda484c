// SPDX-License-Identifier: Apache-2.0
// The search extension on a live PostgreSQL server, in a database of its own
// (a database holds the extension once): a LIMIT, or the most rows wanted,
// stops the reading of a guide's rows; an error inside a guide's statement
// reaches the caller in the server's words, leaves the connection usable
// and nothing behind; plans kept between calls follow every change of what
// they were made from; nothing a caller's temporary tables hold stands in
// for the guide tables.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "connections/rdo.h"
#include "index/trigramindex.h"
#include "search/searchengine.h"
#include "support/odbcfixture.h"
#include "support/postgresserver.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using Texts = std::vector<std::string>;

// Guide 20 shows and searches the labels of 10,000 rows read through a view
// that counts each row read in the sequence read_rows; guide 21 divides by
// zero on every row it reads.
const char kWideGuides[] =
    "CREATE TABLE wide (id int PRIMARY KEY, label text);"
    "INSERT INTO wide SELECT g, 'label ' || g FROM generate_series(1, 10000) g;"
    "CREATE SEQUENCE read_rows;"
    "CREATE VIEW counted AS SELECT id, label, nextval('read_rows') AS seen FROM wide;"
    "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
    " (20, 'FROM counted w', NULL), (21, 'FROM wide w', NULL);"
    "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
    " Show_in_list, Is_search_column, Conv_required, Conversion_expression, Is_key_column) VALUES"
    " (20, 1, 'w', 'id', 0, 0, 0, '(none)', -1), (20, 2, 'w', 'label', -1, -1, 0, '(none)', 0),"
    " (21, 1, 'w', 'id', -1, -1, -1, 'CONVERT(varchar, 1 / (w.id - w.id))', -1);";

class PostgresExtension : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SkipWithoutPostgres();
    if (IsSkipped()) return;
    shop_ = testing::AddPostgresShop("ExtensionShopOnPostgres", kWideGuides,
                                     testing::SharedPostgresServer(),
                                     testing::PostgresSchema::Database::OwnDatabase);
    shop_->Query(
        "DO $$ BEGIN EXECUTE format('CREATE EXTENSION corvanty_search SCHEMA %I', "
        "current_schema()); END $$");
  }

  // The rows the query returns on the connection, values joined by |.
  static Texts Rows(rdo::rdoConnection& connection, const std::string& sql) {
    Texts rows;
    for (rdo::ForwardReader reader = connection.OpenForwardOnly(sql); reader.Fetch();) {
      std::string row;
      for (size_t i = 0; i < reader.ColumnNames().size(); ++i)
        row += (i ? "|" : "") + reader.Value(i).value_or("NULL");
      rows.push_back(row);
    }
    return rows;
  }

  // The error the query ends with, or "no error".
  static std::string ErrorOf(rdo::rdoConnection& connection, const std::string& sql) {
    try {
      Rows(connection, sql);
    } catch (const rdo::DatabaseError& error) {
      return error.what();
    }
    return "no error";
  }

  long RowsRead() { return std::stol(shop_->Query("SELECT last_value FROM read_rows").at(0)); }

  // The test's own data sources: tests running at once each reach their own.
  testing::OdbcFixture odbc_;
  std::unique_ptr<testing::PostgresSchema> shop_;
};

TEST_F(PostgresExtension, ALimitOrTheMostRowsWantedStopsTheReadingOfRows) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(shop_->connect);
  // The view counts: a whole search reads every row.
  EXPECT_EQ(Rows(connection, "SELECT count(*) FROM velmorastine_search('20', 'label')"),
            Texts{"10000"});
  const long whole = RowsRead();
  EXPECT_GE(whole, 10000);
  EXPECT_EQ(Rows(connection, "SELECT * FROM velmorastine_search('20', 'label') LIMIT 1"),
            Texts{"label 1|1|20"});
  EXPECT_LE(RowsRead() - whole, 2);
  const long limited = RowsRead();
  EXPECT_EQ(Rows(connection, "SELECT count(*) FROM velmorastine_search('20', 'label', 5)"),
            Texts{"5"});
  EXPECT_LE(RowsRead() - limited, 6);
  // In one transaction, searches stopped early leave no cursor open but the
  // latest's, which the driver may still hold open.
  rdo::Transaction transaction = connection.BeginTrans();
  for (int i = 0; i < 50; ++i)
    Rows(connection, "SELECT * FROM velmorastine_search('20', 'label') LIMIT 3");
  EXPECT_THAT(Rows(connection, "SELECT count(*) FROM pg_cursors WHERE statement LIKE '%counted%'"),
              ::testing::ElementsAre(::testing::AnyOf("0", "1")));
}

// The resident memory of the connection's server process, in kB.
long ResidentKb(rdo::rdoConnection& connection) {
  rdo::ForwardReader reader = connection.OpenForwardOnly("SELECT pg_backend_pid()");
  reader.Fetch();
  const std::string pid = reader.Value(0).value();
  std::ifstream status("/proc/" + pid + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  ADD_FAILURE() << "no VmRSS for the server process " << pid;
  return 0;
}

// The service's own refusals of its arguments, in the PL/pgSQL service's
// words, SQLSTATE included.
TEST_F(PostgresExtension, ArgumentsAreRefusedInTheServicesWords) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(shop_->connect);
  const std::pair<const char*, std::string> cases[] = {
      {"'1,x', ''",
       "22023: The Database Search Guide list '1,x' is not guide numbers separated by commas."},
      {"NULL, ''",
       "22023: The Database Search Guide list NULL is not guide numbers separated by commas."},
      {"E'a\\\\b''', ''",
       "22023: The Database Search Guide list E'a\\\\b''' is not guide numbers separated by "
       "commas."},
      {"'1,3000000000', ''",
       "22003: The Database Search Guide list '1,3000000000' holds 3000000000, which is no guide "
       "number."},
      {"'1', '', -1",
       "22023: The most rows wanted, -1, is not a number of rows: give 0 or more, or NULL for all "
       "rows."},
  };
  shop_->Query("CREATE TABLE said (s text)");
  for (const auto& [arguments, refusal] : cases)
    EXPECT_EQ(
        shop_->Query("DO $$ BEGIN PERFORM * FROM velmorastine_search(" + std::string(arguments) +
                     "); EXCEPTION WHEN OTHERS THEN INSERT INTO said VALUES (SQLSTATE || "
                     "': ' || SQLERRM); END $$; SELECT s FROM said; TRUNCATE said"),
        Texts{refusal})
        << arguments;
  // Blanks, tabs and minus signs are allowed: no such guides.
  EXPECT_EQ(Rows(connection, "SELECT * FROM velmorastine_search(' -5 ,' || chr(9) || '97 ', '')"),
            Texts{"Error: Database Search Guide ID(s) invalid.|NULL|NULL"});
  EXPECT_EQ(Rows(connection, "SELECT * FROM velmorastine_search('99', '', 0)"), Texts{});
}

TEST_F(PostgresExtension, AnErrorInAGuidesStatementReachesTheCallerAndLeavesNothingBehind) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(shop_->connect);
  EXPECT_THAT(ErrorOf(connection, "SELECT * FROM velmorastine_search('20,21', 'x')"),
              ::testing::HasSubstr("division by zero"));
  EXPECT_EQ(Rows(connection, "SELECT count(*) FROM velmorastine_search('20', 'label 77')"),
            Texts{"111"});  // 77, 770 to 779, 7700 to 7799

  // A role without the right to read the guide's table is refused in the
  // server's words.
  const testing::PostgresRole clerk(*shop_, "corvanty_clerk_");
  shop_->Query("GRANT USAGE ON SCHEMA " + shop_->Query("SELECT current_schema()").at(0) + " TO " +
               clerk.name + "; GRANT SELECT ON db_search_guide_tables, db_search_guide_cols TO " +
               clerk.name);
  rdo::rdoConnection refused = rdo::rdoConnection::Open(clerk.Connect());
  EXPECT_THAT(ErrorOf(refused, "SELECT * FROM velmorastine_search('21', '')"),
              ::testing::HasSubstr("permission denied for table wide"));

  // Failing again and again, caught each time in the server, and stopped
  // early by a LIMIT: the server process's memory stays as it was.
  const std::string failing =
      "DO $$ BEGIN FOR i IN 1 .. %1 LOOP BEGIN PERFORM * FROM velmorastine_search('21', "
      "'label'); EXCEPTION WHEN division_by_zero THEN NULL; END; PERFORM * FROM "
      "velmorastine_search('20', 'label') LIMIT 2; END LOOP; END $$";
  const auto run = [&](int times) {
    std::string sql = failing;
    sql.replace(sql.find("%1"), 2, std::to_string(times));
    connection.Execute(sql);
  };
  run(1000);  // the process's own caches filled
  const long before = ResidentKb(connection);
  run(10000);
  EXPECT_LE(ResidentKb(connection) - before, 1024) << "kB grown over 10,000 failed searches";
}

TEST_F(PostgresExtension, KeptPlansFollowTheGuidesAndTheirIndexes) {
  rdo::rdoConnection searcher = rdo::rdoConnection::Open(shop_->connect);
  rdo::rdoConnection tool = rdo::rdoConnection::Open(shop_->connect);
  const auto statement = [&] {
    return Rows(searcher, "SELECT sql FROM velmorastine_search_sql('1', 'an')");
  };
  const auto engine = [&] {
    return Texts{PlanSearch(tool, {1}, SearchCriteria("an")).statements.at(0).SQL};
  };
  EXPECT_EQ(statement(), engine());
  EXPECT_EQ(Rows(searcher, "SELECT count(*) FROM velmorastine_search('1', 'an')"), Texts{"2"});
  tool.Execute(
      "UPDATE Db_Search_Guide_Tables SET WHERE_clause = 'WHERE c.id > 1' WHERE DSG_ID = 1");
  EXPECT_EQ(statement(), engine());
  EXPECT_EQ(Rows(searcher, "SELECT count(*) FROM velmorastine_search('1', 'an')"), Texts{"1"});
  BuildTrigramIndex(tool, 1);
  EXPECT_THAT(statement().at(0), ::testing::HasSubstr(" UNION ALL "));
  EXPECT_EQ(statement(), engine());
  DropTrigramIndex(tool, 1);
  EXPECT_EQ(statement(), engine());

  // The searcher's own change, not yet committed, counts in its transaction,
  // and is gone once rolled back.
  const auto count = [&] {
    return Rows(searcher, "SELECT count(*) FROM velmorastine_search('1', 'an')");
  };
  EXPECT_EQ(count(), Texts{"1"});
  {
    rdo::Transaction own = searcher.BeginTrans();
    searcher.Execute(
        "UPDATE Db_Search_Guide_Tables SET WHERE_clause = 'WHERE c.id > 4' WHERE DSG_ID = 1");
    EXPECT_EQ(count(), Texts{"0"});
  }
  EXPECT_EQ(count(), Texts{"1"});
  // In REPEATABLE READ the transaction's snapshot decides, whatever others
  // commit meanwhile.
  {
    rdo::Transaction repeatable = searcher.BeginTrans();
    searcher.Execute("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ");
    EXPECT_EQ(count(), Texts{"1"});
    tool.Execute("UPDATE Db_Search_Guide_Tables SET WHERE_clause = NULL WHERE DSG_ID = 1");
    EXPECT_EQ(count(), Texts{"1"});
  }
  EXPECT_EQ(count(), Texts{"2"});
  tool.Execute("UPDATE Db_Search_Guide_Cols SET Show_in_list = 0 WHERE DSG_ID = 1");
  EXPECT_THAT(
      ErrorOf(searcher, "SELECT * FROM velmorastine_search('1', 'an')"),
      ::testing::HasSubstr("Error: Database Search Guide 1 shows no column in its result list."));
}

TEST_F(PostgresExtension, TemporaryTablesOfTheCallerStandInForNothing) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(shop_->connect);
  const Texts found = Rows(connection, "SELECT * FROM velmorastine_search('1,2', 'a')");
  ASSERT_FALSE(found.empty());
  connection.Execute(
      "CREATE TEMP TABLE db_search_guide_tables AS SELECT dsg_id, 'FROM customers c WHERE "
      "c.id < 0' AS from_clause, where_clause FROM db_search_guide_tables;"
      "CREATE TEMP TABLE customers AS SELECT * FROM customers WHERE id = 1");
  EXPECT_EQ(Rows(connection, "SELECT * FROM velmorastine_search('1,2', 'a')"), found);
}

}  // namespace
}  // namespace corvanty
