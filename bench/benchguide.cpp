// SPDX-License-Identifier: Apache-2.0
#include "bench/benchguide.h"

#include <filesystem>
#include <stdexcept>

#include "bench/benchdatabase.h"
#include "demo/demodatabase.h"
#include "schema/searchguidetables.h"

namespace corvanty::bench {
namespace {

constexpr char kGuideName[] = "Benchmark: orders by customer";

// The key is the order number, searched as text but not shown; the result
// text is the customer's name, the ship city and the order date; the
// customer's name is searched too.
constexpr char kGuideRows[] =
    "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
    " (@id, 'FROM orders o, customers c', 'WHERE o.customer_id = c.customer_id');"
    "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
    " Show_in_list, Is_search_column, List_column_separator, Conv_required,"
    " Conversion_expression, Is_key_column) VALUES"
    " (@id, 1, 'o', 'order_id', 0, -1, '+ '' '' +', -1, 'CONVERT(varchar,o.order_id)', -1),"
    " (@id, 2, 'c', 'company_name', -1, -1, '+'', ''+', 0, '(none)', 0),"
    " (@id, 3, 'o', 'ship_city', -1, 0, '+'', ''+', 0, '(none)', 0),"
    " (@id, 4, 'o', 'order_date', -1, 0, '+ '' '' +', 0, '(none)', 0);";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

const char* BenchGuideName() { return kGuideName; }

void EnsureDemoDatabase(const std::string& path, long rows) {
  if (!std::filesystem::exists(path)) demo::CreateDemoDatabase(path, rows);
}

int32_t InstallBenchGuide(const std::string& database_file) {
  Database db(database_file);
  db.Exec("BEGIN");
  for (std::string_view view : kSearchGuideTableBuildOrder) {
    const std::string table(view);
    if (db.Number("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = '" + table +
                  "'") > 0)
      continue;
    const std::vector<std::string> statements = *SqliteTableStatements(table);
    for (const std::string& statement : statements) db.Exec(statement);
  }
  const std::string old_ids =
      std::string("(SELECT DSG_ID FROM Db_Search_Guides WHERE DSG_name = '") + kGuideName + "')";
  db.Exec("DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID IN " + old_ids);
  db.Exec("DELETE FROM Db_Search_Guide_Tables WHERE DSG_ID IN " + old_ids);
  db.Exec(std::string("DELETE FROM Db_Search_Guides WHERE DSG_name = '") + kGuideName + "'");
  db.Exec(std::string("INSERT INTO Db_Search_Guides (DSG_name) VALUES ('") + kGuideName + "')");
  const int32_t id = static_cast<int32_t>(db.LastId());
  db.Exec(Replace(kGuideRows, "@id", std::to_string(id)));
  db.Exec("COMMIT");
  return id;
}

std::string DescribeDatabase(const std::string& database_file) {
  Database db(database_file);
  return std::to_string(db.Number("SELECT count(*) FROM order_lines")) + " order lines, " +
         std::to_string(db.Number("SELECT count(*) FROM orders")) + " orders, " +
         std::to_string(db.Number("SELECT count(*) FROM customers")) + " customers";
}

}  // namespace corvanty::bench
