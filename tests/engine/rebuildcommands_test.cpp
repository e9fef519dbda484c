#include "engine/rebuildcommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "connections/connectionstore.h"
#include "engine/searchengineinstaller.h"
#include "engine/tablebuilder.h"
#include "support/databasetest.h"

namespace corvanty {
namespace {

using basCorvantyAdmin::BuildSearchGuideTable;
using testing::GuideTablesSql;
using ::testing::HasSubstr;
using testing::SqliteColumn;
using ::testing::StartsWith;

const char kGuidesQuestion[] =
    "This will delete all data in the table! WARNING! This will also reset the DSG_ID Identity "
    "column to 1!! If you drop and recreate this table, you will need to set the identity seed "
    "to an appropriate number (only if you have any existing Db Search Guides). Proceed?";
const char kDataQuestion[] = "This will delete all data in the table! Proceed?";

class RebuildCommands : public testing::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    file_ = UseNewDatabase(
        "Guides",
        GuideTablesSql({"Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols",
                        "Db_Search_Guide_SQL", "Db_Search_Guide_Unique"}) +
            "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Orders');"
            "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Products');"
            "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Suppliers');"
            "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause) VALUES (1, 'FROM orders');"
            "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, "
            "Column_name) VALUES (1, 1, 'orders', 'order_id');"
            "INSERT INTO Db_Search_Guide_SQL VALUES (1, 1, 1, 'SELECT 1');"
            "INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1);");
  }

  long Rows(const std::string& table) {
    return std::stol(SqliteColumn(file_, "SELECT count(*) FROM " + table).at(0));
  }

  void ExpectBox(size_t index, const std::string& prompt, int style) {
    ASSERT_LT(index, boxes_->Shown().size());
    EXPECT_EQ(boxes_->Shown()[index].prompt, prompt);
    EXPECT_EQ(boxes_->Shown()[index].style, style);
    EXPECT_EQ(boxes_->Shown()[index].title, "Velmorastine: Corvanty");
  }

  std::string file_;
};

TEST_F(RebuildCommands, TheGuideListAsksTheLongQuestionAndNoSendsNothing) {
  boxes_->QueueAnswer(vbNo);
  RebuildControlTableCommand("Db_Search_Guides");
  ASSERT_EQ(boxes_->Shown().size(), 1u);
  ExpectBox(0, kGuidesQuestion, 52);
  EXPECT_TRUE(sent_.empty());
  EXPECT_EQ(Rows("Db_Search_Guides"), 3);
}

TEST_F(RebuildCommands, YesEmptiesTheGuideListAndNumbersFromOneAgain) {
  boxes_->QueueAnswer(vbYes);
  RebuildControlTableCommand("Db_Search_Guides");
  ASSERT_EQ(boxes_->Shown().size(), 2u);
  ExpectBox(1, "'Db_Search_Guides' created.", vbOKOnly);
  EXPECT_EQ(Rows("Db_Search_Guides"), 0);
  testing::ExecSqlite(file_, "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Customers')");
  EXPECT_EQ(SqliteColumn(file_, "SELECT DSG_ID FROM Db_Search_Guides"),
            std::vector<std::string>{"1"});
  EXPECT_EQ(testing::SqliteObjects(file_, "index"),
            (std::vector<std::string>{"Cols_x_1", "DSG_x_1", "DSG_x_2"}));
  // The tables that point at guides are the administrator's business.
  EXPECT_EQ(Rows("Db_Search_Guide_Tables"), 1);
  EXPECT_EQ(Rows("Db_Search_Guide_Cols"), 1);
}

TEST_F(RebuildCommands, TheGuideTablesAndColumnsAskTheShortQuestion) {
  for (const std::string table : {"Db_Search_Guide_Tables", "Db_Search_Guide_Cols"}) {
    SCOPED_TRACE(table);
    boxes_->Clear();
    sent_.clear();
    boxes_->QueueAnswer(vbNo);
    RebuildControlTableCommand(table);
    ASSERT_EQ(boxes_->Shown().size(), 1u);
    ExpectBox(0, kDataQuestion, 52);
    EXPECT_TRUE(sent_.empty());
    EXPECT_EQ(Rows(table), 1);

    boxes_->Clear();
    boxes_->QueueAnswer(vbYes);
    RebuildControlTableCommand(table);
    ASSERT_EQ(boxes_->Shown().size(), 2u);
    ExpectBox(1, "'" + table + "' created.", vbOKOnly);
    EXPECT_EQ(Rows(table), 0);
  }
}

TEST_F(RebuildCommands, TheScratchTablesAreRebuiltWithoutAQuestion) {
  for (const std::string table : {"Db_Search_Guide_SQL", "Db_Search_Guide_Unique"}) {
    SCOPED_TRACE(table);
    boxes_->Clear();
    RebuildControlTableCommand(table);
    ASSERT_EQ(boxes_->Shown().size(), 1u);
    ExpectBox(0, "'" + table + "' created.", vbOKOnly);
    EXPECT_EQ(Rows(table), 0);
  }
  testing::ExecSqlite(file_, "INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1)");
  EXPECT_EQ(SqliteColumn(file_, "SELECT DSG_unique FROM Db_Search_Guide_Unique"),
            std::vector<std::string>{"1"});
  EXPECT_EQ(Rows("Db_Search_Guides"), 3);
}

TEST_F(RebuildCommands, ANameThatIsNotExactlyAGuideTableDoesNothing) {
  for (const std::string name :
       {"db_search_guides", "DB_SEARCH_GUIDE_SQL", "Db_Search_Guide", "Db_Search_Guides ", ""}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(BuildSearchGuideTable(name));
    RebuildControlTableCommand(name);
  }
  EXPECT_TRUE(sent_.empty());
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_EQ(Rows("Db_Search_Guides"), 3);
}

TEST_F(RebuildCommands, ABuildWhoseConnectionFailsIsReportedAndGivesNoSuccessMessage) {
  odbc_.AddDataSource("Gone", odbc_.File("gone.db"), {{"NoCreat", "1"}});
  UseDataSource("Gone");
  RebuildControlTableCommand("Db_Search_Guide_SQL");
  ASSERT_EQ(boxes_->Shown().size(), 1u);
  EXPECT_THAT(boxes_->Shown()[0].prompt,
              StartsWith("The following errors were encountered when attempting to build the "
                         "table 'Db_Search_Guide_SQL' - [["));
  EXPECT_EQ(boxes_->Shown()[0].style, vbOKOnly);
  EXPECT_TRUE(sent_.empty());
}

TEST_F(RebuildCommands, SqliteIsSearchedByTheBuiltInEngineAndGetsNoProcedure) {
  EXPECT_TRUE(basCorvantyAdmin::BuildSearchEngine());
  EXPECT_TRUE(boxes_->Shown().empty());
  EXPECT_TRUE(RebuildSearchEngineCommand());
  ASSERT_EQ(boxes_->Shown().size(), 1u);
  EXPECT_THAT(boxes_->Shown()[0].prompt, HasSubstr("built-in search engine"));
  EXPECT_EQ(boxes_->Shown()[0].style, vbOKOnly);
  EXPECT_TRUE(sent_.empty());
}

}  // namespace
}  // namespace corvanty
