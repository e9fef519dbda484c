#include "engine/searchguidetables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "support/databasetest.h"
#include "support/postgresserver.h"
#include "support/tempdir.h"
#include "support/testdata.h"

namespace corvanty {
namespace {

using testing::SqliteColumn;
using Texts = std::vector<std::string>;

// Name and NOT NULL ("1" or "0") of each column line of the given SQL Server
// script: the lines after "CREATE TABLE" up to the first constraint.
Texts GivenColumns(const std::string& table) {
  std::istringstream script(testing::TestData("sqlserver/" + table + ".sql"));
  Texts columns;
  bool in_table = false;
  for (std::string line; std::getline(script, line);) {
    if (line.rfind("CONSTRAINT ", 0) == 0) break;
    if (in_table)
      columns.push_back(line.substr(0, line.find(' ')) +
                        (line.find("NOT NULL") != std::string::npos ? " 1" : " 0"));
    in_table = in_table || line.rfind("CREATE TABLE", 0) == 0;
  }
  return columns;
}

// A new database on each server, queried by the first column of its rows.
class TableStatements : public ::testing::TestWithParam<rdo::Dialect> {
 protected:
  void SetUp() override {
    if (!postgres()) return;
    testing::SkipWithoutPostgres();
    if (!IsSkipped() && !HasFailure())
      schema_ = std::make_unique<testing::PostgresSchema>("TablesOnPostgres", "");
  }
  bool postgres() const { return GetParam() == rdo::Dialect::PostgreSql; }
  Texts Query(const std::string& sql) {
    return schema_ ? schema_->Query(sql) : SqliteColumn(file_, sql);
  }
  // Names as the server keeps them: PostgreSQL folds unquoted ones to lower case.
  Texts Kept(Texts names) {
    for (std::string& name : names)
      if (postgres()) std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    return names;
  }

  testing::TempDir dir_;
  const std::string file_ = dir_.File("guides.db");
  std::unique_ptr<testing::PostgresSchema> schema_;
};
INSTANTIATE_TEST_SUITE_P(On, TableStatements, testing::kEachServer, testing::ServerParamName);

TEST_P(TableStatements, BuildTheGivenColumnsDefaultsAndIdentityEvenOverAnOldTable) {
  const std::vector<std::string_view> tables(kSearchGuideTableBuildOrder.begin(),
                                             kSearchGuideTableBuildOrder.end());
  Query(testing::GuideTablesSql(tables, GetParam()));
  Query(testing::GuideTablesSql(tables, GetParam()));  // drops the tables it finds
  for (const std::string_view table : tables) {
    SCOPED_TRACE(table);
    const Texts statements = PortableTableStatements(std::string(table), GetParam()).value();
    for (const std::string& statement : statements)
      EXPECT_EQ(statement.find(';'), std::string::npos) << "the driver runs one statement only";
    EXPECT_EQ(Query(postgres() ? "SELECT column_name || ' ' || CASE is_nullable WHEN 'NO' THEN 1 "
                                 "ELSE 0 END FROM information_schema.columns WHERE table_schema = "
                                 "current_schema() AND table_name = lower('" +
                                     std::string(table) + "') ORDER BY ordinal_position"
                               : "SELECT name || ' ' || \"notnull\" FROM pragma_table_info('" +
                                     std::string(table) + "') ORDER BY cid"),
              Kept(GivenColumns(std::string(table))));
  }
  Query(
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, "
      "Column_name) VALUES (1, 1, 'o', 'id');"
      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('a'), ('b');"
      "DELETE FROM Db_Search_Guides WHERE DSG_ID = 2;"
      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('c');");
  EXPECT_EQ(Query("SELECT Column_data_type || '|' || Show_in_list || '|' || Is_search_column || "
                  "'|' || List_column_separator || '|' || Conv_required || '|' || "
                  "Conversion_expression || '|' || Is_key_column FROM Db_Search_Guide_Cols"),
            Texts{"(none)|-1|-1|+ ' ' +|0|(none)|0"});
  // An identity number is never handed out twice.
  EXPECT_EQ(Query("SELECT DSG_ID || ' ' || DSG_description FROM Db_Search_Guides ORDER BY 1"),
            (Texts{"1 (none)", "3 (none)"}));
  EXPECT_EQ(Query(postgres() ? "SELECT indexname FROM pg_indexes WHERE schemaname = "
                               "current_schema() AND indexname NOT LIKE 'pk%' ORDER BY 1"
                             : "SELECT name FROM sqlite_master WHERE type = 'index' AND name NOT "
                               "LIKE 'sqlite_%' ORDER BY 1"),
            Kept({"Cols_x_1", "DSG_x_1", "DSG_x_2"}));
}

}  // namespace
}  // namespace corvanty
