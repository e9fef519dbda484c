// The corvanty command run as a child process, each test with its own
// registry, ODBC configuration and data folder: the user's files are never
// read or written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/proceduretext.h"
#include "engine/searchguidetables.h"
#include "support/crlflines.h"
#include "support/databasetest.h"
#include "support/odbcfixture.h"
#include "support/runcommand.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::SqliteColumn;
using testing::SqliteObjects;
using ::testing::StartsWith;

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

class Corvanty : public ::testing::Test {
 protected:
  Corvanty() {
    std::ofstream(dir_.File("odbcinst.ini"))
        << "[SQLite3]\nDriver=" << testing::SqliteOdbcDriverPath() << "\n";
    fs::create_directory(dir_.File("home"));
  }

  // The environment is built from scratch: nothing of the test process's
  // own configuration reaches the child.
  CommandResult Run(const std::vector<std::string>& args) const {
    std::vector<std::string> environment = {"CORVANTY_REGISTRY=" + RegistryFile(),
                                            "ODBCINI=" + OdbcIni(),
                                            "ODBCSYSINI=" + dir_.Path(),
                                            "XDG_DATA_HOME=" + dir_.File("data"),
                                            "XDG_CONFIG_HOME=" + dir_.File("config"),
                                            "HOME=" + dir_.File("home")};
    if (const char* driver = std::getenv("CORVANTY_SQLITE_ODBC_DRIVER"))
      environment.push_back(std::string("CORVANTY_SQLITE_ODBC_DRIVER=") + driver);
    return testing::RunCommand(CORVANTY_CLI_PATH, args, environment);
  }

  // Runs a command that must succeed and returns what it printed.
  std::string Succeed(const std::vector<std::string>& args) const {
    CommandResult result = Run(args);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    return result.out;
  }

  std::string MakeDemo() const {
    Succeed({"demo", "--rows", "200", "--dir", dir_.File("demo")});
    return dir_.File("demo/corvanty-demo.db");
  }

  std::string RegistryFile() const { return dir_.File("registry.db"); }
  std::string OdbcIni() const { return dir_.File("odbc.ini"); }

  testing::TempDir dir_;
};

TEST_F(Corvanty, DemoWritesItsDatabaseDataSourceAndConnectionOne) {
  CommandResult demo = Run({"demo", "--rows", "200", "--dir", dir_.File("demo")});
  ASSERT_EQ(demo.exit_code, 0) << demo.err;
  EXPECT_THAT(demo.out, HasSubstr(dir_.File("demo/corvanty-demo.db")));
  EXPECT_TRUE(fs::is_regular_file(dir_.File("demo/corvanty-demo.db")));
  // The data source went to the file ODBCINI names, not to the user's own.
  EXPECT_THAT(ReadFile(OdbcIni()), HasSubstr("[CorvantyDemo]"));
  EXPECT_EQ(Succeed({"connections"}), "1\tCorvantyDemo\tdemo\n");

  // A second demo replaces the database and keeps the one connection.
  Succeed({"demo", "--rows", "100"});
  EXPECT_TRUE(fs::is_regular_file(dir_.File("data/corvanty/corvanty-demo.db")));
  EXPECT_EQ(Succeed({"connections"}), "1\tCorvantyDemo\tdemo\n");
}

TEST_F(Corvanty, CheckBuildsTheGuideTablesOnceAndSaysNothing) {
  std::string database = MakeDemo();
  CommandResult first = Run({"check"});
  EXPECT_EQ(first.exit_code, 0);
  EXPECT_EQ(first.out, "");
  EXPECT_EQ(first.err, "");
  std::vector<std::string> tables = SqliteObjects(database, "table");
  for (std::string_view guide_table : kSearchGuideTableNames)
    EXPECT_THAT(tables, ::testing::Contains(std::string(guide_table)));

  testing::ExecSqlite(database, "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Orders')");
  const std::string schema = "SELECT type || ' ' || name || ' ' || sql FROM sqlite_master";
  std::vector<std::string> before = SqliteColumn(database, schema);
  CommandResult second = Run({"check", "--connection", "1"});
  EXPECT_EQ(second.exit_code, 0);
  EXPECT_EQ(second.out + second.err, "");
  EXPECT_EQ(SqliteColumn(database, schema), before);
  EXPECT_EQ(SqliteColumn(database, "SELECT DSG_ID || ' ' || DSG_name FROM Db_Search_Guides"),
            std::vector<std::string>{"1 Orders"});
}

TEST_F(Corvanty, ACheckThatCannotBuildTheTablesFailsAndSaysWhy) {
  std::string database = MakeDemo();
  // A second data source that opens the demo read-only: root is no exception.
  std::ofstream(OdbcIni(), std::ios::app)
      << "[ReadOnlyDemo]\nDriver=" << testing::SqliteOdbcDriverPath()
      << "\nDatabase=file:" << database << "?mode=ro\nNoCreat=1\n";
  EXPECT_EQ(Succeed({"add-connection", "ReadOnlyDemo", "demo"}), "2\n");
  CommandResult check = Run({"check", "--connection", "2"});
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_EQ(check.out, "");
  EXPECT_THAT(check.err, HasSubstr("build the table 'Db_Search_Guide_Cols' - [["));
  EXPECT_THAT(check.err,
              HasSubstr("Table(s) not created : Db_Search_Guides, Db_Search_Guide_Tables, "
                        "Db_Search_Guide_Cols, Db_Search_Guide_SQL, "
                        "Db_Search_Guide_Unique\n"));
  EXPECT_EQ(SqliteColumn(database, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'Db_%'"),
            std::vector<std::string>{"0"});
}

TEST_F(Corvanty, CheckReportsAConnectionItCannotUse) {
  CommandResult missing = Run({"check", "--connection", "9"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_THAT(missing.err, HasSubstr("no saved connection 9"));

  EXPECT_EQ(Succeed({"add-connection", "Nowhere", "sa"}), "1\n");
  CommandResult unknown_source = Run({"check"});
  EXPECT_EQ(unknown_source.exit_code, 1);
  EXPECT_EQ(unknown_source.out, "");
  EXPECT_THAT(unknown_source.err, HasSubstr("[["));  // the driver manager's own words
}

TEST_F(Corvanty, AddConnectionPrintsTheNextNumberAndNoListingShowsAPassword) {
  EXPECT_EQ(Succeed({"add-connection", "Sales", "sa", "s3cret;x"}), "1\n");
  EXPECT_EQ(Succeed({"add-connection", "Staff", "hr"}), "2\n");
  CommandResult listing = Run({"connections"});
  EXPECT_EQ(listing.out, "1\tSales\tsa\n2\tStaff\thr\n");
  EXPECT_THAT(listing.out + listing.err, Not(HasSubstr("s3cret")));

  // --registry names another store for this run only.
  std::string other = dir_.File("other.db");
  EXPECT_EQ(Succeed({"--registry", other, "add-connection", "Hr", "boss", "pw"}), "1\n");
  EXPECT_EQ(Succeed({"--registry", other, "connections"}), "1\tHr\tboss\n");
  EXPECT_EQ(Succeed({"connections"}), "1\tSales\tsa\n2\tStaff\thr\n");
}

TEST_F(Corvanty, TableScriptPrintsTheBuilderTextOfOneTable) {
  std::string script = Succeed({"table-script", "Db_Search_Guide_Cols", "--dialect", "mssql"});
  EXPECT_EQ(testing::SplitCrLfLines(script).size(), 21u);
  EXPECT_EQ(script, *SqlServerTableScript("Db_Search_Guide_Cols"));
  EXPECT_EQ(Succeed({"table-script", "Db_Search_Guide_Cols"}), script);  // SQL Server by default

  // The SQLite text runs as printed.
  std::string file = dir_.File("script.db");
  testing::ExecSqlite(file, Succeed({"table-script", "Db_Search_Guides", "--dialect", "sqlite"}));
  EXPECT_EQ(SqliteObjects(file, "table"), std::vector<std::string>{"Db_Search_Guides"});
  EXPECT_EQ(SqliteObjects(file, "index"), (std::vector<std::string>{"DSG_x_1", "DSG_x_2"}));

  for (const std::string name : {"Db_Search_Guide", "db_search_guide_cols"}) {
    CommandResult unknown = Run({"table-script", name});
    EXPECT_EQ(unknown.exit_code, 2) << name;
    EXPECT_EQ(unknown.out, "");
    EXPECT_THAT(unknown.err, HasSubstr(name));
  }
}

TEST_F(Corvanty, ProcedureTextIsPrintedExactlyAsInstalled) {
  std::string text = Succeed({"procedure-text"});
  EXPECT_THAT(text, StartsWith("CREATE PROCEDURE Velmorastine_Search"));
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(text, SearchProcedureText());
}

TEST_F(Corvanty, UsageErrorsExitWithTwoAndChangeNothing) {
  const std::vector<std::vector<std::string>> misuses = {
      {"frobnicate"},
      {"--bogus", "connections"},
      {"--registry"},
      {"connections", "--bogus"},
      {"connections", "extra"},
      {"add-connection", "OnlyDsn"},
      {"add-connection", "Sales", ""},
      {"demo", "--rows", "abc"},
      {"demo", "--rows", "12x"},
      {"demo", "--rows"},
      {"check", "--connection", "0"},
      {"check", "--connection", "40000"},
      {"table-script", "Db_Search_Guides", "--dialect", "oracle"},
  };
  for (const auto& args : misuses) {
    CommandResult result = Run(args);
    std::string shown = ::testing::PrintToString(args);
    EXPECT_EQ(result.exit_code, 2) << shown;
    EXPECT_EQ(result.out, "") << shown;
    EXPECT_FALSE(result.err.empty()) << shown;
  }
  EXPECT_EQ(Run({}).exit_code, 2);  // no command: the usage, as an error
  EXPECT_FALSE(fs::exists(RegistryFile()));
  EXPECT_FALSE(fs::exists(dir_.File("data")));
  EXPECT_FALSE(fs::exists(OdbcIni()));
}

TEST_F(Corvanty, HelpExitsWithZero) {
  std::string help = Succeed({"--help"});
  for (const char* command :
       {"connections", "add-connection", "check", "procedure-text", "table-script", "demo"})
    EXPECT_THAT(help, HasSubstr(command));
  EXPECT_THAT(Succeed({"check", "--help"}), StartsWith("usage: corvanty check"));
  EXPECT_THAT(Succeed({"demo", "--rows", "abc", "--help"}), StartsWith("usage: corvanty demo"));
  EXPECT_FALSE(fs::exists(RegistryFile()));
}

}  // namespace
}  // namespace corvanty
