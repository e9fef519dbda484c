// The guide tables' and the search procedure's texts: on SQL Server the given
// texts byte for byte; on SQLite tables with the given columns.
#include "engine/searchguidetables.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/proceduretext.h"
#include "support/databasetest.h"
#include "support/tempdir.h"
#include "support/testdata.h"

namespace corvanty {
namespace {

using testing::SqliteColumn;
using Texts = std::vector<std::string>;

// Name and NOT NULL ("1" or "0") of each column line of the given SQL Server
// script: the lines after "CREATE TABLE" up to the first constraint.
std::string GivenColumns(const std::string& script_text) {
  std::istringstream script(script_text);
  std::string columns, line;
  while (std::getline(script, line) && line.rfind("CREATE TABLE", 0) != 0) continue;
  while (std::getline(script, line) && line.rfind("CONSTRAINT ", 0) != 0)
    columns += line.substr(0, line.find(' ')) +
               (line.find("NOT NULL") != std::string::npos ? " 1|" : " 0|");
  return columns;
}

TEST(GuideTableTexts, AreTheGivenOnesOnSqlServerAndBuildTheGivenColumnsOnSqlite) {
  EXPECT_EQ(SearchEngineDropBatch(), testing::TestData("sqlserver/drop_Velmorastine_Search.sql"));
  EXPECT_EQ(SearchProcedureText(), testing::TestData("sqlserver/Velmorastine_Search.sql"));
  testing::TempDir dir;
  const std::string file = dir.File("guides.db");
  const std::string all = testing::GuideTablesSql(
      {kSearchGuideTableBuildOrder.begin(), kSearchGuideTableBuildOrder.end()});
  testing::ExecSqlite(file, all + all);  // the second time over the tables it finds
  for (const std::string_view view : kSearchGuideTableBuildOrder) {
    const std::string table(view);
    const std::string given = testing::TestData("sqlserver/" + table + ".sql");
    EXPECT_EQ(SqlServerTableScript(table).value_or("none"), given) << table;
    for (const std::string& statement : SqliteTableStatements(table).value_or(Texts{}))
      EXPECT_EQ(statement.find(';'), std::string::npos) << "the driver runs one statement only";
    EXPECT_EQ(SqliteColumn(file,
                           "SELECT group_concat(c, '|') || '|' FROM (SELECT name || ' ' || "
                           "\"notnull\" AS c FROM pragma_table_info('" +
                               table + "') ORDER BY cid)"),
              Texts{GivenColumns(given)})
        << table;
  }
  testing::ExecSqlite(file,
                      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, "
                      "Column_qualifier, Column_name) VALUES (1, 1, 'o', 'id');"
                      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('a'), ('b');"
                      "DELETE FROM Db_Search_Guides WHERE DSG_ID = 2;"
                      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('c');");
  // The column table's defaults; an identity number is never handed out
  // twice; the indexes.
  EXPECT_EQ(SqliteColumn(file,
                         "SELECT Column_data_type || '|' || Show_in_list || '|' || "
                         "Is_search_column || '|' || List_column_separator || '|' || "
                         "Conv_required || '|' || Conversion_expression || '|' || Is_key_column "
                         "FROM Db_Search_Guide_Cols UNION ALL SELECT DSG_ID || ' ' || "
                         "DSG_description FROM Db_Search_Guides UNION ALL SELECT name FROM "
                         "sqlite_master WHERE type = 'index' AND name NOT LIKE 'sqlite%'"),
            (Texts{"(none)|-1|-1|+ ' ' +|0|(none)|0", "1 (none)", "3 (none)", "DSG_x_1", "DSG_x_2",
                   "Cols_x_1"}));
}

}  // namespace
}  // namespace corvanty
