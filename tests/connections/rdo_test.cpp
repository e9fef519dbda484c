// SPDX-License-Identifier: Apache-2.0
#include "connections/rdo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "connections/odbcdiagnostics.h"
#include "connections/sqlerrorreport.h"
#include "support/odbcfixture.h"

namespace corvanty::rdo {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

class Rdo : public ::testing::Test {
 protected:
  corvanty::testing::OdbcFixture odbc_;
  std::string connect_ = odbc_.AddSqliteDatabase(
      "Sales",
      "CREATE TABLE Customers(Id INTEGER PRIMARY KEY, Name TEXT, Note TEXT);"
      "INSERT INTO Customers VALUES(3, 'Carla', ''), (1, 'Anna', NULL), (2, 'Bruno', 'vip');");
  rdoConnection db_ = rdoConnection::Open(connect_);
};

TEST(DialectForDbms, KnowsTdsServersSqliteAndPostgresOnly) {
  const std::pair<const char*, std::optional<Dialect>> names[] = {
      {"SQLite", Dialect::Sqlite},
      {"Microsoft SQL Server", Dialect::SqlServer},
      {"PostgreSQL", Dialect::PostgreSql},
      {"postgres", std::nullopt},
      {"MySQL Server", std::nullopt}};
  for (const auto& [name, dialect] : names) EXPECT_EQ(DialectForDbms(name), dialect) << name;
}

TEST_F(Rdo, StaticResultReadsRowsInOrderByColumnNameWithNullApart) {
  rdoResultset rs = db_.OpenResultset("SELECT Name AS CustName, Note FROM Customers ORDER BY Id");
  std::string rows;
  for (; !rs.IsEOF(); rs.MoveNext())
    rows += rs.Text("custNAME") + "=" + rs.Value("Note").value_or("NULL") + " ";
  rs.MoveNext();  // past the end it stays there
  EXPECT_EQ(rows + std::to_string(rs.IsEOF()), "Anna=NULL Bruno=vip Carla= 1");
  EXPECT_THROW(rs.Value("Note"), std::out_of_range);
  rs.MoveLast();
  EXPECT_EQ(rs.RowCount(), 3);
  EXPECT_EQ(db_.OpenResultset("SELECT 2.5 AS a, 3.5 AS b").Int("a"), 2);  // half to even
}

// Values are read in a small first piece and the announced rest: 100 KiB of
// multi-byte characters, and lengths on either side of the first piece's end
// with a two-byte character across it, arrive intact through both readers.
TEST_F(Rdo, LongAndMultiByteTextArrivesIntact) {
  std::vector<std::string> texts(1);
  // 15 bytes a turn: characters of every width fall across every piece's end.
  while (texts[0].size() < 100 * 1024) texts[0] += "Gr\u00fc\u00dfe \u20ac\U0001F600";
  for (size_t length = 250; length <= 260; ++length)
    texts.insert(texts.end(), {std::string(length, 'a'), std::string(length - 2, 'b') + "\u00fc"});
  for (size_t i = 0; i < texts.size(); ++i)
    db_.Execute("INSERT INTO Customers VALUES (" + std::to_string(100 + i) + ", '" + texts[i] +
                "', NULL)");

  const std::string sql = "SELECT Name FROM Customers WHERE Id >= 100 ORDER BY Id";
  rdoResultset rs = db_.OpenResultset(sql);
  ForwardReader reader = db_.OpenForwardOnly(sql);
  for (size_t i = 0; i < texts.size(); ++i, rs.MoveNext()) {
    ASSERT_TRUE(reader.Fetch());
    EXPECT_TRUE(rs.Text("Name") == texts[i] && reader.Value(0) == texts[i]) << i;
  }
  EXPECT_TRUE(rs.IsEOF() && !reader.Fetch());
}

TEST_F(Rdo, EachFailureFillsTheErrorListAndTheException) {
  const std::string secret = "Pa55;word";
  rdoConnection closed = rdoConnection::Open(connect_);
  closed.Close();
  // {the call, SQLite's result code (0 where the driver manager or this
  // layer fails), the message}
  const std::tuple<std::function<void()>, int32_t, std::string> cases[] = {
      {[&] { db_.Execute("SELEC * FROM Customers"); }, 1, "syntax error"},
      {[&] { db_.OpenResultset("SELECT * FROM NoSuchTable"); }, 1, "no such table: NoSuchTable"},
      {[&] { db_.OpenForwardOnly("INSERT INTO Customers VALUES (1, 'Dup', NULL)"); }, 19,
       "UNIQUE constraint failed: Customers.Id"},
      {[&] { rdoConnection::Open("DSN=NoSuchSource;UID=sa;PWD={" + secret + "};"); }, 0,
       "Data source name not found"},
      {[&] { closed.Execute("SELECT 1"); }, 0, "The connection is closed."},
      // The driver silently empties a reader when manual commit begins, and
      // lets one opened inside a transaction show rows that were rolled back.
      {[&] {
         ForwardReader reader = db_.OpenForwardOnly("SELECT Name FROM Customers");
         Transaction tx = db_.BeginTrans();
         reader.Fetch();
       },
       0, "transaction began or ended"},
  };
  for (const auto& [call, number, message] : cases) {
    std::string what = "nothing thrown";
    size_t carried = 0;
    try {
      call();
    } catch (const DatabaseError& error) {
      what = error.what();
      carried = error.Errors().size();
    }
    ASSERT_FALSE(rdoErrors().empty()) << message;
    const rdoError& first = rdoErrors()[0];
    EXPECT_EQ(std::to_string(first.Number) + " " + std::to_string(first.SQLRetcode) + " " +
                  std::to_string(carried == rdoErrors().size()),
              std::to_string(number) + " -1 1");
    EXPECT_THAT(first.Description, HasSubstr(message));
    EXPECT_THAT(what, AllOf(HasSubstr(first.Description), Not(HasSubstr(secret)))) << message;
  }
  EXPECT_TRUE(!db_.TryExecute("SELEC 1") && rdoErrors().size() == 1);
  EXPECT_TRUE(db_.TryExecute("DELETE FROM Customers WHERE Id = 99"));  // touches no row
  EXPECT_TRUE(rdoErrors().empty()) << "a call that succeeds starts with an empty list";
}

// A failure reads whole however many records it has: with none, this
// layer's own words; with several, each in turn, in the exception's text and
// in the dialog's report alike.
TEST_F(Rdo, AFailureWithNoRecordOrSeveralReadsWhole) {
  SQLHENV fresh = SQL_NULL_HENV;  // holds no diagnostic record
  ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &fresh)));
  odbc_.AddDataSource("Gone", odbc_.File("gone.db"), {{"NoCreat", "1"}});
  const std::string gone =
      "The database file " + odbc_.File("gone.db") + " of data source 'Gone' does not exist.";
  const std::string code = "The ODBC call failed with return code -1.";
  // {the call, what() of its exception, the dialog's report}
  const std::tuple<std::function<void()>, std::string, std::string> cases[] = {
      {[&] { Check(SQL_ERROR, SQL_HANDLE_ENV, fresh); }, code, "[[" + code + "]]"},
      {[] {
         ClearErrors();
         ThrowErrors();
       },
       "The database call failed.", "The database call failed."},
      {[] { rdoConnection::Open("DSN=Gone;PWD={Pa55;word};"); },
       "[unixODBC][SQLite]connect failed\n" + gone,
       "[[[unixODBC][SQLite]connect failed]][[" + gone + "]]"},
  };
  for (const auto& [call, what, dialog] : cases) {
    try {
      call();
      ADD_FAILURE() << "nothing thrown: " << what;
    } catch (const DatabaseError& error) {
      EXPECT_EQ(std::string(error.what()) + "|" + DialogErrorText(error), what + "|" + dialog);
    }
  }
  SQLFreeHandle(SQL_HANDLE_ENV, fresh);
}

}  // namespace
}  // namespace corvanty::rdo
