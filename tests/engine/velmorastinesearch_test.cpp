// The search control as the test dialog drives it: connection values once,
// then guide name and criteria before each search, results one by one.
#include "engine/velmorastinesearch.h"

#include <gtest/gtest.h>

#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using Texts = std::vector<std::string>;

class SearchControl : public ::testing::Test {
 protected:
  SearchControl() {
    AddShopDatabase(odbc_, "Shop");
    control_.DataSourceName = "Shop";
    control_.UserID = "admin";
  }

  void Run(const std::string& guide, const std::string& criteria) {
    control_.SearchGuide = guide;
    control_.Criteria = criteria;
    control_.RunSearch();
  }

  // The texts of the remaining results, read as the test dialog reads them.
  Texts Remaining() {
    Texts texts;
    while (!control_.EndOfResults()) {
      texts.push_back(control_.ResultText());
      control_.NextResult();
    }
    return texts;
  }

  testing::OdbcFixture odbc_;
  VelmorastineSearch::Corvanty control_;
};

TEST_F(SearchControl, ResultsComeOutInOrderAndANewSearchReplacesThem) {
  Run("Customers", "zzz");
  EXPECT_TRUE(control_.EndOfResults());
  EXPECT_EQ(control_.ResultText(), "");
  Run("Customers", "o");
  control_.NextResult();
  Run("Orders by customer's name", "O'Hara");  // the guide found by its exact name
  EXPECT_EQ(Remaining(), (Texts{"red car for Carla O'Hara", "green van for Carla O'Hara"}));
  Run("Customers", "o");
  EXPECT_EQ(Remaining(), (Texts{", Oslo", "Carla O'Hara, Lyon", "Dan Borg, "}));
  control_.NextResult();
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
