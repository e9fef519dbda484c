// The corvanty command run as a child process, each test with its own
// registry, ODBC configuration and data folder: the user's files are never
// read or written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/searchguidetables.h"
#include "support/databasetest.h"
#include "support/runcommand.h"
#include "support/searchdatabase.h"
#include "support/testdata.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using ::testing::HasSubstr;
using testing::SqliteColumn;
using Texts = std::vector<std::string>;

class Corvanty : public ::testing::Test {
 protected:
  // The environment is built from scratch: nothing of the test process's
  // own configuration reaches the child.
  CommandResult Run(const std::vector<std::string>& args) const {
    std::vector<std::string> environment = {"CORVANTY_REGISTRY=" + File("registry.db"),
                                            "ODBCINI=" + File("odbc.ini"),
                                            "ODBCSYSINI=" + File(""),
                                            "XDG_DATA_HOME=" + File("data"),
                                            "XDG_CONFIG_HOME=" + File("config"),
                                            "HOME=" + File("")};
    if (const char* driver = std::getenv("CORVANTY_SQLITE_ODBC_DRIVER"))
      environment.push_back(std::string("CORVANTY_SQLITE_ODBC_DRIVER=") + driver);
    return testing::RunCommand(CORVANTY_CLI_PATH, args, environment);
  }

  // Runs a command that must succeed and returns what it printed.
  std::string Succeed(const std::vector<std::string>& args) const {
    CommandResult result = Run(args);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return result.out;
  }

  std::string File(const std::string& name) const { return odbc_.File(name); }

  testing::OdbcFixture odbc_;
};

TEST_F(Corvanty, DemoWritesItsDatabaseDataSourceAndConnectionOneAndKeepsAnOldOne) {
  std::string database = File("demo/corvanty-demo.db");
  const std::string made = Succeed({"demo", "--rows", "200", "--dir", File("demo")});
  EXPECT_THAT(made, HasSubstr(database));
  EXPECT_THAT(made, HasSubstr("Sample guides: 'Customers by name and city' 'Orders by ship city "
                              "and customer'\n"));
  const Texts samples{"Customers by name and city|Orders by ship city and customer"};
  const char* const kGuideNames =
      "SELECT group_concat(DSG_name, '|') FROM (SELECT DSG_name FROM Db_Search_Guides ORDER BY "
      "DSG_ID)";
  EXPECT_EQ(SqliteColumn(database, kGuideNames), samples);
  EXPECT_EQ(Succeed({"connections"}), "1\tCorvantyDemo\tdemo\n");
  // check builds the guide tables in it and says nothing.
  EXPECT_EQ(Succeed({"check", "--connection", "1"}), "");
  EXPECT_EQ(SqliteColumn(database, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'Db_S%'"),
            Texts{"5"});

  // An existing demo (it may hold the administrator's guides) is replaced
  // only on --yes.
  testing::ExecSqlite(database, "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Mine')");
  CommandResult kept = Run({"demo", "--dir", File("demo")});
  EXPECT_THAT(kept.err, HasSubstr("exists already. Replace it"));
  EXPECT_THAT(kept.out, HasSubstr("kept as it was"));
  EXPECT_EQ(SqliteColumn(database, kGuideNames), Texts{samples[0] + "|Mine"});
  EXPECT_EQ(Run({"--yes", "demo", "--rows", "200", "--dir", File("demo")}).exit_code, 0);
  EXPECT_EQ(SqliteColumn(database, kGuideNames), samples);
  // By default the demo goes into the user's data folder.
  Succeed({"demo", "--rows", "100"});
  EXPECT_TRUE(fs::is_regular_file(File("data/corvanty/corvanty-demo.db")));
}

TEST_F(Corvanty, AddConnectionPrintsTheNextNumberAndNoListingShowsAPassword) {
  EXPECT_EQ(Succeed({"add-connection", "Sales", "sa", "s3cret;x"}), "1\n");
  EXPECT_EQ(Succeed({"add-connection", "Staff", "hr"}), "2\n");
  EXPECT_EQ(Succeed({"connections"}), "1\tSales\tsa\n2\tStaff\thr\n");

  // --registry names another store for this run only.
  std::string other = File("other.db");
  EXPECT_EQ(Succeed({"--registry", other, "add-connection", "Hr", "boss", "pw"}), "1\n");
  EXPECT_EQ(Succeed({"--registry", other, "connections"}), "1\tHr\tboss\n");
  EXPECT_EQ(Succeed({"connections"}), "1\tSales\tsa\n2\tStaff\thr\n");

  // A check that cannot open its connection fails and says why.
  CommandResult missing = Run({"check", "--connection", "9"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_THAT(missing.err, HasSubstr("no saved connection 9"));
  CommandResult unknown_source = Run({"check"});  // data source Sales does not exist
  EXPECT_EQ(unknown_source.exit_code, 1);
  EXPECT_EQ(unknown_source.out, "");
  EXPECT_THAT(unknown_source.err, HasSubstr("[["));  // the driver manager's own words
}

TEST_F(Corvanty, GuidesStatementsAndSearchesAreListedByGuideNameOrNumber) {
  AddShopDatabase(odbc_, "Shop");
  Succeed({"add-connection", "Shop", "u"});
  EXPECT_EQ(Succeed({"guides"}),  // in the server's order, here that of the names' index
            "4\tBroken\n1\tCustomers\n3\tItems\n5\tNo tables\n6\tNothing shown\n"
            "2\tOrders by customer's name\n7\tOverflow\n");
  EXPECT_EQ(Succeed({"sql", "3", "car", "--dialect", "mssql"}),
            "SELECT CONVERT(varchar(200),o.item) ResultList, 0 IDColumn, 3 DSG_ID  FROM orders o "
            " WHERE  (o.item LIKE '%car%')  \n");
  EXPECT_EQ(Succeed({"search", "Orders by customer's name", "green"}),
            "green van for Carla O'Hara*12*2\n");
  EXPECT_EQ(Succeed({"search", "1", "Lyon", "--format", "tsv"}), "Carla O'Hara, Lyon\t3\t1\n");
  EXPECT_EQ(Succeed({"search", "Items", "bike", "--format", "json"}),
            "[\n  {\"ResultList\": \"blue bike\", \"IDColumn\": \"0\", \"DSG_ID\": 3}\n]\n");
  CommandResult broken = Run({"search", "Broken", "x"});
  EXPECT_EQ(broken.exit_code, 1);
  EXPECT_THAT(broken.err, HasSubstr("no_such_table"));
}

TEST_F(Corvanty, TextCommandsPrintTheGivenTextsExactly) {
  EXPECT_EQ(Succeed({"procedure-text"}), testing::TestData("sqlserver/Velmorastine_Search.sql"));
  for (std::string_view view : kSearchGuideTableBuildOrder) {
    std::string table(view);
    EXPECT_EQ(Succeed({"table-script", table, "--dialect", "mssql"}),
              testing::TestData("sqlserver/" + table + ".sql"));
  }
  EXPECT_EQ(Succeed({"table-script", "Db_Search_Guide_Cols"}),  // SQL Server by default
            testing::TestData("sqlserver/Db_Search_Guide_Cols.sql"));

  // The SQLite text runs as printed.
  std::string file = File("script.db");
  testing::ExecSqlite(file, Succeed({"table-script", "Db_Search_Guides", "--dialect", "sqlite"}));
  EXPECT_EQ(testing::SqliteObjects(file, "index"), (Texts{"DSG_x_1", "DSG_x_2"}));
}

TEST_F(Corvanty, UsageErrorsExitWithTwoAndChangeNothingButHelpSucceeds) {
  const std::vector<std::vector<std::string>> misuses = {
      {},
      {"frobnicate"},
      {"--bogus", "connections"},
      {"--registry"},
      {"connections", "extra"},
      {"add-connection", "OnlyDsn"},
      {"add-connection", "Sales", ""},
      {"demo", "--rows", "12x"},
      {"demo", "--rows"},
      {"check", "--connection", "0"},
      {"check", "--connection", "40000"},
      {"search", "1", "x", "--format", "xml"},
      {"table-script", "db_search_guide_cols"},
      {"table-script", "Db_Search_Guides", "--dialect", "oracle"}};
  for (const auto& args : misuses) {
    CommandResult result = Run(args);
    std::string shown = ::testing::PrintToString(args);
    EXPECT_EQ(result.exit_code, 2) << shown;
    EXPECT_EQ(result.out, "") << shown;
    EXPECT_FALSE(result.err.empty()) << shown;
  }
  EXPECT_THAT(Succeed({"--help"}), HasSubstr("table-script"));
  EXPECT_THAT(Succeed({"demo", "--rows", "abc", "--help"}),
              ::testing::StartsWith("usage: corvanty demo"));
  EXPECT_FALSE(fs::exists(File("registry.db")));
  EXPECT_FALSE(fs::exists(File("data")));

  // After "--" words are taken as they are, even "--help".
  EXPECT_EQ(Succeed({"add-connection", "--", "--odd", "--help"}), "1\n");
  EXPECT_EQ(Succeed({"connections"}), "1\t--odd\t--help\n");
}

}  // namespace
}  // namespace corvanty
