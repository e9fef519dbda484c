// The guide tables, the readiness check, the editors' catalogue questions and
// a search through the search control, on a live PostgreSQL server.
#include "support/postgresserver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/dialectsql.h"
#include "engine/readiness.h"
#include "engine/rebuildcommands.h"
#include "engine/tablebuilder.h"
#include "engine/velmorastinesearch.h"
#include "guides/columnloader.h"
#include "guides/columnstore.h"
#include "guides/guideclauses.h"
#include "guides/guidestore.h"

namespace corvanty {
namespace {

using basCorvantyAdmin::CheckDatabaseReadiness;
using Texts = std::vector<std::string>;

using PostgresServer = testing::PostgresTest;

TEST_F(PostgresServer, ReadinessBuildsTheGuideTablesWithTheirDefaultsKeysAndIdentities) {
  UseNewSchema("GuidesOnPostgres", "CREATE TABLE customers (id int PRIMARY KEY)");
  ASSERT_TRUE(CheckDatabaseReadiness());
  EXPECT_TRUE(boxes_->Shown().empty());
  // The columns of the given scripts, none of them nullable but the texts
  // of the tables row and the statement text.
  EXPECT_EQ(Query("SELECT table_name || ': ' || string_agg(column_name || ' ' || is_nullable, "
                  "', ' ORDER BY ordinal_position) FROM information_schema.columns WHERE "
                  "table_schema = current_schema() AND table_name LIKE 'db!_%' ESCAPE '!' "
                  "GROUP BY table_name ORDER BY table_name"),
            (Texts{"db_search_guide_cols: dsg_id NO, dsg_column_seq_no NO, column_qualifier NO, "
                   "column_name NO, column_data_type NO, show_in_list NO, is_search_column NO, "
                   "list_column_separator NO, conv_required NO, conversion_expression NO, "
                   "is_key_column NO",
                   "db_search_guide_sql: dsg_unique_id NO, rownumber NO, dsg_id NO, sql YES",
                   "db_search_guide_tables: dsg_id NO, from_clause YES, where_clause YES, "
                   "groupby_clause YES, orderby_clause YES",
                   "db_search_guide_unique: dsg_unique NO, dsg_place NO",
                   "db_search_guides: dsg_id NO, dsg_name NO, dsg_description NO"}));
  EXPECT_EQ(
      Query("SELECT indexname FROM pg_indexes WHERE schemaname = current_schema() AND "
            "indexname NOT LIKE 'customers%' ORDER BY indexname"),
      (Texts{"cols_x_1", "dsg_x_1", "dsg_x_2", "pk___2__10", "pk_cntrl_data_source_guides",
             "pk_db_search_guide_cols", "pk_db_search_guide_sql", "pk_db_search_guide_unique"}));
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
  // An identity number is never handed out twice, but a rebuilt table
  // numbers from 1 again.
  EXPECT_EQ(Query("SELECT DSG_ID || ' ' || DSG_description FROM Db_Search_Guides ORDER BY 1"),
            (Texts{"1 (none)", "3 (none)"}));
  ASSERT_TRUE(basCorvantyAdmin::BuildSearchGuideTable("Db_Search_Guides"));
  EXPECT_EQ(InsertGuide("d", "(none)"), 1);

  // Once they are there, only the existence question is asked, and the
  // guides are searched by the built-in engine.
  sent_.clear();
  CheckDatabaseReadiness();
  EXPECT_EQ(sent_, Texts{MainTablesExistQuery(rdo::Dialect::PostgreSql)});
  EXPECT_TRUE(RebuildSearchEngineCommand());
  ASSERT_EQ(boxes_->Shown().size(), 1u);
  EXPECT_EQ(boxes_->Shown()[0].prompt,
            "This database is searched by Corvanty's built-in search engine, so it needs no "
            "search procedure and nothing was installed.");

  // With one main table gone, only the missing tables are built again.
  Query("DROP TABLE db_search_guide_cols; DROP TABLE db_search_guide_sql");
  CheckDatabaseReadiness();
  EXPECT_EQ(Query("SELECT DSG_ID || ' ' || DSG_name FROM Db_Search_Guides"), Texts{"1 d"});
  EXPECT_EQ(Query("SELECT count(*) FROM db_search_guide_cols, db_search_guide_sql"), Texts{"0"});
}

TEST_F(PostgresServer, EditorsListBaseTablesOfTheSchemaAndTheirColumnsWhateverTheCase) {
  UseNewSchema("ShopOnPostgres",
               "CREATE TABLE customers (customer_id int, name text);"
               "CREATE TABLE orders (order_id int, customer_id int);"
               "CREATE VIEW big_orders AS SELECT * FROM orders;");
  EXPECT_EQ(ListUserTables(), (Texts{"customers", "orders"}));
  Texts columns;
  for (const ColumnListEntry& entry :
       LoadColumnEditor(1, false, {"", "Orders", "CUSTOMERS"}).Entries)
    columns.push_back(entry.Text);
  EXPECT_EQ(columns, (Texts{"customer_id -> customers", "name -> customers", "order_id -> orders",
                            "customer_id -> orders"}));
}

// One column's settings as the columns editor writes them.
ColumnSlot Slot(const char* column, int index, bool shown, bool searched, bool key,
                const char* conversion = "") {
  ColumnSlot slot;
  slot.TableName = "people";
  slot.ColumnName = column;
  slot.DataType = *conversion ? "Datetime" : "Varchar";
  slot.ShowInList = shown;
  slot.IsSearchColumn = searched;
  slot.IsKeyColumn = key;
  slot.Separator = ", ";
  slot.ConvRequired = *conversion ? -1 : 0;
  slot.ConversionExpression = *conversion ? conversion : "(none)";
  slot.ColumnIndex = index;
  return slot;
}

TEST_F(PostgresServer, TheSearchControlFindsTextWhateverItsCaseAndAnIntegerAsText) {
  UseNewSchema("PeopleOnPostgres",
               "CREATE TABLE people (id int PRIMARY KEY, name varchar(40), city varchar(40), "
               "code int, born date);"
               "INSERT INTO people VALUES (1, 'Émile Zola', 'Paris', 4711, '1840-04-02'),"
               "(2, 'Anna', NULL, 12, NULL), (3, 'C:\\Temp\\Files', 'Oslo', 7, '2021-03-04'),"
               "(4, 'Joan d''Arc', 'Rouen', 1412, '1412-01-06');");
  ASSERT_TRUE(CheckDatabaseReadiness());
  const int32_t guide = InsertGuide("People", "(none)");
  SaveGuideClauses(guide, false, "people", "");
  // The code is searched as it is stored, an integer; the birthday is shown
  // as the server's style 103 makes it.
  SaveColumnSettings(
      guide, {{},
              Slot("id", 1, false, false, true),
              Slot("name", 2, true, true, false),
              Slot("city", 3, true, false, false),
              Slot("code", 4, false, true, false),
              Slot("born", 5, true, false, false, "CONVERT(varchar(10), people.born, 103)")});
  EXPECT_EQ(Query("SELECT DISTINCT List_column_separator FROM Db_Search_Guide_Cols"),
            Texts{"+', '+"});

  VelmorastineSearch::Corvanty control;
  control.DataSourceName = "PeopleOnPostgres";
  control.UserID = testing::SharedPostgresServer().user;
  control.Password = testing::SharedPostgresServer().password;
  control.SearchGuide = "People";
  const Texts emile = {"Émile Zola, Paris, 02/04/1840"};
  const struct {
    const char* criteria;
    Texts found;
  } cases[] = {
      {"émile", emile},
      {"ÉMILE ZOLA", emile},
      {"4711", emile},
      {"\\temp\\", {"C:\\Temp\\Files, Oslo, 04/03/2021"}},
      {"d'arc", {"Joan d'Arc, Rouen, 06/01/1412"}},
      {"\"zola\" or \"anna\"", {"Anna, , ", "Émile Zola, Paris, 02/04/1840"}},
  };
  for (const auto& c : cases) {
    control.Criteria = c.criteria;
    control.RunSearch();
    Texts found;
    for (; !control.EndOfResults(); control.NextResult()) found.push_back(control.ResultText());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, c.found) << c.criteria;
  }
}

}  // namespace
}  // namespace corvanty
