// SPDX-License-Identifier: Apache-2.0
// The guide tables' and the search procedure's texts: on SQL Server the given
// texts byte for byte; on SQLite and PostgreSQL tables with the given
// columns.
#include "schema/searchguidetables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "schema/proceduretext.h"
#include "support/databasetest.h"
#include "support/searchdatabase.h"
#include "support/testdata.h"

namespace corvanty {
namespace {

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

TEST(GuideTableTexts, AreTheGivenOnesOnSqlServer) {
  EXPECT_EQ(SearchEngineDropBatch(), testing::TestData("sqlserver/drop_Velmorastine_Search.sql"));
  EXPECT_EQ(SearchProcedureText(), testing::TestData("sqlserver/Velmorastine_Search.sql"));
  for (const std::string_view table : kSearchGuideTableBuildOrder)
    EXPECT_EQ(SqlServerTableScript(std::string(table)).value_or("none"),
              testing::TestData("sqlserver/" + std::string(table) + ".sql"));
}

class TableStatements : public testing::EachServer {};
INSTANTIATE_TEST_SUITE_P(On, TableStatements, testing::kEachServer, testing::ServerParamName);

TEST_P(TableStatements, BuildTheGivenColumnsDefaultsAndIdentityEvenOverAnOldTable) {
  const std::string all = testing::GuideTablesSql(
      {kSearchGuideTableBuildOrder.begin(), kSearchGuideTableBuildOrder.end()}, GetParam());
  Seed("TablesOnPostgres", all + all);  // the second time over the tables it finds
  // Names as the server keeps them: PostgreSQL folds unquoted ones to lower case.
  const auto kept = [&](std::string names) {
    if (postgres()) std::transform(names.begin(), names.end(), names.begin(), ::tolower);
    return names;
  };
  for (const std::string_view view : kSearchGuideTableBuildOrder) {
    const std::string table(view);
    for (const std::string& statement :
         PortableTableStatements(table, GetParam()).value_or(Texts{}))
      EXPECT_EQ(statement.find(';'), std::string::npos) << "the driver runs one statement only";
    EXPECT_EQ(Query(postgres() ? "SELECT string_agg(column_name || ' ' || CASE is_nullable WHEN "
                                 "'NO' THEN 1 ELSE 0 END, '|' ORDER BY ordinal_position) || '|' "
                                 "FROM information_schema.columns WHERE table_schema = "
                                 "current_schema() AND table_name = lower('" +
                                     table + "')"
                               : "SELECT group_concat(c, '|') || '|' FROM (SELECT name || ' ' || "
                                 "\"notnull\" AS c FROM pragma_table_info('" +
                                     table + "') ORDER BY cid)"),
              Texts{kept(GivenColumns(testing::TestData("sqlserver/" + table + ".sql")))})
        << table;
  }
  Query(
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, "
      "Column_name) VALUES (1, 1, 'o', 'id');"
      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('a'), ('b');"
      "DELETE FROM Db_Search_Guides WHERE DSG_ID = 2;"
      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('c');");
  // The column table's defaults; an identity number is never handed out
  // twice; the indexes.
  EXPECT_EQ(Query("SELECT * FROM (SELECT Column_data_type || '|' || Show_in_list || '|' || "
                  "Is_search_column || '|' || List_column_separator || '|' || Conv_required || "
                  "'|' || Conversion_expression || '|' || Is_key_column FROM Db_Search_Guide_Cols "
                  "UNION ALL SELECT DSG_ID || ' ' || DSG_description FROM Db_Search_Guides) AS "
                  "guide_rows UNION ALL SELECT * FROM (" +
                  std::string(postgres() ? "SELECT indexname FROM pg_indexes WHERE schemaname = "
                                           "current_schema() AND indexname NOT LIKE 'pk%'"
                                         : "SELECT name FROM sqlite_master WHERE type = 'index' "
                                           "AND name NOT LIKE 'sqlite%'") +
                  " ORDER BY 1) AS indexes"),
            (Texts{"(none)|-1|-1|+ ' ' +|0|(none)|0", "1 (none)", "3 (none)", kept("Cols_x_1"),
                   kept("DSG_x_1"), kept("DSG_x_2")}));
}

}  // namespace
}  // namespace corvanty
