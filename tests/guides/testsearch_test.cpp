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
          "CREATE TABLE colours (name TEXT);INSERT INTO colours VALUES (' Red '), ('Green'), "
          "('Blue ');INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Colours');INSERT INTO "
          "Db_Search_Guide_Tables VALUES (1, 'FROM colours c', 'WHERE ', NULL, NULL);INSERT INTO "
          "Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name) VALUES "
          "(1, 1, 'c', 'name');");
  VelmorastineSearch::Corvanty control;
  control.DataSourceName = "Colours";
  // {guide, criteria, cancelled, "found|text|error"}: cancelled, nothing more
  // is read.
  const struct {
    const char *guide, *criteria;
    bool cancelled;
    const char* outcome;
  } rows[] = {
      {"Colours", "e", false, "1|Red\r\nGreen\r\nBlue\r\n|"},
      {"Colours", "zzz", false, "0||"},
      {"Colors", "e", false, "0||[[There is no Database Search Guide named 'Colors'.]]"},
      {"Colours", "e", true, "1||"},
  };
  for (const auto& row : rows) {
    control.SearchGuide = row.guide;
    control.Criteria = row.criteria;
    std::atomic<bool> cancelled{row.cancelled};
    TestSearchOutcome outcome = RunTestSearch(control, cancelled);
    EXPECT_EQ(std::to_string(outcome.found) + "|" + outcome.text + "|" + outcome.error,
              row.outcome);
  }
}

}  // namespace
}  // namespace corvanty
