#include "bench/benchcolumns.h"

#include <sqlite3.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/benchsearch.h"
#include "connections/connectionstore.h"
#include "engine/searchguidetables.h"
#include "guides/columnloader.h"

namespace corvanty::bench {
namespace {

constexpr int kTables = 2000;
constexpr int kColumnsPerTable = 10;

std::string TableName(int table) {
  char name[16];
  std::snprintf(name, sizeof name, "tbl%04d", table);
  return name;
}

// The guide tables, kTables tables of kColumnsPerTable columns, and guide 1
// naming every table, with its first column of each table set.
std::string CatalogueScript() {
  std::string script = "BEGIN;";
  for (std::string_view table : kSearchGuideTableBuildOrder) {
    const std::vector<std::string> statements = *SqliteTableStatements(std::string(table));
    for (const std::string& statement : statements) script += statement + ";";
  }
  std::string from = "FROM ";
  for (int table = 1; table <= kTables; ++table) {
    script += "CREATE TABLE " + TableName(table) + " (";
    for (int column = 1; column <= kColumnsPerTable; ++column)
      script += (column > 1 ? ", col" : "col") + std::to_string(column) + " varchar(40)";
    script +=
        "); INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
        " Column_name) VALUES (1, " +
        std::to_string(table) + ", '" + TableName(table) + "', 'col1');";
    from += (table > 1 ? ", " : "") + TableName(table);
  }
  return script + "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Catalogue');" +
         "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES (1, '" +
         from + "', 'WHERE ');COMMIT;";
}

void CreateCatalogueDatabase(const std::string& file) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open(file.c_str(), &db);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, CatalogueScript().c_str(), nullptr, nullptr, nullptr);
  std::string error = rc == SQLITE_OK ? "" : sqlite3_errmsg(db);
  sqlite3_close(db);
  if (!error.empty()) throw std::runtime_error("catalogue database: " + error);
}

}  // namespace

void ReportColumnEditorLoad(const BenchFolder& folder, int runs) {
  const std::string file = folder.File("catalogue.db");
  CreateCatalogueDatabase(file);
  basCorvantyAdmin::gstrConnect = AddStreamingDataSource(folder, "CorvantyCatalogue", file);
  std::vector<std::string> handed_over(1);
  for (int table = 1; table <= kTables; ++table) handed_over.push_back(TableName(table));

  std::printf("\nColumns editor load, %d tables of %d columns, median of %d (target < 200 ms)\n",
              kTables, kColumnsPerTable, runs);
  for (bool edit : {false, true}) {
    size_t entries = 0, checked = 0;
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run)
      samples.push_back(Microseconds([&] {
        ColumnEditorContents contents = LoadColumnEditor(1, edit, handed_over);
        entries = contents.Entries.size();
        checked = contents.Slots.size() - 1;
      }));
    std::printf("  %-14s %8.1f ms  (%zu entries, %zu with settings)\n",
                edit ? "existing guide" : "new guide", Median(samples) / 1000, entries,
                edit ? checked : 0);
  }
}

}  // namespace corvanty::bench
