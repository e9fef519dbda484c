#include "engine/searchguidetables.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/crlflines.h"
#include "support/databasetest.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

using testing::SqliteColumn;

std::vector<std::string> ScriptLines(const std::string& name) {
  return testing::SplitCrLfLines(SqlServerTableScript(name).value_or(""));
}

TEST(SqlServerTableScript, EachScriptIsTheBuildersTextInCrLfLines) {
  const std::tuple<std::string, size_t, size_t> tables[] = {
      {"Db_Search_Guides", 13, 551},       {"Db_Search_Guide_Tables", 13, 389},
      {"Db_Search_Guide_Cols", 21, 1161},  {"Db_Search_Guide_SQL", 13, 377},
      {"Db_Search_Guide_Unique", 10, 347},
  };
  for (const auto& [name, line_count, length] : tables) {
    SCOPED_TRACE(name);
    const std::string script = SqlServerTableScript(name).value_or("");
    EXPECT_EQ(script.size(), length);
    const std::vector<std::string> lines = testing::SplitCrLfLines(script);
    ASSERT_EQ(lines.size(), line_count);
    EXPECT_EQ(lines[0], "if exists (select * from sysobjects where id = object_id('dbo." + name +
                            "') and sysstat & 0xf = 3)");
    EXPECT_NE(script.find(" PRIMARY KEY  NONCLUSTERED\r\n"), std::string::npos);
  }
  const std::vector<std::string> cols = ScriptLines("Db_Search_Guide_Cols");
  EXPECT_EQ(cols[10],
            "List_column_separator varchar (50) NOT NULL CONSTRAINT DF_Cntrl_Searc_List_column "
            "DEFAULT ('+ ' + char(39) + ' ' + char(39) + ' +'),");
  EXPECT_EQ(cols[20],
            "CREATE  INDEX Cols_x_1 ON dbo.Db_Search_Guide_Cols(DSG_ID, DSG_column_seq_no)");
  EXPECT_EQ(ScriptLines("Db_Search_Guides")[3], "DSG_ID int IDENTITY (1, 1) NOT NULL ,");
}

TEST(SqliteTableStatements, BuildTheSqlServerColumnsDefaultsAndIdentityEvenOverAnOldTable) {
  testing::TempDir dir;
  const std::string file = dir.File("guides.db");
  const std::vector<std::string_view> tables(kSearchGuideTableBuildOrder.begin(),
                                             kSearchGuideTableBuildOrder.end());
  testing::ExecSqlite(file, testing::GuideTablesSql(tables));
  testing::ExecSqlite(file, testing::GuideTablesSql(tables));  // drops the tables it finds
  for (const std::string_view table : tables) {
    SCOPED_TRACE(table);
    const std::vector<std::string> statements = SqliteTableStatements(std::string(table)).value();
    for (const std::string& statement : statements)
      EXPECT_EQ(statement.find(';'), std::string::npos) << "the driver runs one statement only";
    const std::vector<std::string> lines = ScriptLines(std::string(table));
    ASSERT_GT(lines.size(), 3u);
    std::vector<std::string> columns;  // name and NOT NULL from the SQL Server column lines
    for (auto line = lines.begin() + 3; line != lines.end() && line->rfind("CONSTRAINT ", 0);
         ++line)
      columns.push_back(line->substr(0, line->find(' ')) +
                        (line->find("NOT NULL") != std::string::npos ? " 1" : " 0"));
    EXPECT_EQ(SqliteColumn(file, "SELECT name || ' ' || \"notnull\" FROM pragma_table_info('" +
                                     std::string(table) + "') ORDER BY cid"),
              columns);
  }
  testing::ExecSqlite(file,
                      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, "
                      "Column_qualifier, Column_name) VALUES (1, 1, 'o', 'id');"
                      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('a'), ('b');"
                      "DELETE FROM Db_Search_Guides WHERE DSG_ID = 2;"
                      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('c');");
  EXPECT_EQ(SqliteColumn(file,
                         "SELECT Column_data_type || '|' || Show_in_list || '|' || "
                         "Is_search_column || '|' || List_column_separator || '|' || "
                         "Conv_required || '|' || Conversion_expression || '|' || Is_key_column "
                         "FROM Db_Search_Guide_Cols"),
            std::vector<std::string>{"(none)|-1|-1|+ ' ' +|0|(none)|0"});
  // An identity number is never handed out twice.
  EXPECT_EQ(SqliteColumn(file, "SELECT DSG_ID || ' ' || DSG_description FROM Db_Search_Guides"),
            (std::vector<std::string>{"1 (none)", "3 (none)"}));
}

}  // namespace
}  // namespace corvanty
