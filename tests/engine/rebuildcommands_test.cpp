#include "engine/rebuildcommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/searchengineinstaller.h"
#include "engine/tablebuilder.h"
#include "support/databasetest.h"

namespace corvanty {
namespace {

using testing::SqliteColumn;
using Texts = std::vector<std::string>;

const char kGuidesQuestion[] =
    "This will delete all data in the table! WARNING! This will also reset the DSG_ID Identity "
    "column to 1!! If you drop and recreate this table, you will need to set the identity seed "
    "to an appropriate number (only if you have any existing Db Search Guides). Proceed?";

class RebuildCommands : public testing::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    file_ = UseNewDatabase(
        "Guides",
        testing::GuideTablesSql({"Db_Search_Guides", "Db_Search_Guide_Tables",
                                 "Db_Search_Guide_Cols", "Db_Search_Guide_SQL",
                                 "Db_Search_Guide_Unique"}) +
            "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Orders');"
            "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause) VALUES (1, 'FROM orders');"
            "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, "
            "Column_name) VALUES (1, 1, 'orders', 'order_id');"
            "INSERT INTO Db_Search_Guide_SQL VALUES (1, 1, 1, 'SELECT 1');"
            "INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1);");
  }

  std::string Rows(const std::string& table) {
    return SqliteColumn(file_, "SELECT count(*) FROM " + table).at(0);
  }

  // Each message box shown, as "style title: prompt".
  Texts Boxes() {
    Texts boxes;
    for (const MessageBoxRequest& box : boxes_->Shown())
      boxes.push_back(std::to_string(box.style) + " " + box.title + ": " + box.prompt);
    return boxes;
  }

  std::string file_;
};

TEST_F(RebuildCommands, NoToTheGuideListsLongQuestionSendsNothing) {
  boxes_->QueueAnswer(vbNo);
  RebuildControlTableCommand("Db_Search_Guides");
  EXPECT_EQ(Boxes(), Texts{std::string("52 Velmorastine: Corvanty: ") + kGuidesQuestion});
  EXPECT_TRUE(sent_.empty());
  EXPECT_EQ(Rows("Db_Search_Guides"), "1");
}

TEST_F(RebuildCommands, YesEmptiesOnlyThatTableAndRestartsItsNumbers) {
  const std::string dataQuestion = "This will delete all data in the table! Proceed?";
  const std::pair<std::string, std::string> tables[] = {
      {"Db_Search_Guides", kGuidesQuestion},
      {"Db_Search_Guide_Tables", dataQuestion},
      {"Db_Search_Guide_Cols", dataQuestion},
      {"Db_Search_Guide_SQL", ""},  // scratch tables: no question
      {"Db_Search_Guide_Unique", ""},
  };
  for (const auto& [table, question] : tables) {
    SCOPED_TRACE(table);
    boxes_->Clear();
    boxes_->QueueAnswer(vbYes);
    EXPECT_EQ(Rows(table), "1");  // untouched by the tables rebuilt before
    RebuildControlTableCommand(table);
    Texts expected = {"0 Velmorastine: Corvanty: '" + table + "' created."};
    if (!question.empty())
      expected.insert(expected.begin(), "52 Velmorastine: Corvanty: " + question);
    EXPECT_EQ(Boxes(), expected);
    EXPECT_EQ(Rows(table), "0");
  }
  testing::ExecSqlite(file_,
                      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Customers');"
                      "INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1);");
  EXPECT_EQ(SqliteColumn(file_, "SELECT DSG_ID FROM Db_Search_Guides"), Texts{"1"});
  EXPECT_EQ(SqliteColumn(file_, "SELECT DSG_unique FROM Db_Search_Guide_Unique"), Texts{"1"});
  EXPECT_EQ(testing::SqliteObjects(file_, "index"), (Texts{"Cols_x_1", "DSG_x_1", "DSG_x_2"}));
}

TEST_F(RebuildCommands, ANameThatIsNotExactlyAGuideTableDoesNothing) {
  for (const std::string name : {"db_search_guides", "Db_Search_Guide", "Db_Search_Guides ", ""}) {
    EXPECT_FALSE(basCorvantyAdmin::BuildSearchGuideTable(name)) << name;
    RebuildControlTableCommand(name);
  }
  EXPECT_TRUE(sent_.empty());
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(RebuildCommands, ABuildWhoseConnectionFailsIsReportedAndGivesNoSuccessMessage) {
  odbc_.AddDataSource("Gone", odbc_.File("gone.db"), {{"NoCreat", "1"}});
  UseDataSource("Gone");
  RebuildControlTableCommand("Db_Search_Guide_SQL");
  ASSERT_EQ(boxes_->Shown().size(), 1u);
  EXPECT_THAT(boxes_->Shown()[0].prompt,
              ::testing::StartsWith("The following errors were encountered when attempting to "
                                    "build the table 'Db_Search_Guide_SQL' - [["));
  EXPECT_TRUE(sent_.empty());
}

TEST_F(RebuildCommands, SqliteIsSearchedByTheBuiltInEngineAndGetsNoProcedure) {
  EXPECT_TRUE(basCorvantyAdmin::BuildSearchEngine());
  EXPECT_TRUE(RebuildSearchEngineCommand());
  ASSERT_EQ(boxes_->Shown().size(), 1u);
  EXPECT_THAT(boxes_->Shown()[0].prompt, ::testing::HasSubstr("built-in search engine"));
  EXPECT_TRUE(sent_.empty());
}

}  // namespace
}  // namespace corvanty
