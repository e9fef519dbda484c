// SPDX-License-Identifier: Apache-2.0
// The owner of SQLite handles: SQLite's own message and extended code in
// every failure, values through unchanged, and no handle left behind when
// a file cannot be opened.
#include "connections/sqlitedatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "support/tempdir.h"

namespace corvanty {
namespace {

using sqlite::Database;

// The error a call throws, as extended code and message.
template <typename Call>
std::pair<int, std::string> Failure(Call call) {
  try {
    call();
  } catch (const sqlite::Error& error) {
    return {error.ExtendedCode(), error.what()};
  }
  return {0, "no failure"};
}

TEST(SqliteOwner, FailuresCarrySqlitesOwnMessageAndExtendedCode) {
  testing::TempDir dir;
  const std::string missing = dir.File("nowhere/x.db");
  // 14 SQLITE_CANTOPEN, 1 SQLITE_ERROR, 2067 SQLITE_CONSTRAINT_UNIQUE.
  EXPECT_EQ(Failure([&] { Database(missing, Database::Mode::kCreate); }),
            std::pair(14, std::string("unable to open database file")));
  Database db(dir.File("a.db"), Database::Mode::kCreate);
  db.Exec("CREATE TABLE t (a TEXT UNIQUE)");
  EXPECT_EQ(Failure([&] { db.Prepare("SELECT b FROM t"); }),
            std::pair(1, std::string("no such column: b")));
  EXPECT_EQ(Failure([&] { db.Exec("INSERT INTO t VALUES ('x'); INSERT INTO t VALUES ('x')"); }),
            std::pair(2067, std::string("UNIQUE constraint failed: t.a")));
  sqlite::Statement insert = db.Prepare("INSERT INTO t VALUES (?)");
  EXPECT_EQ(Failure([&] { insert.Bind("x").Step(); }),
            std::pair(2067, std::string("UNIQUE constraint failed: t.a")));
  EXPECT_EQ(Failure([&] { db.Prepare("SELECT ?").Bind(1).Bind(2); }),  // no ?2
            std::pair(25, std::string("column index out of range")));

  // A file another connection holds: the wait ends in a lock failure.
  Database holder(dir.File("a.db"), Database::Mode::kReadWrite);
  holder.Exec("BEGIN EXCLUSIVE");
  Database waiting(dir.File("a.db"), Database::Mode::kReadOnly);
  waiting.WaitForLocks(1);
  try {
    waiting.Exec("SELECT count(*) FROM t");
    ADD_FAILURE() << "read through an exclusive lock";
  } catch (const sqlite::Error& error) {
    EXPECT_TRUE(error.IsLocked()) << error.what();
  }
}

// SQLite hands back a handle even for a file it cannot open: the owner
// closes it. Every handle holds memory SQLite counts, so one left open
// shows in the count (and to the leak checker of the sanitizer build).
TEST(SqliteOwner, AFileThatCannotBeOpenedLeavesNoHandleBehind) {
  testing::TempDir dir;
  const auto open_missing = [&] {
    EXPECT_THROW(Database(dir.File("nowhere/x.db"), Database::Mode::kReadWrite), sqlite::Error);
  };
  open_missing();  // SQLite's first open sets up what it keeps for the process
  const sqlite3_int64 before = sqlite3_memory_used();
  {
    const Database open(":memory:", Database::Mode::kCreate);
    ASSERT_GT(sqlite3_memory_used(), before) << "this SQLite counts no memory: no leak would show";
  }
  for (int i = 0; i < 10; ++i) open_missing();
  EXPECT_EQ(sqlite3_memory_used(), before);
}

TEST(SqliteOwner, ValuesGoInAndComeOutUnchanged) {
  Database db(":memory:", Database::Mode::kCreate);
  sqlite::Statement echo = db.Prepare("SELECT ?, ?, ?, ?, ?, typeof(?5), ?");
  const std::string text("a\0b'c", 5);
  echo.Bind(9007199254740993LL).Bind(2.5).Bind(text).BindNull().BindBlob({}).Bind(-7);
  ASSERT_TRUE(echo.Step());
  EXPECT_EQ(echo.Int64(0), 9007199254740993LL);  // above 2^53: not through a double
  EXPECT_EQ(echo.Double(1), 2.5);
  EXPECT_EQ(echo.Text(2), text);
  EXPECT_TRUE(echo.IsNull(3));
  EXPECT_EQ(echo.Text(5), "blob");  // an empty blob stays a blob, not NULL
  EXPECT_EQ(echo.Int64(6), -7);
  EXPECT_FALSE(echo.Step());

  // Run again after Reset: binding starts at ?1 again.
  echo.Reset();
  echo.Bind(1).Bind(0.0).Bind("again");
  ASSERT_TRUE(echo.Step());
  EXPECT_EQ(echo.Text(2), "again");

  // A moved statement runs where it went; the moved-from one is empty.
  sqlite::Statement moved = db.Prepare("SELECT 'moved'");
  sqlite::Statement taken = std::move(moved);
  EXPECT_EQ(moved.Get(), nullptr);
  ASSERT_TRUE(taken.Step());
  EXPECT_EQ(taken.Text(0), "moved");
}

}  // namespace
}  // namespace corvanty
