// SPDX-License-Identifier: Apache-2.0
// The demos' sample guides on each server: a second definition keeps the
// whole ones as they are and completes one that lost its tables or columns
// row under its own number, with the sample's rows.
#include <gtest/gtest.h>

#include "demo/demoguides.h"
#include "schema/readiness.h"
#include "support/databasetest.h"

namespace corvanty {
namespace {

using SampleGuides = testing::OnEachServer<testing::DatabaseTest>;
INSTANTIATE_TEST_SUITE_P(, SampleGuides, testing::kEachServer, testing::ServerParamName);

demo::SampleGuidesOutcome Define(Session session) {
  rdo::rdoConnection& connection = session.Connection();
  demo::ConnectionGuideStatements statements(connection);
  rdo::Transaction transaction = connection.BeginTrans();
  demo::SampleGuidesOutcome outcome = demo::DefineSampleGuides(statements, connection.GetDialect());
  transaction.Commit();
  return outcome;
}

using Names = std::vector<std::string>;

TEST_P(SampleGuides, ASecondDefinitionKeepsWholeGuidesAndCompletesAPartialOneUnderItsNumber) {
  UseNewDatabase("Samples");
  Session readying = DatabaseSession();
  ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(readying));
  const Names both = {"Customers by name and city", "Orders by ship city and customer"};
  EXPECT_EQ(Define(DatabaseSession()).defined, both);
  const std::string column_rows =
      "SELECT DSG_ID || ' ' || Column_qualifier || '.' || Column_name || ' ' || "
      "List_column_separator FROM Db_Search_Guide_Cols ORDER BY DSG_ID, DSG_column_seq_no";
  const Names columns = Column(column_rows);
  ASSERT_EQ(columns.size(), 9u);  // 5 and 4 columns
  EXPECT_EQ(columns[8], "2 customers.company_name +''+");
  // The first guide loses its tables row, the second its columns; an
  // administrator's change to a whole guide would be kept.
  Exec("DELETE FROM Db_Search_Guide_Tables WHERE DSG_ID = 1");
  Exec("DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = 2");
  Exec("UPDATE Db_Search_Guides SET DSG_Description = 'mine' WHERE DSG_ID = 2");
  demo::SampleGuidesOutcome second = Define(DatabaseSession());
  EXPECT_EQ(second.completed, both);
  EXPECT_EQ(second.defined, Names{});
  EXPECT_EQ(Column("SELECT DSG_ID FROM Db_Search_Guides ORDER BY DSG_ID"), (Names{"1", "2"}));
  EXPECT_EQ(Column("SELECT FROM_clause FROM Db_Search_Guide_Tables ORDER BY DSG_ID"),
            (Names{"FROM customers", "FROM orders, customers"}));
  EXPECT_EQ(Column(column_rows), columns);
  EXPECT_EQ(Column("SELECT DSG_Description FROM Db_Search_Guides WHERE DSG_ID = 2"), Names{"mine"});
  demo::SampleGuidesOutcome third = Define(DatabaseSession());
  EXPECT_EQ(third.kept, both);
  EXPECT_EQ(third.completed, Names{});
}

}  // namespace
}  // namespace corvanty
