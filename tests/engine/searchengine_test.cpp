// Searches run through the engine over the real SQLite ODBC driver, with the
// guides read from the guide tables.
#include "engine/searchengine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using ::testing::HasSubstr;
using Line = std::tuple<std::string, std::string, int32_t>;  // ResultList, IDColumn, DSG_ID
using Lines = std::vector<Line>;
using namespace corvanty::testing;

class SearchEngine : public ::testing::Test {
 protected:
  // Every result of the search, in the order the engine hands them out.
  Lines Search(const std::vector<int32_t>& guides, const std::string& criteria) {
    std::unique_ptr<SearchRun> run = StartSearch(connect_, guides, criteria);
    Lines lines;
    while (std::optional<SearchResult> result = run->Next())
      lines.emplace_back(result->ResultList, result->IDColumn, result->DSG_ID);
    return lines;
  }

  // The error the search must end in, after any lines read before it.
  rdo::DatabaseError SearchError(const std::vector<int32_t>& guides,
                                 Lines* lines_before = nullptr) {
    try {
      std::unique_ptr<SearchRun> run = StartSearch(connect_, guides, "n");
      while (std::optional<SearchResult> result = run->Next())
        if (lines_before)
          lines_before->emplace_back(result->ResultList, result->IDColumn, result->DSG_ID);
    } catch (const rdo::DatabaseError& error) {
      return error;
    }
    ADD_FAILURE() << "the search ended without an error";
    return rdo::DatabaseError({});
  }

  OdbcFixture odbc_;
  std::string connect_ = AddShopDatabase(odbc_, "Shop");
};

TEST_F(SearchEngine, ResultsCarryTextKeyAndGuideNumber) {
  // A NULL name or city adds empty text; the separator and the other value stay.
  EXPECT_EQ(Search({kCustomersGuide}, "o"),
            (Lines{{", Oslo", "2", 1}, {"Carla O'Hara, Lyon", "3", 1}, {"Dan Borg, ", "4", 1}}));
  EXPECT_EQ(Search({kCustomersGuide}, "zzz"), Lines{});
}

TEST_F(SearchEngine, AJoinSearchesTheColumnsOfBothTables) {
  // "car" is in order 10's item and in the name of the customer of 10 and 12.
  EXPECT_EQ(Search({kOrdersGuide}, "car"), (Lines{{"red car for Carla O'Hara", "10", 2},
                                                  {"green van for Carla O'Hara", "12", 2}}));
}

TEST_F(SearchEngine, AGuideWithoutKeyGivesZero) {
  EXPECT_EQ(Search({kItemsGuide}, "van"), (Lines{{"green van", "0", 3}}));
}

TEST_F(SearchEngine, GuidesRunInAscendingNumberWhateverTheListOrder) {
  EXPECT_EQ(Search({kItemsGuide, kCustomersGuide, kItemsGuide}, "an"),
            (Lines{{"Ann Lee, Paris", "1", 1}, {"Dan Borg, ", "4", 1}, {"green van", "0", 3}}));
}

TEST_F(SearchEngine, ApostrophesInCriteriaAreSearchedForNotRun) {
  EXPECT_EQ(Search({kCustomersGuide}, "O'Hara"), (Lines{{"Carla O'Hara, Lyon", "3", 1}}));
  EXPECT_EQ(Search({kCustomersGuide}, "' OR ''='"), Lines{});
}

TEST_F(SearchEngine, DatabaseErrorsAreThrownNeverResultLines) {
  EXPECT_THAT(SearchError({kBrokenFromGuide}).what(), HasSubstr("no_such_table"));
  EXPECT_EQ(SearchError({99}).what(), std::string(kInvalidGuidesMessage));

  // A row that fails while being read ends the search with the error: the
  // rows before it came out, the rest are not silently dropped.
  Lines before;
  EXPECT_THAT(SearchError({kOverflowGuide}, &before).what(), HasSubstr("overflow"));
  EXPECT_EQ(before, (Lines{{"5", "1", 7}}));
}

TEST_F(SearchEngine, InvalidGuidesAreRefusedBeforeAnyRowIsRead) {
  Lines before;
  EXPECT_EQ(SearchError({kCustomersGuide, kNoTablesRowGuide}, &before).what(),
            std::string("Error: Database Search Guide 5 has no tables defined."));
  EXPECT_EQ(SearchError({kNothingShownGuide, kCustomersGuide}, &before).what(),
            std::string("Error: Database Search Guide 6 shows no column in its result list."));
  EXPECT_EQ(before, Lines{});
}

}  // namespace
}  // namespace corvanty
