#include "engine/searchguidetables.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/crlflines.h"
#include "support/tempdir.h"

namespace corvanty {
namespace {

using testing::SplitCrLfLines;

std::vector<std::string> ScriptLines(const std::string& name) {
  std::optional<std::string> script = SqlServerTableScript(name);
  if (!script) {
    ADD_FAILURE() << "no SQL Server script for " << name;
    return {};
  }
  return SplitCrLfLines(*script);
}

TEST(SearchGuideTableNames, BuildOrderHoldsTheSameFiveNamesWithTheGuideListFirst) {
  std::vector<std::string_view> accepted(kSearchGuideTableNames.begin(),
                                         kSearchGuideTableNames.end());
  std::vector<std::string_view> built(kSearchGuideTableBuildOrder.begin(),
                                      kSearchGuideTableBuildOrder.end());
  EXPECT_EQ(built.front(), "Db_Search_Guides");
  std::sort(accepted.begin(), accepted.end());
  std::sort(built.begin(), built.end());
  EXPECT_EQ(accepted, built);
  EXPECT_EQ(std::adjacent_find(accepted.begin(), accepted.end()), accepted.end());
}

TEST(SqlServerTableScript, EachScriptDropsAUserTableAndCreatesItInCrLfLines) {
  const std::pair<std::string, size_t> tables[] = {
      {"Db_Search_Guides", 13u},    {"Db_Search_Guide_Tables", 13u}, {"Db_Search_Guide_Cols", 21u},
      {"Db_Search_Guide_SQL", 13u}, {"Db_Search_Guide_Unique", 10u},
  };
  for (const auto& [name, line_count] : tables) {
    SCOPED_TRACE(name);
    std::vector<std::string> lines = ScriptLines(name);
    ASSERT_EQ(lines.size(), line_count);
    EXPECT_EQ(lines[0], "if exists (select * from sysobjects where id = object_id('dbo." + name +
                            "') and sysstat & 0xf = 3)");
    EXPECT_EQ(lines[1], "drop table dbo." + name);
    EXPECT_EQ(lines[2], "CREATE TABLE dbo." + name + " (");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) {
                              return line.find("PRIMARY KEY  NONCLUSTERED") != std::string::npos;
                            }),
              1);
  }
}

TEST(SqlServerTableScript, GuideColumnsKeepTheirBlanksAndTheSeparatorExpression) {
  std::vector<std::string> lines = ScriptLines("Db_Search_Guide_Cols");
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[3], "DSG_ID int NOT NULL ,");
  EXPECT_EQ(lines[8],
            "Show_in_list int NOT NULL CONSTRAINT DF_Cntrl_Searc_Show_in_lis DEFAULT ((-1)),");
  EXPECT_EQ(lines[10],
            "List_column_separator varchar (50) NOT NULL CONSTRAINT DF_Cntrl_Searc_List_column "
            "DEFAULT ('+ ' + char(39) + ' ' + char(39) + ' +'),");
  EXPECT_EQ(lines[14], "CONSTRAINT PK_Db_Search_Guide_Cols PRIMARY KEY  NONCLUSTERED");
  EXPECT_EQ(lines[16], "DSG_ID,");
  EXPECT_EQ(lines[20],
            "CREATE  INDEX Cols_x_1 ON dbo.Db_Search_Guide_Cols(DSG_ID, DSG_column_seq_no)");
}

TEST(SqlServerTableScript, GuideListHasItsIdentityAndTwoIndexes) {
  std::vector<std::string> lines = ScriptLines("Db_Search_Guides");
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[3], "DSG_ID int IDENTITY (1, 1) NOT NULL ,");
  EXPECT_EQ(lines[11], "CREATE  INDEX DSG_x_1 ON dbo.Db_Search_Guides(DSG_ID, DSG_name)");
  EXPECT_EQ(lines[12], "CREATE  INDEX DSG_x_2 ON dbo.Db_Search_Guides(DSG_name)");
  EXPECT_EQ(ScriptLines("Db_Search_Guide_Unique")[3], "DSG_unique int IDENTITY (1, 1) NOT NULL ,");
}

TEST(TableScripts, RefuseAnyNameThatIsNotExactlyOneOfTheFive) {
  for (const char* name : {"", "db_search_guides", "DB_SEARCH_GUIDE_COLS", "Db_Search_Guides ",
                           "dbo.Db_Search_Guides", "Db_Search_Guide", "Velmorastine_Search"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(SqlServerTableScript(name).has_value());
    EXPECT_FALSE(SqliteTableStatements(name).has_value());
  }
}

// A SQLite file in a temporary folder, driven through the C API.
class SqliteFile {
 public:
  SqliteFile() {
    if (sqlite3_open(dir_.File("guides.db").c_str(), &db_) != SQLITE_OK) {
      ADD_FAILURE() << "cannot open the test database";
    }
  }
  ~SqliteFile() { sqlite3_close(db_); }

  // Runs one statement and returns SQLite's error message, empty on success.
  // A text holding more than one statement is refused: the driver would run
  // only the first.
  std::string Execute(const std::string& statement) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, statement.c_str(), -1, &stmt, &tail) != SQLITE_OK) {
      return sqlite3_errmsg(db_);
    }
    std::string error;
    if (*tail != '\0') {
      error = "more than one statement";
    } else if (sqlite3_step(stmt) != SQLITE_DONE) {
      error = sqlite3_errmsg(db_);
    }
    sqlite3_finalize(stmt);
    return error;
  }

  void Run(const std::string& statement) { EXPECT_EQ(Execute(statement), "") << statement; }

  void Build(const std::string& table) {
    std::optional<std::vector<std::string>> statements = SqliteTableStatements(table);
    ASSERT_TRUE(statements.has_value()) << table;
    for (const std::string& statement : *statements) Run(statement);
  }

  // The first column of every row of a query, as text ("NULL" for NULL).
  std::vector<std::string> Column(const std::string& query) {
    std::vector<std::string> values;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, query.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << "\n" << query;
      return values;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(stmt, 0);
      values.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
    }
    sqlite3_finalize(stmt);
    return values;
  }

 private:
  testing::TempDir dir_;
  sqlite3* db_ = nullptr;
};

// The column lines of a SQL Server script: from the CREATE TABLE line to the
// primary key constraint.
std::vector<std::string> SqlServerColumnLines(const std::string& table) {
  std::vector<std::string> lines = ScriptLines(table);
  auto first = lines.begin() + 3;
  auto last = std::find_if(first, lines.end(), [](const std::string& line) {
    return line.rfind("CONSTRAINT ", 0) == 0;
  });
  return {first, last};
}

TEST(SqliteTableStatements, BuildEveryTableTwiceWithTheSqlServerColumnsAndConstraintNames) {
  SqliteFile db;
  for (std::string_view view : kSearchGuideTableBuildOrder) {
    std::string table(view);
    SCOPED_TRACE(table);
    db.Build(table);
    db.Build(table);  // a rebuild drops the table it finds
    std::vector<std::string> names;
    std::vector<std::string> not_null;
    for (const std::string& line : SqlServerColumnLines(table)) {
      names.push_back(line.substr(0, line.find(' ')));
      not_null.push_back(line.find("NOT NULL") != std::string::npos ? "1" : "0");
    }
    EXPECT_EQ(db.Column("SELECT name FROM pragma_table_info('" + table + "') ORDER BY cid"), names);
    EXPECT_EQ(db.Column("SELECT \"notnull\" FROM pragma_table_info('" + table + "') ORDER BY cid"),
              not_null);
    std::vector<std::string> created =
        db.Column("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = '" + table + "'");
    ASSERT_EQ(created.size(), 1u);
    for (const std::string& line : ScriptLines(table)) {
      size_t at = line.find("CONSTRAINT ");
      if (at == std::string::npos) continue;
      // "CONSTRAINT name " with its blank, so that a longer name does not match.
      std::string constraint = line.substr(at, line.find(' ', at + 11) - at + 1);
      EXPECT_NE(created[0].find(constraint), std::string::npos) << constraint;
    }
  }
  EXPECT_EQ(
      db.Column("SELECT name || ' ON ' || tbl_name FROM sqlite_master WHERE type = 'index' "
                "AND name NOT LIKE 'sqlite_%' ORDER BY name"),
      (std::vector<std::string>{"Cols_x_1 ON Db_Search_Guide_Cols", "DSG_x_1 ON Db_Search_Guides",
                                "DSG_x_2 ON Db_Search_Guides"}));
}

TEST(SqliteTableStatements, DefaultsMatchTheSqlServerValues) {
  SqliteFile db;
  db.Build("Db_Search_Guides");
  db.Build("Db_Search_Guide_Cols");
  db.Run("INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Orders')");
  EXPECT_EQ(db.Column("SELECT DSG_description FROM Db_Search_Guides"),
            std::vector<std::string>{"(none)"});
  db.Run(
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, "
      "Column_name) VALUES (1, 1, 'o', 'id')");
  EXPECT_EQ(db.Column("SELECT Column_data_type || '|' || Show_in_list || '|' || Is_search_column "
                      "|| '|' || Conv_required || '|' || Conversion_expression || '|' || "
                      "Is_key_column FROM Db_Search_Guide_Cols"),
            std::vector<std::string>{"(none)|-1|-1|0|(none)|0"});
  // Plus, blank, apostrophe, blank, apostrophe, blank, plus.
  EXPECT_EQ(db.Column("SELECT List_column_separator FROM Db_Search_Guide_Cols"),
            std::vector<std::string>{"+ ' ' +"});
}

TEST(SqliteTableStatements, PrimaryKeysRefuseDuplicatesAndMissingValues) {
  SqliteFile db;
  db.Build("Db_Search_Guide_Cols");
  db.Build("Db_Search_Guide_Tables");
  const std::string column =
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, "
      "Column_qualifier, Column_name) VALUES ";
  db.Run(column + "(1, 1, 'o', 'id')");
  db.Run(column + "(1, 2, 'o', 'name')");
  db.Run(column + "(2, 1, 'c', 'id')");
  EXPECT_EQ(db.Execute(column + "(1, 2, 'o', 'other')"),
            "UNIQUE constraint failed: Db_Search_Guide_Cols.DSG_ID, "
            "Db_Search_Guide_Cols.DSG_column_seq_no");
  db.Run("INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause) VALUES (7, 'FROM o')");
  EXPECT_EQ(db.Execute("INSERT INTO Db_Search_Guide_Tables (DSG_ID) VALUES (7)"),
            "UNIQUE constraint failed: Db_Search_Guide_Tables.DSG_ID");
  // DSG_ID of the tables row is the guide's number, never one made up by the table.
  EXPECT_EQ(db.Execute("INSERT INTO Db_Search_Guide_Tables (FROM_clause) VALUES ('x')"),
            "NOT NULL constraint failed: Db_Search_Guide_Tables.DSG_ID");
}

TEST(SqliteTableStatements, IdentityNumbersAreNeverReusedUntilTheTableIsRebuilt) {
  SqliteFile db;
  db.Build("Db_Search_Guides");
  db.Build("Db_Search_Guide_Unique");
  db.Run("INSERT INTO Db_Search_Guides (DSG_name) VALUES ('a')");
  db.Run("INSERT INTO Db_Search_Guides (DSG_name) VALUES ('b')");
  db.Run("DELETE FROM Db_Search_Guides WHERE DSG_ID = 2");
  db.Run("INSERT INTO Db_Search_Guides (DSG_name) VALUES ('c')");
  EXPECT_EQ(db.Column("SELECT DSG_ID FROM Db_Search_Guides ORDER BY DSG_ID"),
            (std::vector<std::string>{"1", "3"}));
  // A search run takes its number by inserting a row and deleting it at once.
  for (int run = 0; run < 2; ++run) {
    db.Run("INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1)");
    db.Run("DELETE FROM Db_Search_Guide_Unique");
  }
  db.Run("INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1)");
  EXPECT_EQ(db.Column("SELECT DSG_unique FROM Db_Search_Guide_Unique"),
            std::vector<std::string>{"3"});

  db.Build("Db_Search_Guides");
  db.Build("Db_Search_Guide_Unique");
  db.Run("INSERT INTO Db_Search_Guides (DSG_name) VALUES ('d')");
  db.Run("INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1)");
  EXPECT_EQ(db.Column("SELECT DSG_ID || ' ' || DSG_name FROM Db_Search_Guides"),
            std::vector<std::string>{"1 d"});
  EXPECT_EQ(db.Column("SELECT DSG_unique FROM Db_Search_Guide_Unique"),
            std::vector<std::string>{"1"});
}

}  // namespace
}  // namespace corvanty
