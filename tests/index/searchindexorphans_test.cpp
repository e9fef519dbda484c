// SPDX-License-Identifier: Apache-2.0
// The search indexes of guides that no longer exist, dropped on each server
// while the indexes of the guides that remain stay.
#include "index/searchindexorphans.h"

#include <gtest/gtest.h>

#include "guides/columnstore.h"
#include "guides/guideclauses.h"
#include "guides/guidestore.h"
#include "index/searchindexes.h"
#include "index/searchindexsql.h"
#include "index/trigramindex.h"
#include "schema/readiness.h"
#include "schema/rebuildcommands.h"
#include "support/databasetest.h"
#include "support/postgresserver.h"

namespace corvanty {
namespace {

class OrphanIndexes : public testing::OnEachServer<testing::DatabaseTest> {
 protected:
  // Guides 1 and 2 over one table, each with its index built.
  void SetUp() override {
    OnEachServer::SetUp();
    if (IsSkipped()) return;
    UseNewDatabase("Orphans",
                   "CREATE TABLE people (id int PRIMARY KEY, name varchar(40));"
                   "INSERT INTO people VALUES (1, 'Ann'), (2, 'Bob');");
    Session session = DatabaseSession();
    ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
    rdo::rdoConnection& connection = session.Connection();
    for (const char* name : {"First", "Second"}) {
      const int32_t guide = InsertGuide(connection, name, "");
      SaveGuideClauses(connection, guide, false, "people", "");
      SaveColumnSettings(connection, guide,
                         {{"people", "id", 0, 0, "+''+", 1, "", 1, "Integer", 1},
                          {"people", "name", 1, 1, "+', '+", 0, "", 0, "Varchar", 2}});
      BuildGuideSearchIndex(connection, guide);
    }
  }

  // How many objects of the guide's index there are: SQLite's FTS5 table,
  // its shadow tables, pending list and triggers, with its state row;
  // PostgreSQL's trigram indexes.
  int IndexObjects(int32_t guide) {
    if (postgres())
      return static_cast<int>(TrigramIndexNames(DatabaseSession().Connection(), guide).size());
    const std::string table = SearchIndexTable(guide);
    return std::stoi(Column("SELECT count(*) FROM sqlite_master WHERE name = '" + table +
                            "' OR name LIKE '" + table + "!_%' ESCAPE '!'")[0]) +
           std::stoi(Column("SELECT count(*) FROM Db_Search_Index_State WHERE DSG_ID = " +
                            std::to_string(guide))[0]);
  }
};
INSTANTIATE_TEST_SUITE_P(, OrphanIndexes, testing::kEachServer, testing::ServerParamName);

TEST_P(OrphanIndexes, OnlyTheIndexesOfGuidesThatAreGoneAreDropped) {
  ASSERT_GT(IndexObjects(1), 0);
  ASSERT_GT(IndexObjects(2), 0);
  Session session = DatabaseSession();
  rdo::rdoConnection& connection = session.Connection();
  rdo::Transaction transaction = connection.BeginTrans();
  connection.Execute("DELETE FROM Db_Search_Guides WHERE DSG_ID = 1");
  EXPECT_EQ(DropOrphanSearchIndexesWithin(connection), std::vector<int32_t>{1});
  transaction.Commit();
  EXPECT_EQ(IndexObjects(1), 0);
  EXPECT_GT(IndexObjects(2), 0);
}

TEST_P(OrphanIndexes, RebuildingTheGuidesTableDropsEveryIndex) {
  boxes_->QueueAnswer(vbYes);
  Session session = DatabaseSession();
  RebuildControlTableCommand(session, "Db_Search_Guides", [](rdo::rdoConnection& connection) {
    DropOrphanSearchIndexesWithin(connection);
  });
  EXPECT_EQ(IndexObjects(1) + IndexObjects(2), 0);
  EXPECT_EQ(Column("SELECT count(*) FROM Db_Search_Guide_Cols")[0], "4");
}

// The follow-up shares the rebuild's transaction: when it fails, the
// guides and their indexes stay as they were.
TEST_P(OrphanIndexes, AFailedFollowUpLeavesTheGuidesTableAsItWas) {
  boxes_->QueueAnswer(vbYes);
  Session session = DatabaseSession();
  RebuildControlTableCommand(session, "Db_Search_Guides", [](rdo::rdoConnection& connection) {
    DropOrphanSearchIndexesWithin(connection);
    connection.Execute("SELECT * FROM no_such_table");
  });
  ASSERT_EQ(boxes_->Shown().size(), 2u);
  const std::string& shown = boxes_->Shown()[1].prompt;  // then the server's words
  EXPECT_EQ(shown.substr(0, shown.find(" - ") + 3),
            "The following errors were encountered when attempting to build the table "
            "'Db_Search_Guides' - ");
  EXPECT_EQ(Column("SELECT count(*) FROM Db_Search_Guides")[0], "2");
  EXPECT_GT(IndexObjects(1), 0);
}

}  // namespace
}  // namespace corvanty
