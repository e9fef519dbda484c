// SPDX-License-Identifier: Apache-2.0
// A new guide's row and the reading of its number are one transaction.
#include "guides/guidestore.h"

#include <gtest/gtest.h>

#include "support/databasetest.h"

namespace corvanty {
namespace {

using GuideStore = testing::OnEachServer<testing::DatabaseTest>;
INSTANTIATE_TEST_SUITE_P(, GuideStore, testing::kEachServer, testing::ServerParamName);

TEST_P(GuideStore, AGuideWhoseNumberCannotBeReadIsNotLeftBehind) {
  UseNewDatabase("NewGuide", testing::GuideTablesSql({"Db_Search_Guides"}, server_));
  Session session = DatabaseSession();
  // The connection is lost after the insert, as the number is read.
  rdo::SetStatementObserver([](const std::string& sql) {
    if (sql.rfind("SELECT DSG_ID", 0) == 0) throw rdo::DatabaseError({{0, "lost", -1, ""}});
  });
  EXPECT_THROW(InsertGuide(session.Connection(), "Orders", ""), rdo::DatabaseError);
  rdo::SetStatementObserver(nullptr);
  EXPECT_EQ(Column("SELECT count(*) FROM Db_Search_Guides"), std::vector<std::string>{"0"});
  // Once it can be read, the guide is there under the number returned.
  const int32_t number = InsertGuide(session.Connection(), "Orders", "");
  EXPECT_EQ(Column("SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = 'Orders'"),
            std::vector<std::string>{std::to_string(number)});
}

}  // namespace
}  // namespace corvanty
