// The faults of a real server: stopped in the middle of a search, a wrong
// password, a connection refused. Each is reported in the server's words and
// loses nothing.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>

#include "connections/connectionstore.h"
#include "connections/odbcdatasource.h"
#include "connections/sqlerrorreport.h"
#include "engine/readiness.h"
#include "engine/velmorastinesearch.h"
#include "guides/columnstore.h"
#include "guides/guideclauses.h"
#include "guides/guidestore.h"
#include "support/postgresserver.h"

namespace corvanty {
namespace {

using ::testing::HasSubstr;
using Texts = std::vector<std::string>;

// Tests on a server of their own, which they may stop.
class PostgresFaults : public testing::PostgresTest {
 protected:
  const testing::PostgresLogin& Server() override {
    if (!cluster_) cluster_.emplace();
    return cluster_->Login();
  }
  std::optional<testing::PostgresCluster> cluster_;
};

// A guide over items: the name shown and searched.
void DefineItemsGuide() {
  ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness());
  const int32_t guide = InsertGuide("Items", "(none)");
  SaveGuideClauses(guide, false, "items", "");
  ColumnSlot name;
  name.TableName = "items";
  name.ColumnName = "name";
  name.ShowInList = name.IsSearchColumn = -1;
  name.ColumnIndex = 1;
  SaveColumnSettings(guide, {{}, name});
}

TEST_F(PostgresFaults, AServerStoppedMidSearchEndsItWithTheServersWordsAndKeepsTheGuides) {
  UseNewSchema("ItemsOnPostgres",
               "CREATE TABLE items AS SELECT g AS id, 'item ' || g AS name "
               "FROM generate_series(1, 5000) g");
  DefineItemsGuide();
  VelmorastineSearch::Corvanty control;
  control.DataSourceName = "ItemsOnPostgres";
  control.UserID = Server().user;
  control.Password = Server().password;
  control.SearchGuide = "Items";
  control.Criteria = "item";
  control.RunSearch();
  ASSERT_FALSE(control.EndOfResults());

  cluster_->StopServer();
  long read = 1;
  try {
    // The driver holds the rows of the batch it fetched last.
    for (; read <= 5000 && !control.EndOfResults(); ++read) control.NextResult();
    ADD_FAILURE() << "all results arrived from a stopped server";
  } catch (const rdo::DatabaseError& error) {
    EXPECT_THAT(DialogErrorText(error), HasSubstr("terminating connection"));
  }
  EXPECT_LT(read, 5000);
  EXPECT_TRUE(control.EndOfResults());

  cluster_->StartServer();
  control.RunSearch();
  for (read = 0; !control.EndOfResults(); control.NextResult()) ++read;
  EXPECT_EQ(read, 5000);
  EXPECT_EQ(Query("SELECT DSG_name FROM Db_Search_Guides"), Texts{"Items"});
}

// A loopback port on which nothing listens.
std::string ClosedPort() {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(listener, reinterpret_cast<sockaddr*>(&address), length);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  close(listener);
  return std::to_string(ntohs(address.sin_port));
}

using PostgresLogins = testing::PostgresTest;

TEST_F(PostgresLogins, AWrongPasswordOrARefusedConnectionIsReportedAndChangesNothing) {
  UseNewSchema("ShopOnPostgres", "CREATE TABLE customers (id int)");
  WritePostgresDataSource("ClosedOnPostgres", {"127.0.0.1", ClosedPort()}, "postgres");
  const std::string user = testing::SharedPostgresServer().user;
  const struct {
    std::string connect;
    const char* reported;
  } cases[] = {
      {basCorvantyAdmin::BuildConnectString("ShopOnPostgres", user, "wrong"),
       "password authentication failed for user \"corvanty\""},
      {basCorvantyAdmin::BuildConnectString("ClosedOnPostgres", user, "corvanty"),
       "Connection refused"},
  };
  for (const auto& c : cases) {
    boxes_->Clear();
    basCorvantyAdmin::gstrConnect = c.connect;
    // As the Connect dialog runs the readiness check and reports its failure.
    try {
      basCorvantyAdmin::CheckDatabaseReadiness();
      ADD_FAILURE() << c.reported;
    } catch (const std::exception& error) {
      ReportDialogError(error);
    }
    ASSERT_EQ(boxes_->Shown().size(), 1u);
    EXPECT_THAT(boxes_->Shown()[0].prompt, HasSubstr(c.reported));
    EXPECT_EQ(basCorvantyAdmin::gstrConnect, c.connect);
  }
  EXPECT_TRUE(sent_.empty());
  EXPECT_EQ(Query("SELECT table_name FROM information_schema.tables WHERE table_schema = "
                  "current_schema()"),
            Texts{"customers"});
}

}  // namespace
}  // namespace corvanty
