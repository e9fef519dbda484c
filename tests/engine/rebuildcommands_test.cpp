// The rebuild commands beyond what choosing them from the Tools menu shows:
// names that are not a guide table and a connection that cannot be opened.
#include "engine/rebuildcommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/tablebuilder.h"
#include "support/databasetest.h"

namespace corvanty {
namespace {

using RebuildCommands = testing::DatabaseTest;

TEST_F(RebuildCommands, ANameThatIsNotExactlyAGuideTableDoesNothing) {
  UseNewDatabase("Guides");
  for (const std::string name : {"db_search_guides", "Db_Search_Guide", "Db_Search_Guides ", ""}) {
    EXPECT_FALSE(basCorvantyAdmin::BuildSearchGuideTable(name)) << name;
    RebuildControlTableCommand(name);
  }
  EXPECT_TRUE(sent_.empty());
  EXPECT_TRUE(boxes_->Shown().empty());
}

TEST_F(RebuildCommands, ABuildWhoseConnectionFailsIsReportedAndGivesNoSuccessMessage) {
  odbc_.AddDataSource("Gone", odbc_.File("gone.db"), {{"NoCreat", "1"}});
  UseDataSource("Gone");
  RebuildControlTableCommand("Db_Search_Guide_SQL");
  ASSERT_EQ(boxes_->Shown().size(), 1u);
  EXPECT_THAT(boxes_->Shown()[0].prompt,
              ::testing::StartsWith("The following errors were encountered when attempting to "
                                    "build the table 'Db_Search_Guide_SQL' - [["));
  EXPECT_FALSE(RebuildSearchEngineCommand());
  EXPECT_EQ(boxes_->Shown().size(), 2u);  // its error only, no success message
  EXPECT_TRUE(sent_.empty());
}

}  // namespace
}  // namespace corvanty
