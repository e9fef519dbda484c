// SPDX-License-Identifier: Apache-2.0
#include "search/sqliteextension/searchtables.h"

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "search/searchengine.h"
#include "search/sqliteextension/guidelist.h"
#include "search/sqliteextension/plancache.h"
#include "search/sqliteextension/sqlitesession.h"

namespace corvanty {
namespace {

// What one of the two functions returns: its result columns come first,
// then the two hidden argument columns.
struct Shape {
  const char* declaration;
  int results;      // number of result columns
  bool statements;  // true: the statements, false: the rows they find
};

const Shape kRows = {
    "CREATE TABLE x(resultlist, idcolumn, dsg_id, dsgstring HIDDEN, criteria HIDDEN)", 3, false};
const Shape kStatements = {"CREATE TABLE x(sql, dsg_id, dsgstring HIDDEN, criteria HIDDEN)", 2,
                           true};

struct Table {
  Table(sqlite3* connection, const Shape* chosen) : db(connection), shape(chosen), plans(db) {}
  sqlite3_vtab base{};
  sqlite3* db;
  const Shape* shape;
  PlanCache plans;
};

struct Cursor {
  sqlite3_vtab_cursor base{};
  std::string arguments[2];               // dsgstring, criteria as given
  std::vector<GuideStatement> planned;    // the guides' statements, in guide order
  uint64_t plan_id = 0;                   // which plan of the table's cache they are
  size_t next = 0;                        // the statement to read after the current one
  std::optional<sqlite::Statement> rows;  // the current statement's rows, streamed
  std::optional<std::string> message;     // the one row of an invalid guide list
  sqlite3_int64 rowid = 0;
  bool eof = true;

  Table& table() const { return *reinterpret_cast<Table*>(base.pVtab); }
  // Gives the current statement back to the table's cache.
  void EndStatement() {
    if (rows) table().plans.Return(plan_id, next - 1, std::move(*rows));
    rows.reset();
  }
  void Reset() {
    EndStatement();
    planned.clear();
    next = 0;
    message.reset();
    rowid = 0;
    eof = true;
  }
};

int Fail(sqlite3_vtab* vtab, const std::string& text, int code = SQLITE_ERROR) {
  sqlite3_free(vtab->zErrMsg);
  vtab->zErrMsg = sqlite3_mprintf("%s", text.c_str());
  return code;
}

int Connect(sqlite3* db, void* shape, int, const char* const*, sqlite3_vtab** out, char**) {
  const Shape* chosen = static_cast<const Shape*>(shape);
  int rc = sqlite3_declare_vtab(db, chosen->declaration);
  if (rc != SQLITE_OK) return rc;
  Table* table = new (std::nothrow) Table(db, chosen);
  if (!table) return SQLITE_NOMEM;
  *out = &table->base;
  return SQLITE_OK;
}

int Disconnect(sqlite3_vtab* vtab) {
  delete reinterpret_cast<Table*>(vtab);
  return SQLITE_OK;
}

// Both arguments must be given as equalities, dsgstring first.
int BestIndex(sqlite3_vtab* vtab, sqlite3_index_info* info) {
  const int first_argument = reinterpret_cast<Table*>(vtab)->shape->results;
  int found[2] = {-1, -1};
  bool unusable = false;
  for (int i = 0; i < info->nConstraint; ++i) {
    const auto& constraint = info->aConstraint[i];
    const int argument = constraint.iColumn - first_argument;
    if (argument < 0 || argument > 1 || constraint.op != SQLITE_INDEX_CONSTRAINT_EQ) continue;
    if (constraint.usable)
      found[argument] = i;
    else
      unusable = true;
  }
  if (found[0] < 0 || found[1] < 0) {
    if (unusable) return SQLITE_CONSTRAINT;  // another plan gives it its value
    return Fail(vtab, "the search takes two arguments: dsgstring and criteria");
  }
  for (int argument = 0; argument < 2; ++argument) {
    info->aConstraintUsage[found[argument]].argvIndex = argument + 1;
    info->aConstraintUsage[found[argument]].omit = 1;
  }
  info->estimatedCost = 1e6;
  return SQLITE_OK;
}

int Open(sqlite3_vtab*, sqlite3_vtab_cursor** out) {
  Cursor* cursor = new (std::nothrow) Cursor;
  if (!cursor) return SQLITE_NOMEM;
  *out = &cursor->base;
  return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor* base) {
  Cursor* cursor = reinterpret_cast<Cursor*>(base);
  cursor->Reset();
  delete cursor;
  return SQLITE_OK;
}

// Moves to the next row: the next statement, or the next row of the
// statements one after the other, each run only once the one before is read.
int Advance(Cursor& cursor) {
  ++cursor.rowid;
  if (cursor.message || cursor.table().shape->statements) {
    cursor.eof = cursor.message ? cursor.rowid > 1 : cursor.next == cursor.planned.size();
    ++cursor.next;
    return SQLITE_OK;
  }
  try {
    while (true) {
      if (!cursor.rows) {
        if (cursor.next == cursor.planned.size()) {
          cursor.eof = true;
          return SQLITE_OK;
        }
        const size_t which = cursor.next++;
        cursor.rows =
            cursor.table().plans.Prepared(cursor.plan_id, which, cursor.planned[which].SQL);
      }
      if (cursor.rows->Step()) {
        cursor.eof = false;
        return SQLITE_OK;
      }
      cursor.EndStatement();
    }
  } catch (const sqlite::Error& error) {
    // The error holds the message the statement's reset clears.
    cursor.EndStatement();
    return Fail(cursor.base.pVtab, error.Errors().front().Description, error.ExtendedCode());
  }
}

int Next(sqlite3_vtab_cursor* base) { return Advance(*reinterpret_cast<Cursor*>(base)); }

std::string ArgumentText(sqlite3_value* value) {
  const unsigned char* text = sqlite3_value_text(value);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<size_t>(sqlite3_value_bytes(value)))
              : std::string();
}

// Plans the search with the engine's own code, on the caller's connection.
int Filter(sqlite3_vtab_cursor* base, int, const char*, int argc, sqlite3_value** argv) {
  Cursor& cursor = *reinterpret_cast<Cursor*>(base);
  cursor.Reset();
  if (argc != 2) return Fail(base->pVtab, "the search takes two arguments: dsgstring and criteria");
  try {
    cursor.arguments[0] = ArgumentText(argv[0]);
    cursor.arguments[1] = ArgumentText(argv[1]);
    Table& table = cursor.table();
    try {
      cursor.planned = table.plans.Statements(
          cursor.arguments[0], cursor.arguments[1],
          [&] {
            SqliteSession session(table.db);
            return PlanSearch(session, ParseGuideList(cursor.arguments[0]),
                              SearchCriteria(cursor.arguments[1]))
                .statements;
          },
          cursor.plan_id);
    } catch (const rdo::DatabaseError& error) {
      if (error.Errors().size() != 1 || error.Errors()[0].Description != kInvalidGuidesMessage)
        throw;
      cursor.message = kInvalidGuidesMessage;
    }
    return Advance(cursor);
  } catch (const std::bad_alloc&) {
    return SQLITE_NOMEM;
  } catch (const std::exception& error) {
    return Fail(base->pVtab, error.what());
  }
}

int Eof(sqlite3_vtab_cursor* base) { return reinterpret_cast<Cursor*>(base)->eof; }

void Text(sqlite3_context* context, const std::string& text) {
  sqlite3_result_text(context, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

int Column(sqlite3_vtab_cursor* base, sqlite3_context* context, int column) {
  const Cursor& cursor = *reinterpret_cast<Cursor*>(base);
  const Shape& shape = *cursor.table().shape;
  if (column >= shape.results)
    Text(context, cursor.arguments[column - shape.results]);
  else if (cursor.message)  // the message in the first column, nothing in the others
    column == 0 ? Text(context, *cursor.message) : sqlite3_result_null(context);
  else if (!shape.statements)
    sqlite3_result_value(context, sqlite3_column_value(cursor.rows->Get(), column));
  else if (column == 0)
    Text(context, cursor.planned[cursor.next - 1].SQL);
  else
    sqlite3_result_int(context, cursor.planned[cursor.next - 1].DSG_ID);
  return SQLITE_OK;
}

int Rowid(sqlite3_vtab_cursor* base, sqlite3_int64* rowid) {
  *rowid = reinterpret_cast<Cursor*>(base)->rowid;
  return SQLITE_OK;
}

// Eponymous only (no xCreate): the functions exist in every schema without
// a CREATE VIRTUAL TABLE, and none can be created.
sqlite3_module Module() {
  sqlite3_module module{};
  module.xConnect = Connect;
  module.xBestIndex = BestIndex;
  module.xDisconnect = Disconnect;
  module.xOpen = Open;
  module.xClose = Close;
  module.xFilter = Filter;
  module.xNext = Next;
  module.xEof = Eof;
  module.xColumn = Column;
  module.xRowid = Rowid;
  return module;
}

const sqlite3_module kModule = Module();

}  // namespace

int RegisterSearchTables(sqlite3* db) {
  int rc = sqlite3_create_module(db, "velmorastine_search", &kModule, const_cast<Shape*>(&kRows));
  if (rc == SQLITE_OK)
    rc = sqlite3_create_module(db, "velmorastine_search_sql", &kModule,
                               const_cast<Shape*>(&kStatements));
  return rc;
}

}  // namespace corvanty
