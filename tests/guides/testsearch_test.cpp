#include "guides/testsearch.h"

#include <gtest/gtest.h>

#include "engine/searchguidetables.h"
#include "support/databasetest.h"

namespace corvanty {
namespace {

TEST(TestSearch, GivesEachResultTrimmedAndEndedByCrLfUntilCancelled) {
  testing::OdbcFixture odbc;
  odbc.AddSqliteDatabase(
      "Colours",
      testing::GuideTablesSql(
          {"Db_Search_Guides", "Db_Search_Guide_Tables", "Db_Search_Guide_Cols"}) +
          "CREATE TABLE colours (name TEXT);"
          "INSERT INTO colours VALUES (' Red '), ('Green'), ('Blue ');"
          "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Colours');"
          "INSERT INTO Db_Search_Guide_Tables VALUES (1, 'FROM colours c', 'WHERE ', NULL, NULL);"
          "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, "
          "Column_name) VALUES (1, 1, 'c', 'name');");
  VelmorastineSearch::Corvanty control;
  control.DataSourceName = "Colours";
  control.SearchGuide = "Colours";
  std::atomic<bool> cancelled{false};
  // {criteria, found, text, error}
  const struct {
    const char* criteria;
    bool found;
    const char *text, *error;
  } rows[] = {
      {"e", true, "Red\r\nGreen\r\nBlue\r\n", ""},
      {"zzz", false, "", ""},
  };
  for (const auto& row : rows) {
    control.Criteria = row.criteria;
    TestSearchOutcome outcome = RunTestSearch(control, cancelled);
    EXPECT_EQ(outcome.found, row.found) << row.criteria;
    EXPECT_EQ(outcome.text, row.text) << row.criteria;
    EXPECT_EQ(outcome.error, row.error) << row.criteria;
  }
  control.SearchGuide = "Colors";
  EXPECT_EQ(RunTestSearch(control, cancelled).error,
            "[[There is no Database Search Guide named 'Colors'.]]");
  control.SearchGuide = "Colours";
  control.Criteria = "e";
  cancelled = true;  // found, but nothing more read
  TestSearchOutcome outcome = RunTestSearch(control, cancelled);
  EXPECT_TRUE(outcome.found);
  EXPECT_EQ(outcome.text, "");
}

}  // namespace
}  // namespace corvanty
