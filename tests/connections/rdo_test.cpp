#include "connections/rdo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "support/odbcfixture.h"

namespace corvanty::rdo {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class Rdo : public ::testing::Test {
 protected:
  int CountCustomers() {
    return std::stoi(*corvanty::testing::QuerySqlite(odbc_.File("Sales.db"),
                                                     "SELECT count(*) FROM Customers")[0][0]);
  }

  corvanty::testing::OdbcFixture odbc_;
  std::string connect_ = odbc_.AddSqliteDatabase(
      "Sales",
      "CREATE TABLE Customers(Id INTEGER PRIMARY KEY, Name TEXT, Note TEXT);"
      "INSERT INTO Customers VALUES(3, 'Carla', ''), (1, 'Anna', NULL), (2, 'Bruno', 'vip');");
  rdoConnection db_ = rdoConnection::Open(connect_);
};

// Runs the body and hands back the error it must throw.
DatabaseError Thrown(const std::function<void()>& body) {
  try {
    body();
  } catch (const DatabaseError& error) {
    return error;
  }
  ADD_FAILURE() << "no DatabaseError was thrown";
  return DatabaseError({});
}

TEST(DialectForDbms, KnowsTdsServersAndSqliteOnly) {
  EXPECT_EQ(DialectForDbms("SQLite"), Dialect::Sqlite);
  for (const char* name :
       {"Microsoft SQL Server", "Sybase SQL Server", "Adaptive Server Enterprise"})
    EXPECT_EQ(DialectForDbms(name), Dialect::SqlServer) << name;
  for (const char* name : {"PostgreSQL", "MySQL Server", ""})
    EXPECT_EQ(DialectForDbms(name), std::nullopt) << name;
}

TEST_F(Rdo, StaticResultReadsRowsInOrderByColumnNameWithNullApart) {
  EXPECT_EQ(db_.GetDialect(), Dialect::Sqlite);
  rdoResultset rs =
      db_.OpenResultset("SELECT Id, Name AS CustName, Note FROM Customers ORDER BY Id");
  std::vector<std::string> names;
  for (; !rs.IsEOF(); rs.MoveNext()) names.push_back(rs.Text("custNAME"));
  EXPECT_EQ(names, (std::vector<std::string>{"Anna", "Bruno", "Carla"}));
  rs.MoveNext();  // past the end it stays there
  EXPECT_TRUE(rs.IsEOF());
  rs.MoveFirst();
  EXPECT_EQ(rs.Value("Note"), std::nullopt);
  EXPECT_EQ(rs.Text("Note"), "");
  EXPECT_THROW(rs.Value("Name"), std::out_of_range);
  rs.MoveLast();
  EXPECT_EQ(rs.RowCount(), 3);
  EXPECT_EQ(rs.Value("Note"), std::optional<std::string>(""));

  rdoResultset none = db_.OpenResultset("SELECT Id FROM Customers WHERE Id > 100");
  EXPECT_TRUE(none.IsEOF());
  none.MoveLast();
  EXPECT_EQ(none.RowCount(), 0);

  rdoResultset numbers = db_.OpenResultset("SELECT 2.5 AS a, 3.5 AS b, NULL AS c, 'x' AS d");
  EXPECT_EQ(numbers.Int("a"), 2);  // half to even
  EXPECT_EQ(numbers.Int("b"), 4);
  EXPECT_EQ(numbers.Int("c"), 0);
  EXPECT_THROW(numbers.Int("d"), std::invalid_argument);
}

// Values are read in a small first piece and the announced rest: 100 KiB of
// multi-byte characters, and lengths on either side of the first piece's end
// with a two-byte character across it, arrive intact through both readers.
TEST_F(Rdo, LongAndMultiByteTextArrivesIntact) {
  std::vector<std::string> texts(1);
  for (int i = 0; texts[0].size() < 100 * 1024; ++i)
    texts[0] += "Gr\u00fc\u00dfe \u20ac" + std::to_string(i) + " \U0001F600 ";
  for (size_t length = 250; length <= 260; ++length) {
    texts.push_back(std::string(length, 'a'));
    texts.push_back(std::string(length - 2, 'b') + "\xC3\xBC");
  }
  for (size_t i = 0; i < texts.size(); ++i)
    db_.Execute("INSERT INTO Customers VALUES (" + std::to_string(100 + i) + ", '" + texts[i] +
                "', NULL)");

  const std::string sql = "SELECT Name FROM Customers WHERE Id >= 100 ORDER BY Id";
  rdoResultset rs = db_.OpenResultset(sql);
  ForwardReader reader = db_.OpenForwardOnly(sql);
  for (size_t i = 0; i < texts.size(); ++i, rs.MoveNext()) {
    ASSERT_TRUE(reader.Fetch());
    EXPECT_TRUE(rs.Text("Name") == texts[i]) << i << ": " << rs.Text("Name").size() << " bytes";
    EXPECT_TRUE(reader.Value(0) == texts[i]) << i;
  }
  EXPECT_TRUE(rs.IsEOF());
  EXPECT_FALSE(reader.Fetch());
}

TEST_F(Rdo, EachFailureFillsTheErrorListAndTheException) {
  const std::string secret = "Pa55;word";
  odbc_.AddDataSource("Gone", odbc_.File("gone.db"), {{"NoCreat", "1"}});
  rdoConnection closed = rdoConnection::Open(connect_);
  closed.Close();
  struct Case {
    std::function<void()> call;
    int32_t number;  // SQLite's result code; 0 where the driver manager or this layer fails
    std::string message;
  };
  const std::vector<Case> cases = {
      {[&] { db_.Execute("SELEC * FROM Customers"); }, 1, "syntax error"},
      {[&] { db_.OpenResultset("SELECT * FROM NoSuchTable"); }, 1, "no such table: NoSuchTable"},
      {[&] { db_.OpenForwardOnly("INSERT INTO Customers VALUES (1, 'Dup', NULL)"); }, 19,
       "UNIQUE constraint failed: Customers.Id"},
      {[&] { rdoConnection::Open("DSN=NoSuchSource;UID=sa;PWD={" + secret + "};"); }, 0,
       "Data source name not found"},
      {[&] { rdoConnection::Open("DSN=Gone;PWD={" + secret + "};"); }, 14, "connect failed"},
      {[&] { closed.Execute("SELECT 1"); }, 0, "The connection is closed."},
      // The driver silently empties a reader when manual commit begins, and
      // lets one opened inside a transaction show rows that were rolled back.
      {[&] {
         ForwardReader reader = db_.OpenForwardOnly("SELECT Name FROM Customers");
         Transaction tx = db_.BeginTrans();
         reader.Fetch();
       },
       0, "transaction began or ended"},
      {[&] {
         Transaction tx = db_.BeginTrans();
         ForwardReader reader = db_.OpenForwardOnly("SELECT Name FROM Customers");
         tx.Commit();
         reader.Fetch();
       },
       0, "transaction began or ended"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].message);
    DatabaseError error = Thrown(cases[i].call);
    ASSERT_EQ(error.Errors().size(), rdoErrors().size());
    ASSERT_FALSE(rdoErrors().empty());
    EXPECT_EQ(rdoErrors()[0].Number, cases[i].number);
    EXPECT_THAT(rdoErrors()[0].Description, HasSubstr(cases[i].message));
    EXPECT_EQ(rdoErrors()[0].SQLRetcode, -1);
    EXPECT_THAT(error.what(), HasSubstr(rdoErrors()[0].Description));
    EXPECT_THAT(error.what(), Not(HasSubstr(secret)));
  }
  EXPECT_FALSE(db_.TryExecute("SELEC 1"));
  EXPECT_EQ(rdoErrors().size(), 1u);
  EXPECT_TRUE(db_.TryExecute("DELETE FROM Customers WHERE Id = 99"));  // touches no row
  EXPECT_TRUE(rdoErrors().empty()) << "a call that succeeds starts with an empty list";
  EXPECT_NO_THROW(db_.Execute("UPDATE Customers SET Name = 'x' WHERE Id = 99"));
}

TEST_F(Rdo, TransactionRollsBackUnlessCommitted) {
  {
    Transaction tx = db_.BeginTrans();
    db_.Execute("INSERT INTO Customers VALUES (4, 'Dora', NULL)");
    EXPECT_THROW(db_.BeginTrans(), DatabaseError);
  }
  EXPECT_EQ(CountCustomers(), 3);
  db_.Execute("INSERT INTO Customers VALUES (5, 'Emil', NULL)");  // automatic commit again
  EXPECT_EQ(CountCustomers(), 4);
  {
    Transaction tx = db_.BeginTrans();
    db_.Execute("INSERT INTO Customers VALUES (6, 'Fritz', NULL)");
    tx.Commit();
  }
  EXPECT_EQ(CountCustomers(), 5);

  {
    Transaction tx = db_.BeginTrans();
    db_.Execute("INSERT INTO Customers VALUES (8, 'Hugo', NULL)");
    db_.Close();  // the transaction keeps the server connection until it ends
  }
  EXPECT_EQ(CountCustomers(), 5);
}

TEST_F(Rdo, ForwardReaderStreamsRowsOneAtATime) {
  const std::string file = odbc_.File("Sales.db");
  corvanty::testing::ExecSqlite(
      file,
      "CREATE TABLE Big(Id INTEGER PRIMARY KEY, Label TEXT);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
      "INSERT INTO Big SELECT i, 'row ' || i FROM n;");
  ForwardReader reader = db_.OpenForwardOnly("SELECT Id, Label FROM Big ORDER BY Id");
  db_.Close();  // the reader keeps its connection
  int count = 0;
  while (reader.Fetch()) {
    ASSERT_EQ(reader.Value(1), "row " + std::to_string(++count));
    // Still reading from the file: a writer elsewhere has to wait for the reader.
    if (count == 1) {
      EXPECT_THROW(corvanty::testing::ExecSqlite(file, "DELETE FROM Big"), std::runtime_error);
    }
  }
  EXPECT_EQ(count, 100000);
  EXPECT_THROW(reader.Value(0), std::out_of_range);
}

}  // namespace
}  // namespace corvanty::rdo
