// SPDX-License-Identifier: Apache-2.0
#include "demo/demodatabase.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "connections/sqlitedatabase.h"
#include "demo/demoguides.h"
#include "demo/replacementfile.h"
#include "schema/searchguidetables.h"

namespace corvanty::demo {

namespace {

using sqlite::Database;

// A SQLite failure in the demo's words: a lock held past the wait is named
// as such, anything else is SQLite's own message.
std::string Cause(const std::runtime_error& error) {
  const auto* failure = dynamic_cast<const sqlite::Error*>(&error);
  if (failure && failure->IsLocked())
    return "it is locked by another program (waited " + std::to_string(sqlite::kLockWaitMs / 1000) +
           " s)";
  return error.what();
}

Database Open(const std::string& path, Database::Mode mode) {
  Database db(path, mode);
  db.WaitForLocks(sqlite::kLockWaitMs);
  return db;
}

void Bind(sqlite::Statement& statement, const DemoValue& value) {
  if (auto number = std::get_if<long>(&value))
    statement.Bind(*number);
  else if (auto price = std::get_if<double>(&value))
    statement.Bind(*price);
  else if (auto text = std::get_if<std::string>(&value))
    statement.Bind(*text);
  else
    statement.BindNull();
}

// Inserts each table's rows through one prepared statement.
class SqliteRowSink : public DemoRowSink {
 public:
  explicit SqliteRowSink(Database& db) : db_(db) {}
  void BeginTable(const char* table, size_t columns) override {
    std::string markers;
    for (size_t i = 0; i < columns; ++i) markers += i == 0 ? "?" : ", ?";
    insert_.emplace(db_.Prepare(std::string("INSERT INTO ") + table + " VALUES (" + markers + ")"));
  }
  void Row(const std::vector<DemoValue>& values) override {
    for (const DemoValue& value : values) Bind(*insert_, value);
    insert_->Step();
    insert_->Reset();
  }
  void EndTable() override { insert_.reset(); }

 private:
  Database& db_;
  std::optional<sqlite::Statement> insert_;
};

// The sample guides' statements sent straight to the file being built.
class SqliteGuideStatements : public GuideStatements {
 public:
  explicit SqliteGuideStatements(Database& db) : db_(db) {}
  void Execute(const std::string& sql) override { db_.Exec(sql); }
  std::optional<int64_t> Number(const std::string& sql) override {
    sqlite::Statement statement = db_.Prepare(sql);
    if (!statement.Step()) return std::nullopt;
    return statement.Int64(0);
  }

 private:
  Database& db_;
};

// Fills a new, empty SQLite file with the demo schema and rows, the guide
// tables and the sample guides: the file is whole before anyone sees it.
std::vector<std::string> FillDemoDatabase(const std::string& path, long rows) {
  Database db = Open(path, Database::Mode::kReadWrite);
  db.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
  db.Exec(kDemoSchema);
  SqliteRowSink sink(db);
  MakeDemoRows(rows, sink);
  for (std::string_view table : kSearchGuideTableBuildOrder) {
    std::vector<std::string> statements = *SqliteTableStatements(std::string(table));
    for (const std::string& statement : statements) db.Exec(statement);
  }
  SqliteGuideStatements guides(db);
  std::vector<std::string> names = DefineSampleGuides(guides, rdo::Dialect::Sqlite).defined;
  db.Exec("COMMIT;");
  return names;
}

// Holds the old database still for the moment of its replacement: an
// exclusive lock makes SQLite first roll a journal a killed writer left back
// into the old file (a WAL is checkpointed into it and removed), so no
// journal of the old file is left to be rolled into the new one, and no
// other program is in the middle of writing it.
class QuietOldDatabase {
 public:
  explicit QuietOldDatabase(const std::string& path) {
    if (!std::filesystem::exists(path)) return;
    try {
      old_.emplace(Open(path, Database::Mode::kReadWrite));
      old_->Exec("PRAGMA journal_mode=DELETE; BEGIN EXCLUSIVE;");
    } catch (const sqlite::Error& error) {
      if (error.IsLocked())
        throw std::runtime_error("The demo database " + path +
                                 " cannot be replaced: " + Cause(error));
      // A file SQLite cannot use as a database: what lies beside it is
      // nobody's journal any more.
    }
    for (const char* suffix : {"-journal", "-wal", "-shm"}) unlink((path + suffix).c_str());
  }

 private:
  std::optional<Database> old_;
};

}  // namespace

std::unique_ptr<FileLock> HoldDemoFolder(const std::string& path) {
  const std::filesystem::path target(path);
  auto lock = std::make_unique<FileLock>(target.parent_path().string(),
                                         "The demo folder " + target.parent_path().string(),
                                         FileLock::Kind::kFolder);
  // Under the lock no build is running: a replacement file is a leftover.
  const std::string prefix = target.filename().string() + ".new-";
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), ignored))
    if (entry.path().filename().string().rfind(prefix, 0) == 0)
      std::filesystem::remove(entry.path(), ignored);
  return lock;
}

std::vector<std::string> CreateDemoDatabase(const std::string& path, long rows) {
  ReplacementFile replacement(path);
  std::vector<std::string> names;
  try {
    names = FillDemoDatabase(replacement.Path(), rows);
  } catch (const std::runtime_error& error) {
    throw std::runtime_error("The new demo database could not be built in " + replacement.Path() +
                             ": " + Cause(error));
  }
  QuietOldDatabase old(path);
  replacement.PutInPlace();
  return names;
}

std::string DemoDatabaseProblem(const std::string& path) {
  try {
    Database db = Open(path, Database::Mode::kReadOnly);
    // A quick check reads every page: it finds a file cut short as well.
    sqlite::Statement check = db.Prepare("PRAGMA quick_check(1)");
    const std::string answer = check.Step() ? check.Text(0) : "";
    if (answer != "ok") return "it is damaged (" + answer + ")";
    const auto lacks = [&](const std::string& table) {
      return sqlite3_table_column_metadata(db.Get(), nullptr, table.c_str(), nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr) != SQLITE_OK;
    };
    for (const char* table : kDemoTables)
      if (lacks(table)) return std::string("it lacks the demo table ") + table;
    for (std::string_view table : kSearchGuideTableBuildOrder)
      if (lacks(std::string(table))) return "it lacks the guide table " + std::string(table);
    SqliteGuideStatements guides(db);
    return SampleGuidesProblem(guides);
  } catch (const std::runtime_error& error) {
    return Cause(error);
  }
}

}  // namespace corvanty::demo
