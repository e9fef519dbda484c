// The search control as the test dialog drives it: connection values once,
// then guide name and criteria before each search, results one by one.
#include "engine/velmorastinesearch.h"

#include <gtest/gtest.h>

#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using namespace corvanty::testing;

class SearchControl : public ::testing::Test {
 protected:
  SearchControl() {
    AddShopDatabase(odbc_, "Shop");
    control_.DataSourceName = "Shop";
    control_.UserID = "admin";
    control_.Password = "";
  }

  void Run(const std::string& guide, const std::string& criteria) {
    control_.SearchGuide = guide;
    control_.Criteria = criteria;
    control_.RunSearch();
  }

  // The texts of the remaining results, read as the test dialog reads them.
  std::vector<std::string> Remaining() {
    std::vector<std::string> texts;
    while (!control_.EndOfResults()) {
      texts.push_back(control_.ResultText());
      control_.NextResult();
    }
    return texts;
  }

  OdbcFixture odbc_;
  VelmorastineSearch::Corvanty control_;
};

TEST_F(SearchControl, NoResultsEndsAtOnce) {
  Run("Customers", "zzz");
  EXPECT_TRUE(control_.EndOfResults());
  EXPECT_EQ(control_.ResultText(), "");
}

TEST_F(SearchControl, ResultsComeOutInOrderThenStayAtTheEnd) {
  Run("Customers", "o");
  EXPECT_EQ(Remaining(), (std::vector<std::string>{", Oslo", "Carla O'Hara, Lyon", "Dan Borg, "}));
  control_.NextResult();
  EXPECT_TRUE(control_.EndOfResults());
}

TEST_F(SearchControl, ASecondSearchReplacesTheFirstOnesResults) {
  Run("Customers", "o");
  control_.NextResult();
  Run("Customers", "paris");
  EXPECT_EQ(Remaining(), std::vector<std::string>{"Ann Lee, Paris"});
}

TEST_F(SearchControl, ApostrophesInGuideNameAndCriteriaAreSafe) {
  Run("Orders by customer's name", "O'Hara");
  EXPECT_EQ(Remaining(),
            (std::vector<std::string>{"red car for Carla O'Hara", "green van for Carla O'Hara"}));
  Run("Orders by customer's name", "' OR ''='");
  EXPECT_TRUE(control_.EndOfResults());
}

TEST_F(SearchControl, ErrorsAreThrownAndLeaveNoResult) {
  Run("Customers", "o");
  EXPECT_THROW(Run("No such guide", "o"), rdo::DatabaseError);
  EXPECT_TRUE(control_.EndOfResults());

  EXPECT_THROW(Run("Broken", "o"), rdo::DatabaseError);
  EXPECT_TRUE(control_.EndOfResults());

  // The second row fails: the first result must not stay current.
  Run("Overflow", "n");
  EXPECT_EQ(control_.ResultText(), "5");
  EXPECT_THROW(control_.NextResult(), rdo::DatabaseError);
  EXPECT_TRUE(control_.EndOfResults());
  EXPECT_EQ(control_.ResultText(), "");
}

}  // namespace
}  // namespace corvanty
