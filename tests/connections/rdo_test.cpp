#include "connections/rdo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/odbcfixture.h"

namespace corvanty::rdo {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const char kSeed[] =
    "CREATE TABLE Customers(Id INTEGER PRIMARY KEY, Name TEXT, Note TEXT);"
    "INSERT INTO Customers VALUES(3, 'Carla', '');"
    "INSERT INTO Customers VALUES(1, 'Anna', NULL);"
    "INSERT INTO Customers VALUES(2, 'Bruno', 'vip');";

class Rdo : public ::testing::Test {
 protected:
  int CountCustomers() {
    return std::stoi(*corvanty::testing::QuerySqlite(odbc_.File("Sales.db"),
                                                     "SELECT count(*) FROM Customers")[0][0]);
  }

  corvanty::testing::OdbcFixture odbc_;
  std::string connect_ = odbc_.AddSqliteDatabase("Sales", kSeed);
};

// Runs the body and hands back the error it must throw.
template <typename Body>
DatabaseError Thrown(Body body) {
  try {
    body();
  } catch (const DatabaseError& error) {
    return error;
  }
  ADD_FAILURE() << "no DatabaseError was thrown";
  return DatabaseError({});
}

void ExpectListMatches(const DatabaseError& error) {
  ASSERT_EQ(error.Errors().size(), rdoErrors().size());
  for (size_t i = 0; i < rdoErrors().size(); ++i) {
    EXPECT_EQ(error.Errors()[i].Number, rdoErrors()[i].Number);
    EXPECT_EQ(error.Errors()[i].Description, rdoErrors()[i].Description);
    EXPECT_EQ(error.Errors()[i].SQLRetcode, rdoErrors()[i].SQLRetcode);
    EXPECT_THAT(error.what(), HasSubstr(rdoErrors()[i].Description));
  }
}

TEST_F(Rdo, OpensSqliteWithItsDialect) {
  rdoConnection db = rdoConnection::Open(connect_);
  EXPECT_EQ(db.DbmsName(), "SQLite");
  EXPECT_EQ(db.GetDialect(), Dialect::Sqlite);
  EXPECT_TRUE(rdoErrors().empty());
}

TEST(DialectForDbms, KnowsTdsServersAndSqliteOnly) {
  EXPECT_EQ(DialectForDbms("Microsoft SQL Server"), Dialect::SqlServer);
  EXPECT_EQ(DialectForDbms("SQL Server"), Dialect::SqlServer);
  EXPECT_EQ(DialectForDbms("Sybase SQL Server"), Dialect::SqlServer);
  EXPECT_EQ(DialectForDbms("Adaptive Server Enterprise"), Dialect::SqlServer);
  EXPECT_EQ(DialectForDbms("SQLite"), Dialect::Sqlite);
  EXPECT_EQ(DialectForDbms("PostgreSQL"), std::nullopt);
  EXPECT_EQ(DialectForDbms("MySQL Server"), std::nullopt);
  EXPECT_EQ(DialectForDbms(""), std::nullopt);
}

TEST_F(Rdo, StaticResultReadsInOrderAndCountsAfterMoveLast) {
  rdoConnection db = rdoConnection::Open(connect_);
  rdoResultset rs = db.OpenResultset("SELECT Id, Name FROM Customers ORDER BY Id");
  std::vector<std::string> names;
  for (; !rs.IsEOF(); rs.MoveNext()) names.push_back(rs.Text("Name"));
  EXPECT_EQ(names, (std::vector<std::string>{"Anna", "Bruno", "Carla"}));
  rs.MoveNext();  // past the end it stays there
  EXPECT_TRUE(rs.IsEOF());

  rs.MoveFirst();
  EXPECT_EQ(rs.Int("Id"), 1);
  rs.MoveLast();
  EXPECT_EQ(rs.RowCount(), 3);
  EXPECT_EQ(rs.Text("Name"), "Carla");

  rdoResultset none = db.OpenResultset("SELECT Id FROM Customers WHERE Id > 100");
  EXPECT_TRUE(none.IsEOF());
  none.MoveLast();
  EXPECT_EQ(none.RowCount(), 0);
  EXPECT_THROW(none.Value("Id"), std::out_of_range);
}

TEST_F(Rdo, ColumnsAreFoundByNameIgnoringCase) {
  rdoConnection db = rdoConnection::Open(connect_);
  rdoResultset rs = db.OpenResultset("SELECT Name AS CustName, Id FROM Customers WHERE Id = 2");
  EXPECT_EQ(rs.ColumnNames(), (std::vector<std::string>{"CustName", "Id"}));
  EXPECT_EQ(rs.Text("custname"), "Bruno");
  EXPECT_EQ(rs.Text("CUSTNAME"), "Bruno");
  EXPECT_THROW(rs.Value("Name"), std::out_of_range);
}

TEST_F(Rdo, NullIsNotEmptyText) {
  rdoConnection db = rdoConnection::Open(connect_);
  const std::string sql = "SELECT Note FROM Customers WHERE Id IN (1, 3) ORDER BY Id";
  rdoResultset rs = db.OpenResultset(sql);
  EXPECT_EQ(rs.Value("Note"), std::nullopt);
  EXPECT_EQ(rs.Text("Note"), "");
  rs.MoveNext();
  EXPECT_EQ(rs.Value("Note"), std::optional<std::string>(""));

  ForwardReader reader = db.OpenForwardOnly(sql);
  ASSERT_TRUE(reader.Fetch());
  EXPECT_EQ(reader.Value(0), std::nullopt);
  ASSERT_TRUE(reader.Fetch());
  EXPECT_EQ(reader.Value(0), std::optional<std::string>(""));
}

TEST_F(Rdo, IntegersConvertAsCallersExpect) {
  rdoConnection db = rdoConnection::Open(connect_);
  rdoResultset rs = db.OpenResultset(
      "SELECT '12' AS a, ' -7 ' AS b, 2.5 AS c, 3.5 AS d, NULL AS e, 'abc' AS f, 5000000000 AS g");
  EXPECT_EQ(rs.Int("a"), 12);
  EXPECT_EQ(rs.Int("b"), -7);
  EXPECT_EQ(rs.Int("c"), 2);  // half to even
  EXPECT_EQ(rs.Int("d"), 4);
  EXPECT_EQ(rs.Int("e"), 0);
  EXPECT_THROW(rs.Int("f"), std::invalid_argument);
  EXPECT_THROW(rs.Int("g"), std::out_of_range);
}

TEST_F(Rdo, LongMultiByteTextArrivesIntact) {
  // Multi-byte characters all along, so some straddle every piece boundary.
  std::string text;
  for (int i = 0; text.size() < 100 * 1024; ++i)
    text +=
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC" +
        std::to_string(i) + " \xF0\x9F\x98\x80 ";
  rdoConnection db = rdoConnection::Open(connect_);
  db.Execute("INSERT INTO Customers VALUES (9, '" + text + "', 'x')");

  rdoResultset rs = db.OpenResultset("SELECT Name FROM Customers WHERE Id = 9");
  EXPECT_TRUE(rs.Text("Name") == text)
      << "lengths " << rs.Text("Name").size() << " and " << text.size();
  ForwardReader reader = db.OpenForwardOnly("SELECT Name FROM Customers WHERE Id = 9");
  ASSERT_TRUE(reader.Fetch());
  EXPECT_TRUE(reader.Value(0) == text);
}

TEST_F(Rdo, TextAroundTheFirstPieceSizeArrivesIntact) {
  // Values are read in a small first piece and the announced rest: lengths
  // on either side of its end, with a two-byte character across it.
  rdoConnection db = rdoConnection::Open(connect_);
  std::vector<std::string> texts;
  for (size_t length = 250; length <= 260; ++length) {
    texts.push_back(std::string(length, 'a'));
    texts.push_back(std::string(length - 2, 'b') + "\xC3\xBC");
  }
  for (size_t i = 0; i < texts.size(); ++i)
    db.Execute("INSERT INTO Customers VALUES (" + std::to_string(100 + i) + ", '" + texts[i] +
               "', NULL)");
  ForwardReader reader = db.OpenForwardOnly("SELECT Name FROM Customers WHERE Id >= 100");
  for (const std::string& text : texts) {
    ASSERT_TRUE(reader.Fetch());
    EXPECT_EQ(reader.Value(0), text);
  }
  EXPECT_FALSE(reader.Fetch());
}

TEST_F(Rdo, EachFailureFillsTheErrorListAndTheException) {
  rdoConnection db = rdoConnection::Open(connect_);
  struct Case {
    std::string sql;
    int32_t number;  // SQLite's own result code
    std::string message;
  };
  for (const Case& c : {Case{"SELEC * FROM Customers", 1, "syntax error"},
                        Case{"SELECT * FROM NoSuchTable", 1, "no such table: NoSuchTable"},
                        Case{"INSERT INTO Customers VALUES (1, 'Dup', NULL)", 19,
                             "UNIQUE constraint failed: Customers.Id"}}) {
    SCOPED_TRACE(c.sql);
    EXPECT_FALSE(db.TryExecute(c.sql));
    ASSERT_EQ(rdoErrors().size(), 1u);
    EXPECT_EQ(rdoErrors()[0].Number, c.number);
    EXPECT_THAT(rdoErrors()[0].Description, HasSubstr(c.message));
    EXPECT_EQ(rdoErrors()[0].SQLRetcode, -1);
    EXPECT_EQ(rdoErrors()[0].SQLState, "HY000");

    ExpectListMatches(Thrown([&] { db.Execute(c.sql); }));
    ExpectListMatches(Thrown([&] { db.OpenResultset(c.sql); }));
    ExpectListMatches(Thrown([&] { db.OpenForwardOnly(c.sql); }));
  }
  db.Execute("UPDATE Customers SET Note = 'x' WHERE Id = 1");
  EXPECT_TRUE(rdoErrors().empty()) << "a call that succeeds starts with an empty list";
}

TEST_F(Rdo, StatementsTouchingNoRowSucceed) {
  rdoConnection db = rdoConnection::Open(connect_);
  EXPECT_NO_THROW(db.Execute("DELETE FROM Customers WHERE Id = 99"));
  EXPECT_TRUE(db.TryExecute("UPDATE Customers SET Name = 'x' WHERE Id = 99"));
  EXPECT_TRUE(rdoErrors().empty());
  EXPECT_TRUE(db.OpenResultset("DELETE FROM Customers WHERE Id = 98").IsEOF());
}

// The driver runs a text that starts with a definition whole, but refuses
// any other text with more than one statement: the failure must surface.
TEST_F(Rdo, SqliteDriverRunsOnlyDefinitionBatches) {
  rdoConnection db = rdoConnection::Open(connect_);
  db.Execute("CREATE TABLE A(x);\r\nCREATE TABLE B(y);\r\n");
  EXPECT_EQ(
      db.OpenResultset("SELECT count(*) AS n FROM sqlite_master WHERE name IN ('A', 'B')").Int("n"),
      2);
  EXPECT_FALSE(db.TryExecute("INSERT INTO A VALUES (1); INSERT INTO A VALUES (2)"));
  EXPECT_THAT(rdoErrors().at(0).Description, HasSubstr("only one SQL statement allowed"));
  EXPECT_EQ(db.OpenResultset("SELECT count(*) AS n FROM A").Int("n"), 0);
}

TEST_F(Rdo, FailedOpenFillsTheListAndNeverShowsTheConnectString) {
  const std::string secret = "Pa55;word";
  for (const std::string& connect :
       {"DSN=NoSuchSource;UID=sa;PWD={" + secret + "};",
        "DRIVER=" + corvanty::testing::SqliteOdbcDriverPath() +
            ";Database=" + odbc_.File("missing/folder.db") + ";PWD={" + secret + "};"}) {
    DatabaseError error = Thrown([&] { rdoConnection::Open(connect); });
    ASSERT_FALSE(rdoErrors().empty());
    EXPECT_EQ(rdoErrors()[0].SQLRetcode, -1);
    ExpectListMatches(error);
    EXPECT_THAT(error.what(), Not(HasSubstr(secret)));
    EXPECT_THAT(error.what(), Not(HasSubstr(connect)));
  }
  Thrown([] { rdoConnection::Open("DSN=NoSuchSource;"); });
  EXPECT_THAT(rdoErrors().at(0).Description, HasSubstr("Data source name not found"));
  EXPECT_EQ(rdoErrors()[0].SQLState, "IM002");
}

// What the driver does when the file behind a data source is gone: it makes
// a new empty database, unless the source says NoCreat=1.
TEST_F(Rdo, DeletedDatabaseFileIsRecreatedEmptyUnlessNoCreat) {
  const std::string file = odbc_.File("Sales.db");
  ASSERT_EQ(unlink(file.c_str()), 0);
  rdoConnection db = rdoConnection::Open(connect_);
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_FALSE(db.TryExecute("SELECT * FROM Customers"));
  EXPECT_THAT(rdoErrors().at(0).Description, HasSubstr("no such table"));
  db.Close();

  ASSERT_EQ(unlink(file.c_str()), 0);
  odbc_.AddDataSource("Strict", file, {{"NoCreat", "1"}});
  Thrown([] { rdoConnection::Open("DSN=Strict;"); });
  EXPECT_THAT(rdoErrors().at(0).Description, HasSubstr("connect failed"));
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(Rdo, TransactionRollsBackUnlessCommitted) {
  rdoConnection db = rdoConnection::Open(connect_);
  {
    Transaction tx = db.BeginTrans();
    db.Execute("INSERT INTO Customers VALUES (4, 'Dora', NULL)");
    EXPECT_THROW(db.BeginTrans(), DatabaseError);
  }
  EXPECT_EQ(CountCustomers(), 3);
  db.Execute("INSERT INTO Customers VALUES (5, 'Emil', NULL)");  // automatic commit again
  EXPECT_EQ(CountCustomers(), 4);
  {
    Transaction tx = db.BeginTrans();
    db.Execute("INSERT INTO Customers VALUES (6, 'Fritz', NULL)");
    Transaction moved = std::move(tx);
    moved.Commit();
    EXPECT_THROW(moved.Commit(), DatabaseError);
  }
  EXPECT_EQ(CountCustomers(), 5);
}

TEST_F(Rdo, RollbackDuringUnwindingKeepsTheFailingCallsRecords) {
  rdoConnection db = rdoConnection::Open(connect_);
  try {
    Transaction tx = db.BeginTrans();
    db.Execute("INSERT INTO Customers VALUES (7, 'Gina', NULL)");
    db.Execute("INSERT INTO Customers VALUES (1, 'Dup', NULL)");
    tx.Commit();
  } catch (const DatabaseError&) {
  }
  ASSERT_EQ(rdoErrors().size(), 1u);
  EXPECT_EQ(rdoErrors()[0].Number, 19);
  EXPECT_EQ(CountCustomers(), 3);
}

TEST_F(Rdo, ReaderAndTransactionOutliveAClosedConnection) {
  rdoConnection db = rdoConnection::Open(connect_);
  ForwardReader reader = db.OpenForwardOnly("SELECT Name FROM Customers");
  db.Close();
  Thrown([&] { db.Execute("SELECT 1"); });
  EXPECT_EQ(rdoErrors().at(0).Description, "The connection is closed.");
  int rows = 0;
  while (reader.Fetch()) ++rows;
  EXPECT_EQ(rows, 3);

  rdoConnection other = rdoConnection::Open(connect_);
  {
    Transaction tx = other.BeginTrans();
    other.Execute("INSERT INTO Customers VALUES (8, 'Hugo', NULL)");
    other.Close();
  }
  EXPECT_EQ(CountCustomers(), 3);
}

// The driver silently empties a reader when manual commit begins, and lets
// one opened inside a transaction show rows that were rolled back.
TEST_F(Rdo, ReaderFailsOnceATransactionBeginsOrEnds) {
  rdoConnection db = rdoConnection::Open(connect_);
  ForwardReader before = db.OpenForwardOnly("SELECT Name FROM Customers");
  {
    Transaction tx = db.BeginTrans();
    EXPECT_THROW(before.Fetch(), DatabaseError);
    EXPECT_THAT(rdoErrors().at(0).Description, HasSubstr("transaction began or ended"));

    db.Execute("INSERT INTO Customers VALUES (8, 'Hugo', NULL)");
    ForwardReader inside = db.OpenForwardOnly("SELECT Name FROM Customers");
    ASSERT_TRUE(inside.Fetch());
    ForwardReader unread = db.OpenForwardOnly("SELECT Name FROM Customers");
    tx.Commit();
    EXPECT_THROW(inside.Fetch(), DatabaseError);
    EXPECT_THROW(unread.Fetch(), DatabaseError);
    EXPECT_THROW(unread.Value(0), std::out_of_range);
  }
  ForwardReader after = db.OpenForwardOnly("SELECT Name FROM Customers");
  int rows = 0;
  while (after.Fetch()) ++rows;
  EXPECT_EQ(rows, 4);
}

TEST_F(Rdo, ForwardReaderStreamsRowsOneAtATime) {
  const std::string file = odbc_.File("Sales.db");
  corvanty::testing::ExecSqlite(
      file,
      "CREATE TABLE Big(Id INTEGER PRIMARY KEY, Label TEXT);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
      "INSERT INTO Big SELECT i, 'row ' || i FROM n;");
  rdoConnection db = rdoConnection::Open(connect_);
  ForwardReader reader = db.OpenForwardOnly("SELECT Id, Label FROM Big ORDER BY Id");
  EXPECT_EQ(reader.ColumnNames(), (std::vector<std::string>{"Id", "Label"}));
  EXPECT_THROW(reader.Value(0), std::out_of_range);

  int count = 0;
  int wrong = 0;
  while (reader.Fetch()) {
    ++count;
    if (reader.Value(0) != std::to_string(count) ||
        reader.Value(1) != "row " + std::to_string(count))
      ++wrong;
    if (count == 1) {
      // Still reading from the file: a writer elsewhere has to wait for the reader.
      EXPECT_THROW(corvanty::testing::ExecSqlite(file, "DELETE FROM Big"), std::runtime_error);
    }
  }
  EXPECT_EQ(count, 100000);
  EXPECT_EQ(wrong, 0);
  EXPECT_FALSE(reader.Fetch());
  EXPECT_THROW(reader.Value(0), std::out_of_range);
}

TEST_F(Rdo, ObserverSeesEveryStatementBeforeItIsSent) {
  std::vector<std::string> seen;
  SetStatementObserver([&](const std::string& sql) { seen.push_back(sql); });
  struct Reset {
    ~Reset() { SetStatementObserver(nullptr); }
  } reset;

  rdoConnection db = rdoConnection::Open(connect_);
  db.Execute("DELETE FROM Customers WHERE Id = 3");
  db.TryExecute("SELEC 1");
  db.OpenResultset("SELECT 1");
  db.OpenForwardOnly("SELECT 2");
  db.BeginTrans().Commit();
  EXPECT_EQ(seen, (std::vector<std::string>{"DELETE FROM Customers WHERE Id = 3", "SELEC 1",
                                            "SELECT 1", "SELECT 2"}));
}

// unixODBC keeps the first system folder it sees for the whole process: each
// fixture must still reach its own data sources, even under the same name.
TEST(OdbcFixture, EachConfigurationInAProcessReachesItsOwnSources) {
  for (const std::string name : {"First", "Second"}) {
    corvanty::testing::OdbcFixture odbc;
    std::string connect = odbc.AddSqliteDatabase(
        "Same", "CREATE TABLE T(V TEXT); INSERT INTO T VALUES ('" + name + "');");
    rdoConnection db = rdoConnection::Open(connect);
    EXPECT_EQ(db.OpenResultset("SELECT V FROM T").Text("V"), name);
  }
}

}  // namespace
}  // namespace corvanty::rdo
