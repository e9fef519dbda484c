// SPDX-License-Identifier: Apache-2.0
#include "demo/demodatabase.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "demo/demoguides.h"
#include "demo/replacementfile.h"
#include "schema/searchguidetables.h"

namespace corvanty::demo {

namespace {

// How long the demo waits for another program holding its database.
constexpr int kLockWaitMs = 2000;

class Db {
 public:
  // Throws the cause in SQLite's words, or "it is locked by another
  // program (waited N s)" when it stays locked.
  Db(const std::string& path, int flags) {
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
      // No destructor runs for a constructor that throws: the handle SQLite
      // gives even when it fails is closed here.
      const int code = sqlite3_errcode(db_);
      const std::string cause = sqlite3_errmsg(db_);
      sqlite3_close(db_);
      Throw(code, cause);
    }
    sqlite3_busy_timeout(db_, kLockWaitMs);
  }
  ~Db() { sqlite3_close(db_); }
  void Exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sqlite3_errmsg(db_));
  }
  sqlite3_stmt* Prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
      Fail(sqlite3_errmsg(db_));
    return stmt;
  }
  void Step(sqlite3_stmt* stmt) {
    if (sqlite3_step(stmt) != SQLITE_DONE) Fail(sqlite3_errmsg(db_));
    sqlite3_reset(stmt);
  }
  sqlite3* Get() const { return db_; }

 private:
  [[noreturn]] void Fail(const std::string& what) const { Throw(sqlite3_errcode(db_), what); }
  [[noreturn]] static void Throw(int extended_code, const std::string& what) {
    const int code = extended_code & 0xFF;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
      throw std::runtime_error("it is locked by another program (waited " +
                               std::to_string(kLockWaitMs / 1000) + " s)");
    throw std::runtime_error(what);
  }
  sqlite3* db_ = nullptr;
};

void Bind(sqlite3_stmt* stmt, int column, const DemoValue& value) {
  if (auto number = std::get_if<long>(&value))
    sqlite3_bind_int64(stmt, column, *number);
  else if (auto price = std::get_if<double>(&value))
    sqlite3_bind_double(stmt, column, *price);
  else if (auto text = std::get_if<std::string>(&value))
    sqlite3_bind_text(stmt, column, text->c_str(), -1, SQLITE_TRANSIENT);
  else
    sqlite3_bind_null(stmt, column);
}

// Inserts each table's rows through one prepared statement.
class SqliteRowSink : public DemoRowSink {
 public:
  explicit SqliteRowSink(Db& db) : db_(db) {}
  ~SqliteRowSink() override { sqlite3_finalize(insert_); }
  void BeginTable(const char* table, size_t columns) override {
    std::string markers;
    for (size_t i = 0; i < columns; ++i) markers += i == 0 ? "?" : ", ?";
    insert_ = db_.Prepare(std::string("INSERT INTO ") + table + " VALUES (" + markers + ")");
  }
  void Row(const std::vector<DemoValue>& values) override {
    for (size_t i = 0; i < values.size(); ++i) Bind(insert_, static_cast<int>(i + 1), values[i]);
    db_.Step(insert_);
  }
  void EndTable() override {
    sqlite3_finalize(insert_);
    insert_ = nullptr;
  }

 private:
  Db& db_;
  sqlite3_stmt* insert_ = nullptr;
};

// The sample guides' statements sent straight to the file being built.
class SqliteGuideStatements : public GuideStatements {
 public:
  explicit SqliteGuideStatements(Db& db) : db_(db) {}
  void Execute(const std::string& sql) override { db_.Exec(sql.c_str()); }
  std::optional<int64_t> Number(const std::string& sql) override {
    sqlite3_stmt* stmt = db_.Prepare(sql);
    int rc = sqlite3_step(stmt);
    std::optional<int64_t> number;
    if (rc == SQLITE_ROW) number = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Execute("SELECT raise(ABORT, 'read failed')");
    return number;
  }

 private:
  Db& db_;
};

// Fills a new, empty SQLite file with the demo schema and rows, the guide
// tables and the sample guides: the file is whole before anyone sees it.
std::vector<std::string> FillDemoDatabase(const std::string& path, long rows) {
  Db db(path, SQLITE_OPEN_READWRITE);
  db.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
  db.Exec(kDemoSchema);
  SqliteRowSink sink(db);
  MakeDemoRows(rows, sink);
  for (std::string_view table : kSearchGuideTableBuildOrder) {
    std::vector<std::string> statements = *SqliteTableStatements(std::string(table));
    for (const std::string& statement : statements) db.Exec(statement.c_str());
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
      old_ = std::make_unique<Db>(path, SQLITE_OPEN_READWRITE);
      old_->Exec("PRAGMA journal_mode=DELETE; BEGIN EXCLUSIVE;");
    } catch (const std::runtime_error& error) {
      if (std::string(error.what()).rfind("it is locked", 0) == 0)
        throw std::runtime_error("The demo database " + path +
                                 " cannot be replaced: " + error.what());
      // A file SQLite cannot use as a database: what lies beside it is
      // nobody's journal any more.
    }
    for (const char* suffix : {"-journal", "-wal", "-shm"}) unlink((path + suffix).c_str());
  }

 private:
  std::unique_ptr<Db> old_;
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
                             ": " + error.what());
  }
  QuietOldDatabase old(path);
  replacement.PutInPlace();
  return names;
}

std::string DemoDatabaseProblem(const std::string& path) {
  try {
    Db db(path, SQLITE_OPEN_READONLY);
    // A quick check reads every page: it finds a file cut short as well.
    sqlite3_stmt* check = db.Prepare("PRAGMA quick_check(1)");
    int rc = sqlite3_step(check);
    std::string answer =
        rc == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(check, 0)) : "";
    sqlite3_finalize(check);
    if (rc != SQLITE_ROW) db.Exec("PRAGMA quick_check(1)");  // throws its cause
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
    return error.what();
  }
}

}  // namespace corvanty::demo
