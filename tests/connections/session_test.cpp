// SPDX-License-Identifier: Apache-2.0
// A session: one connection shared by every operation of a piece of work,
// opened when the work first needs it.
#include "connections/session.h"

#include <gtest/gtest.h>

#include "support/databasetest.h"

namespace corvanty {
namespace {

using SessionTest = testing::DatabaseTest;

// A temporary table is seen by the connection that made it, and by no other.
TEST_F(SessionTest, ItsOperationsShareOneConnectionUntilAWorkTakesIt) {
  UseNewDatabase("Shared");
  Session session = DatabaseSession();
  session.Connection().Execute("CREATE TEMP TABLE mine (x int)");
  EXPECT_NO_THROW(session.Connection().OpenResultset("SELECT * FROM mine"));
  rdo::rdoConnection taken = session.Take();
  EXPECT_NO_THROW(taken.OpenResultset("SELECT * FROM mine"));
  // Asked again, the session opens a connection of its own, without the table.
  EXPECT_NO_THROW(session.Connection().Execute("CREATE TEMP TABLE mine (x int)"));
}

}  // namespace
}  // namespace corvanty
