#include "connections/connectstring.h"

#include <gtest/gtest.h>

#include "connections/connectionstore.h"

namespace corvanty {
namespace {

// What the store joins reads back as the same three values, whatever they
// hold; a string with any other setting is refused, never passed on.
TEST(ConnectString, ReadsBackTheValuesTheStoreJoinedAndRefusesAnyOtherSetting) {
  const std::string values[][3] = {{"Sales", "x;Database=other.db;", ""},
                                   {" My Data", "demo;NoCreat=0;Database=new.db", "}{;}}"},
                                   {"{Sales}", "p=w'\"\\ ", "{"}};
  for (const auto& [dsn, uid, pwd] : values) {
    const std::string joined = basCorvantyAdmin::BuildConnectString(dsn, uid, pwd);
    std::optional<ConnectValues> read = ParseConnectString(joined);
    ASSERT_TRUE(read) << joined;
    EXPECT_EQ(read->dsn + "|" + *read->uid + "|" + *read->pwd, dsn + "|" + uid + "|" + pwd);
  }
  EXPECT_EQ(ParseConnectString("dsn=Shop;")->uid, std::nullopt);
  for (const char* refused : {"", "DSN=A;Database=b.db;", "DRIVER=/x.so;Database=b.db;",
                              "DSN=A;DSN=B;", "DSN={A;", "DSN={A}x;", "UID=u;PWD=p;"})
    EXPECT_FALSE(ParseConnectString(refused)) << refused;
}

}  // namespace
}  // namespace corvanty
