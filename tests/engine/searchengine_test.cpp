// Searches run through the engine and through the search control over the
// real ODBC drivers of SQLite and PostgreSQL, with the guides read from the
// guide tables.
#include "engine/searchengine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/velmorastinesearch.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using namespace corvanty::testing;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Lines = std::vector<std::string>;  // ResultList*IDColumn*DSG_ID, in the order handed out

class SearchEngine : public ::testing::TestWithParam<rdo::Dialect> {
 protected:
  void SetUp() override {
    if (GetParam() == rdo::Dialect::Sqlite) {
      connect_ = AddShopDatabase(odbc_, "Shop");
      return;
    }
    SkipWithoutPostgres();
    if (IsSkipped() || HasFailure()) return;
    postgres_ = AddPostgresShop("ShopOnPostgres");
    connect_ = postgres_->connect;
  }

  // The results of the search, in order, then the error it ended in, if any.
  Lines Search(const std::vector<int32_t>& guides, const std::string& criteria) {
    Lines lines;
    try {
      std::unique_ptr<SearchRun> run = StartSearch(connect_, guides, criteria);
      while (std::optional<SearchResult> result = run->Next())
        lines.push_back(result->ResultList + "*" + result->IDColumn + "*" +
                        std::to_string(result->DSG_ID));
    } catch (const rdo::DatabaseError& error) {
      lines.push_back(std::string("error: ") + error.what());
    }
    return lines;
  }

  OdbcFixture odbc_;
  std::unique_ptr<PostgresSchema> postgres_;
  std::string connect_;
};
INSTANTIATE_TEST_SUITE_P(On, SearchEngine, kEachServer, ServerParamName);

TEST_P(SearchEngine, ResultsCarryTextKeyAndGuideNumberInGuideOrder) {
  // A NULL name or city adds empty text; the separator and the other value stay.
  EXPECT_EQ(Search({kCustomersGuide}, "o"),
            (Lines{", Oslo*2*1", "Carla O'Hara, Lyon*3*1", "Dan Borg, *4*1"}));
  // "car" is in order 10's item and in the name of the customer of 10 and 12.
  EXPECT_EQ(Search({kOrdersGuide}, "car"),
            (Lines{"red car for Carla O'Hara*10*2", "green van for Carla O'Hara*12*2"}));
  // Ascending guide numbers whatever the list order, each searched on its
  // own columns; a number without rows is skipped; no key column gives 0.
  EXPECT_EQ(Search({kItemsGuide, 99, kCustomersGuide, kItemsGuide}, "an"),
            (Lines{"Ann Lee, Paris*1*1", "Dan Borg, *4*1", "green van*0*3"}));
  EXPECT_EQ(Search({kCustomersGuide}, "\"ANN\" or \"lyon\""),
            (Lines{"Ann Lee, Paris*1*1", "Carla O'Hara, Lyon*3*1"}));
  EXPECT_EQ(Search({kCustomersGuide}, "nnn"), Lines{std::string(200, 'n') + "*5*1"});  // cut
  EXPECT_EQ(Search({kCustomersGuide}, "' OR ''='"), Lines{});
}

TEST_P(SearchEngine, ErrorsEndTheSearchNeverAsResultLines) {
  EXPECT_THAT(Search({kBrokenFromGuide}, "n"), ElementsAre(HasSubstr("no_such_table")));
  EXPECT_EQ(Search({99}, "n"), Lines{std::string("error: ") + kInvalidGuidesMessage});
  // Invalid guides are refused before any row of the valid ones is read.
  EXPECT_EQ(Search({kCustomersGuide, kNoTablesRowGuide}, "n"),
            Lines{"error: Error: Database Search Guide 5 has no tables defined."});
  EXPECT_EQ(Search({kNothingShownGuide, kCustomersGuide}, "n"),
            Lines{"error: Error: Database Search Guide 6 shows no column in its result list."});
  // A row that fails while being read ends the search: the rows before it
  // came out (PostgreSQL's driver fetches them in one batch with the
  // failing one), the rest are not silently dropped.
  if (GetParam() == rdo::Dialect::Sqlite)
    EXPECT_THAT(Search({kOverflowGuide}, "n"), ElementsAre("5*1*7", HasSubstr("overflow")));
  else
    EXPECT_THAT(Search({kOverflowGuide}, "n"), ElementsAre(HasSubstr("bigint out of range")));
}

// As the test dialog drives the control: connection values once, then guide
// name and criteria before each search, results one by one.
TEST_P(SearchEngine, TheControlHandsOutResultsOneByOneAndAnErrorLeavesNone) {
  VelmorastineSearch::Corvanty control;
  control.DataSourceName = postgres_ ? postgres_->dsn : "Shop";
  control.UserID = postgres_ ? postgres_->server.user : "admin";
  control.Password = postgres_ ? postgres_->server.password : "";
  auto run = [&](const std::string& guide, const std::string& criteria) {
    control.SearchGuide = guide;
    control.Criteria = criteria;
    control.RunSearch();
    Lines texts;
    for (; !control.EndOfResults(); control.NextResult()) texts.push_back(control.ResultText());
    return texts;
  };
  EXPECT_EQ(run("Customers", "zzz"), Lines{});
  EXPECT_EQ(control.ResultText(), "");
  EXPECT_EQ(run("Orders by customer's name", "O'Hara"),  // the guide found by its exact name
            (Lines{"red car for Carla O'Hara", "green van for Carla O'Hara"}));
  control.NextResult();  // past the end it stays there
  EXPECT_TRUE(control.EndOfResults());
  EXPECT_THROW(run("No such guide", "o"), rdo::DatabaseError);
  EXPECT_TRUE(control.EndOfResults());
  // The second row fails: the first result must not stay current.
  EXPECT_THROW(run("Overflow", "n"), rdo::DatabaseError);
  EXPECT_TRUE(control.EndOfResults());
  EXPECT_EQ(control.ResultText(), "");
}

}  // namespace
}  // namespace corvanty
