// SPDX-License-Identifier: Apache-2.0
#include "bench/benchcatalogue.h"

#include <cstdio>
#include <stdexcept>

#include "connections/sqlitedatabase.h"
#include "schema/searchguidetables.h"

namespace corvanty::bench {

namespace {

std::string CatalogueScript() {
  std::string script = "BEGIN;";
  for (std::string_view table : kSearchGuideTableBuildOrder) {
    const std::vector<std::string> statements = *SqliteTableStatements(std::string(table));
    for (const std::string& statement : statements) script += statement + ";";
  }
  std::string from = "FROM ";
  int number = 0;
  for (const std::string& table : CatalogueTables()) {
    script += "CREATE TABLE " + table + " (";
    for (int column = 1; column <= kCatalogueColumnsPerTable; ++column)
      script += (column > 1 ? ", col" : "col") + std::to_string(column) + " varchar(40)";
    script +=
        "); INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier,"
        " Column_name) VALUES (1, " +
        std::to_string(++number) + ", '" + table + "', 'col1');";
    from += (number > 1 ? ", " : "") + table;
  }
  return script + "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Catalogue');" +
         "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES (1, '" +
         from + "', 'WHERE ');COMMIT;";
}

}  // namespace

std::vector<std::string> CatalogueTables() {
  std::vector<std::string> tables;
  for (int table = 1; table <= kCatalogueTables; ++table) {
    char name[16];
    std::snprintf(name, sizeof name, "tbl%04d", table);
    tables.push_back(name);
  }
  return tables;
}

void CreateCatalogueDatabase(const std::string& file) {
  try {
    sqlite::Database(file, sqlite::Database::Mode::kCreate).Exec(CatalogueScript());
  } catch (const sqlite::Error& error) {
    throw std::runtime_error("catalogue database " + file + ": " + error.what());
  }
}

}  // namespace corvanty::bench
