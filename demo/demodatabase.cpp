#include "demo/demodatabase.h"

#include <sqlite3.h>

#include <stdexcept>

#include "demo/replacementfile.h"

namespace corvanty::demo {

namespace {

class Db {
 public:
  explicit Db(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) Fail("cannot create " + path);
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

 private:
  [[noreturn]] static void Fail(const std::string& what) {
    throw std::runtime_error("demo database: " + what);
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

// Fills a new, empty SQLite file with the demo schema and rows.
void FillDemoDatabase(const std::string& path, long rows) {
  Db db(path);
  db.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
  db.Exec(kDemoSchema);
  SqliteRowSink sink(db);
  MakeDemoRows(rows, sink);
  db.Exec("COMMIT;");
}

}  // namespace

void CreateDemoDatabase(const std::string& path, long rows) {
  ReplacementFile replacement(path);
  FillDemoDatabase(replacement.Path(), rows);
  replacement.PutInPlace();
}

std::string DemoDatabaseProblem(const std::string& path) {
  sqlite3* db = nullptr;
  std::string problem;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    problem = sqlite3_errmsg(db);
  } else {
    // A quick check reads every page: it finds a file cut short as well.
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &check, nullptr) != SQLITE_OK ||
        sqlite3_step(check) != SQLITE_ROW)
      problem = sqlite3_errmsg(db);
    else if (std::string answer = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
             answer != "ok")
      problem = "it is damaged (" + answer + ")";
    sqlite3_finalize(check);
    for (const char* table : kDemoTables) {
      if (!problem.empty()) break;
      if (sqlite3_table_column_metadata(db, nullptr, table, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr) != SQLITE_OK)
        problem = std::string("it lacks the demo table ") + table;
    }
  }
  sqlite3_close(db);
  return problem;
}

}  // namespace corvanty::demo
