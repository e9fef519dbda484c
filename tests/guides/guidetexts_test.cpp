// SPDX-License-Identifier: Apache-2.0
// The texts the guide editors build: FROM lists, statements, the catalogue query.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "connections/serverdialect.h"
#include "guides/columnloader.h"
#include "guides/columnstore.h"
#include "guides/fromlist.h"
#include "guides/guideclauses.h"
#include "guides/listseparator.h"
#include "guides/syntaxcheck.h"

namespace corvanty {
namespace {

TEST(FromList, ReadsAStoredClauseBackAsACommaBracketedList) {
  // {stored clause, bracketed list, its tables}
  const char* const rows[][3] = {
      {"FROM Customers , Orders ", ",Customers,Orders,", "Customers|Orders|"},
      {"FROM Customers,  Orders", ",Customers, Orders,", "Customers| Orders|"},
      {"FROM Customers c, Orders o", ",Customers c,Orders o,", "Customers c|Orders o|"},
      {"FROM ", ",,", ""},
  };
  for (const auto& row : rows) {
    std::string bracketed = CommaBracketedTables(row[0]), tables;
    for (const std::string& table : TablesOfList(bracketed)) tables += table + "|";
    EXPECT_EQ(bracketed + " " + tables, std::string(row[1]) + " " + row[2]);
  }
}

TEST(FromList, RemovesExactlyTheTablesItem) {
  // {FROM text, table removed, FROM text after}; the dialog's tests remove
  // from plain lists.
  const char* const rows[][3] = {
      {"Order, Orders", "Order", "Orders"},
      {"Customers c, Orders o", "Orders", "Customers c"},
      {"Customers c,\n  Orders o, Items", "Orders", "Customers c, Items"},
      {"Customers", "Customers", ""},
      {"Customers, Orders", "Items", "Customers, Orders"},
  };
  for (const auto& row : rows) EXPECT_EQ(FromTextWithoutTable(row[0], row[1]), row[2]) << row[0];
}

constexpr rdo::Dialect kTsql = rdo::Dialect::SqlServer;

// Each server's way of quoting: what hides a ";" or a comment from one
// reading shows it to another. {FROM, WHERE, what the check says on
// PostgreSQL, on SQL Server and SQLite}: "" accepted, else the mark named.
TEST(GuideClauses, AreReadWithTheQuotesOfTheServerTheyRunOn) {
  const char* const kSemicolon = "\";\" outside";
  const char* const rows[][4] = {
      // Dollar quotes and E'' strings hide an apostrophe that T-SQL reads.
      {"customers c", "c.country <> $$'$$ ; DELETE FROM victim; SELECT '' -- '", kSemicolon, ""},
      {"customers c", "c.country <> $q$'$q$ ; DELETE FROM victim; SELECT ''", kSemicolon, "(')"},
      {"customers c", "c.name <> E'\\'' ; DELETE FROM victim; SELECT ''", kSemicolon, "(')"},
      {"customers c", "c.name = e'it\\'s; --'", "", kSemicolon},
      // Brackets quote nothing on PostgreSQL.
      {"customers c", "c.name = ANY (ARRAY[']']) ; DELETE FROM victim; SELECT ']'", kSemicolon,
       "(')"},
      // A $ inside a word or before a digit starts no dollar quote.
      {"customers c", "c.a$$b = 1; ", kSemicolon, kSemicolon},
      {"customers c", "c.id = $1 AND c.name = '$1;'", "", ""},
      // Quoted on both; an identifier's doubled quote.
      {"customers c", "c.name <> $$ ; -- $$ AND \"a\"\";\" = 'x'", "", kSemicolon},
      // Nested block comments, and comments at all, are refused.
      {"customers c /* a /* nested */ note */", "", "\"/*\" outside", "\"/*\" outside"},
      // A quote still open at the end would take in what follows.
      {"customers c WHERE $$", "$$ = '' ; DELETE FROM victim", "($$)", kSemicolon},
      {"customers c WHERE '", "' = '' ; DELETE FROM victim; SELECT '", "(')", "(')"},
      {"customers c", "c.name = E'abc\\'", "(E')", ""},
  };
  for (const auto& row : rows)
    for (const auto& [dialect, expected] : {std::pair{rdo::Dialect::PostgreSql, row[2]},
                                            {rdo::Dialect::SqlServer, row[3]},
                                            {rdo::Dialect::Sqlite, row[3]}}) {
      const std::string refusal = CutOffRefusal(row[0], row[1], dialect);
      if (*expected == '\0')
        EXPECT_EQ(refusal, "") << row[0] << " | " << row[1] << " on " << rdo::ServerName(dialect);
      else
        EXPECT_THAT(refusal, ::testing::HasSubstr(expected))
            << row[0] << " | " << row[1] << " on " << rdo::ServerName(dialect);
    }
}

TEST(GuideStatements, AreTheServersOwnTexts) {
  GuideColumn row;  // guide 7: index 2, Orders.Total, Numeric, shown, separator ", "
  row.Column_qualifier = "Orders";
  row.Column_name = "Total";
  row.Column_data_type = "Numeric";
  row.Show_in_list = 1;
  row.Is_search_column = 0;
  row.List_column_separator = SeparatorFragment(", ");
  row.DSG_column_seq_no = 2;
  SetConversionFromDataType(row);
  const std::pair<std::string, const char*> rows[] = {
      {SyntaxTestStatement("", ""), "SELECT 'atest'  "},
      {SyntaxTestStatement("Customers", "id > 1"), "SELECT 'atest' FROM Customers WHERE id > 1"},
      {SyntaxTestStatement("", "1 = 1"), "SELECT 'atest'  WHERE 1 = 1"},
      {SqlServerDialect().UserTablesQuery(), "SELECT Name FROM SysObjects WHERE Type = 'U'"},
      {TablesRowInsertStatement(7, "Customers, Orders", "Customers.id = Orders.customer_id"),
       "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES (7,'FROM "
       "Customers, Orders','WHERE Customers.id = Orders.customer_id')"},
      {TablesRowUpdateStatement(7, "Customers", "name <> 'it''s'"),
       "UPDATE Db_Search_Guide_Tables SET FROM_clause = 'FROM Customers', WHERE_clause = 'WHERE "
       "name <> ''it''''s''' WHERE DSG_ID = 7"},
      {TableColumnSettingsDeleteStatement(7, "Bob's"),
       "DELETE FROM Db_Search_Guide_Cols WHERE DSG_ID = 7 AND Column_qualifier = 'Bob''s'"},
      // A comment or a ";" outside string literals is refused, the first one named.
      {CutOffRefusal("Customers /* all */", "1=1; DELETE FROM Customers", kTsql),
       "Syntax Invalid: the FROM text holds \"/*\" outside string literals. A comment or a \";\" "
       "there would cut off the search conditions joined after it."},
      {CutOffRefusal("Customers", "name = 'a;b--c' AND id > 1; -- all", kTsql),
       "Syntax Invalid: the WHERE text holds \";\" outside string literals. A comment or a \";\" "
       "there would cut off the search conditions joined after it."},
      {CutOffRefusal("Customers c", "name = 'it''s -- /* ;' AND \"x;\" = [y--] - 1", kTsql), ""},
      {ColumnInsertStatement(rdo::Dialect::SqlServer, 7, row),
       "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, "
       "Column_name, Column_data_type,Show_in_list, Is_search_column, List_column_separator, "
       "Conv_required,Conversion_expression, Is_key_column) VALUES "
       "(7,2,'Orders','Total','Numeric',1,0,'+' + CHAR(39) + ', ' + CHAR(39) + "
       "'+',-1,'CONVERT(varchar,Orders.Total)',0)"},
      {SqlServerDialect().ColumnCatalogueQuery(QuotedTableList({"", "Orders", "Customers"})),
       "SELECT Tbl.Name TableName, Col.Name ColName FROM SysObjects Tbl, SysColumns Col WHERE "
       "Tbl.ID = Col.ID AND Tbl.Name IN ('Orders','Customers')"},
      {GuideFromClauseQuery(7),
       "SELECT DSG_ID, FROM_clause FROM Db_Search_Guide_Tables WHERE "
       "DSG_ID = 7"},
      {GuideColumnsQuery(7),
       "SELECT DSG_column_seq_no, Column_qualifier, Column_name, Column_data_type, "
       "Show_in_list,Is_search_column, List_column_separator, Conv_required, "
       "Conversion_expression, Is_key_column FROM Db_Search_Guide_Cols WHERE DSG_ID = 7"},
  };
  for (const auto& [built, expected] : rows) EXPECT_EQ(built, expected);
}

}  // namespace
}  // namespace corvanty
