#include "connections/connectstring.h"

#include <gtest/gtest.h>

#include "connections/connectionstore.h"

namespace corvanty {
namespace {

// What the store writes reads back as the same three values, whatever they
// hold; the driver gets them as values, never as more settings.
TEST(ConnectString, ReadsBackExactlyTheValuesTheStoreJoined) {
  const ConnectValues cases[] = {
      {"Sales", "sa", ""},
      {"Sales", "x;Database=other.db;", "p"},
      {"My Data", "demo;NoCreat=0;Database=new.db;", "}{;}}"},
      {" Sales", "sa ", "p=w'\"\\"},
      {"{Sales}", "{", "}"},
  };
  for (const ConnectValues& values : cases) {
    const std::string joined =
        basCorvantyAdmin::BuildConnectString(values.dsn, *values.uid, *values.pwd);
    std::optional<ConnectValues> read = ParseConnectString(joined);
    ASSERT_TRUE(read) << joined;
    EXPECT_EQ(read->dsn, values.dsn) << joined;
    EXPECT_EQ(read->uid, values.uid) << joined;
    EXPECT_EQ(read->pwd, values.pwd) << joined;
  }
  std::optional<ConnectValues> bare = ParseConnectString("dsn=Shop;");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->dsn, "Shop");
  EXPECT_EQ(bare->uid, std::nullopt);
}

TEST(ConnectString, RefusesEverySettingButTheThreeValues) {
  for (const char* refused :
       {"", "DSN=A;Database=b.db;", "DRIVER=/x.so;Database=b.db;", "FILEDSN=x.dsn;", "DSN=A;DSN=B;",
        "DSN=A;UID=u;uid=v;", "DSN={A;", "DSN={A}x;", "UID=u;PWD=p;", "DSN"})
    EXPECT_EQ(ParseConnectString(refused).has_value(), false) << refused;
}

}  // namespace
}  // namespace corvanty
