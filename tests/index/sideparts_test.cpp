// SPDX-License-Identifier: Apache-2.0
// The side parts of a SQLite search index on the shop database: the orders
// guide (orders o joined to customers c, searching o.item and c.name) keeps
// each customer's name once, on the customer's row, where its own entries
// keep the items; a search needs each text in one part or the other, and a
// write to a name notes the customer only. What is left of a side part
// dropped by hand is found and repaired like the rest of the index.
#include <gtest/gtest.h>

#include "connections/rdo.h"
#include "index/searchindexbuild.h"
#include "index/searchindexremnants.h"
#include "search/searchengine.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using namespace corvanty::testing;
using Texts = std::vector<std::string>;

class SideParts : public ::testing::Test {
 protected:
  void SetUp() override { BuildSearchIndex(connection_, kOrdersGuide); }

  // The keys of the orders the criteria find, each followed by a blank, and
  // whether the index served.
  std::string Search(const std::string& criteria) {
    const PlannedSearch planned = PlanSearch(connection_, {kOrdersGuide}, SearchCriteria(criteria));
    std::string keys;
    for (rdo::ForwardReader rows = connection_.OpenForwardOnly(planned.statements.at(0).SQL);
         rows.Fetch();)
      keys += rows.Value(1).value_or("") + " ";
    return keys + (planned.paths.at(0).indexed ? "(index)" : "(scan)");
  }

  std::string Column(const std::string& sql) { return SqliteColumn(file_, sql).at(0); }

  OdbcFixture odbc_;
  const std::string connect_ = AddShopDatabase(odbc_, "Shop");
  const std::string file_ = odbc_.File("Shop.db");
  rdo::rdoConnection connection_ = rdo::rdoConnection::Open(connect_);
};

TEST_F(SideParts, ACustomersNameIsKeptOnceOnItsRowAndFoundWithTheOrdersOwnTexts) {
  // Every customer, with orders or not; the orders' own entries without the
  // names.
  EXPECT_EQ(Column("SELECT group_concat(rowid || ':' || coalesce(c1, '-'), ' ') FROM "
                   "Db_Search_Index_2_side1 WHERE rowid < 5"),
            "1:Ann Lee 2:- 3:Carla O'Hara 4:Dan Borg");
  EXPECT_EQ(Column("SELECT group_concat(rowid || ':' || c1 || ':' || coalesce(c2, '-'), ' ') "
                   "FROM Db_Search_Index_2"),
            "10:red car:- 11:blue bike:- 12:green van:-");
  // Carla's name gives both her orders; each alternative, its own.
  EXPECT_EQ(Search("carla"), "10 12 (index)");
  EXPECT_EQ(Search("\"bike\" OR \"o'hara\""), "10 11 12 (index)");
  EXPECT_EQ(Search("\"ann\" AND \"lee\" OR \"van\""), "11 12 (index)");
}

TEST_F(SideParts, ANameWrittenIsPendingOnTheCustomersRowOnlyAndFoundAtOnce) {
  ExecSqlite(file_, "UPDATE customers SET name = 'Zed Blue' WHERE id = 1");
  EXPECT_EQ(Column("SELECT count(*) FROM Db_Search_Index_2_pending"), "0");
  EXPECT_EQ(Column("SELECT group_concat(Row_id) FROM Db_Search_Index_2_side1_pending"), "1");
  // Found by the name as it is, not as its entry has it.
  EXPECT_EQ(Search("zed"), "11 (index)");
  EXPECT_EQ(Search("\"blue\" AND \"zed\""), "11 (index)");
}

TEST_F(SideParts, ASidePartDroppedByHandIsNamedAndItsDropLetsTheWritesThrough) {
  ExecSqlite(file_, "DROP TABLE Db_Search_Index_2_side1_pending");
  const std::vector<IndexRemnant> remnants = FindIndexRemnants(connection_);
  ASSERT_EQ(remnants.size(), 1u);
  EXPECT_EQ(remnants[0].what, "its search index lacks its table Db_Search_Index_2_side1_pending");
  EXPECT_EQ(remnants[0].failing, Texts{"customers"});
  EXPECT_THROW(ExecSqlite(file_, "UPDATE customers SET name = 'Zed' WHERE id = 1"), std::exception);
  EXPECT_TRUE(DropSearchIndex(connection_, kOrdersGuide));
  ExecSqlite(file_, "UPDATE customers SET name = 'Zed' WHERE id = 1");
  EXPECT_EQ(Column("SELECT count(*) FROM sqlite_master WHERE name LIKE 'Db_Search_Index_2%'"), "0");
}

}  // namespace
}  // namespace corvanty
