// corvanty remove-connection: one entry goes, the others keep their numbers.
#include <gtest/gtest.h>

#include "support/corvantycli.h"

namespace corvanty {
namespace {

TEST(RemoveConnection, TheOthersKeepTheirNumbersAndTheNextSaveFillsTheGap) {
  testing::CorvantyCli cli;
  for (const char* source : {"A", "B", "C"}) cli.Succeed({"add-connection", source, "u"});
  testing::CommandResult removed = cli.Run({"remove-connection", "2"});
  EXPECT_EQ(removed.exit_code, 0);
  EXPECT_EQ(removed.err,
            "The connections after 2 keep their numbers; they are listed again once a new "
            "connection takes number 2.\n");
  EXPECT_EQ(cli.Succeed({"connections"}), "1\tA\tu\n");
  testing::CommandResult missing = cli.Run({"remove-connection", "2"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.err, "There is no saved connection 2.\n");
  EXPECT_EQ(cli.Run({"remove-connection", "two"}).exit_code, 2);
  EXPECT_EQ(cli.Succeed({"add-connection", "D", "v"}), "2\n");
  EXPECT_EQ(cli.Succeed({"connections"}), "1\tA\tu\n2\tD\tv\n3\tC\tu\n");
  EXPECT_EQ(cli.Succeed({"remove-connection", "3"}), "");  // the last: no note
}

}  // namespace
}  // namespace corvanty
