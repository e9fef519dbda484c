// SPDX-License-Identifier: Apache-2.0
#include "schema/searchguidetables.h"

#include "schema/crlflines.h"

namespace corvanty {

namespace {

// One table's build texts, kept side by side so that a change to one is
// seen next to the other.
struct TableTexts {
  std::string_view name;
  std::vector<std::string_view> sql_server_lines;
  // CREATE TABLE and CREATE INDEX for the servers without batches, with the
  // pieces they write differently as markers (see GuideTableTexts); the DROP
  // that precedes them is made from the name.
  std::vector<std::string_view> portable_creates;
};

// The SQL Server lines are sent exactly as written, odd blanks included.
// clang-format off
const std::vector<TableTexts>& AllTables() {
  static const std::vector<TableTexts> tables = {
    {"Db_Search_Guide_Cols",
     {
      "if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guide_Cols') and sysstat & 0xf = 3)",
      "drop table dbo.Db_Search_Guide_Cols",
      "CREATE TABLE dbo.Db_Search_Guide_Cols (",
      "DSG_ID int NOT NULL ,",
      "DSG_column_seq_no int NOT NULL ,",
      "Column_qualifier varchar (50) NOT NULL ,",
      "Column_name varchar (50) NOT NULL ,",
      "Column_data_type varchar (50) NOT NULL CONSTRAINT DF_Db_Search_G_Column_data DEFAULT ('(none)'),",
      "Show_in_list int NOT NULL CONSTRAINT DF_Cntrl_Searc_Show_in_lis DEFAULT ((-1)),",
      "Is_search_column int NOT NULL CONSTRAINT DF_Cntrl_Searc_Is_search_c DEFAULT ((-1)),",
      "List_column_separator varchar (50) NOT NULL CONSTRAINT DF_Cntrl_Searc_List_column DEFAULT ('+ ' + char(39) + ' ' + char(39) + ' +'),",
      "Conv_required int NOT NULL CONSTRAINT DF_Db_Search_G_Conv_requre DEFAULT (0),",
      "Conversion_expression varchar (255) NOT NULL CONSTRAINT DF_Db_Search_G_Conversion_ DEFAULT ('(none)'),",
      "Is_key_column int NOT NULL CONSTRAINT DF_Db_Search_G_Is_key_colu DEFAULT (0),",
      "CONSTRAINT PK_Db_Search_Guide_Cols PRIMARY KEY  NONCLUSTERED",
      "(",
      "DSG_ID,",
      "DSG_column_seq_no",
      ")",
      ")",
      "CREATE  INDEX Cols_x_1 ON dbo.Db_Search_Guide_Cols(DSG_ID, DSG_column_seq_no)",
     },
     {
      "CREATE TABLE Db_Search_Guide_Cols (\n"
        "DSG_ID int NOT NULL,\n"
        "DSG_column_seq_no int NOT NULL,\n"
        "Column_qualifier varchar (50) NOT NULL,\n"
        "Column_name varchar (50) NOT NULL,\n"
        "Column_data_type varchar (50) NOT NULL CONSTRAINT DF_Db_Search_G_Column_data DEFAULT ('(none)'),\n"
        "Show_in_list int NOT NULL CONSTRAINT DF_Cntrl_Searc_Show_in_lis DEFAULT ((-1)),\n"
        "Is_search_column int NOT NULL CONSTRAINT DF_Cntrl_Searc_Is_search_c DEFAULT ((-1)),\n"
        "List_column_separator varchar (50) NOT NULL CONSTRAINT DF_Cntrl_Searc_List_column DEFAULT ('+ ' || {CHAR}(39) || ' ' || {CHAR}(39) || ' +'),\n"
        "Conv_required int NOT NULL CONSTRAINT DF_Db_Search_G_Conv_requre DEFAULT (0),\n"
        "Conversion_expression varchar (255) NOT NULL CONSTRAINT DF_Db_Search_G_Conversion_ DEFAULT ('(none)'),\n"
        "Is_key_column int NOT NULL CONSTRAINT DF_Db_Search_G_Is_key_colu DEFAULT (0),\n"
        "CONSTRAINT PK_Db_Search_Guide_Cols PRIMARY KEY (DSG_ID, DSG_column_seq_no)\n"
        ")",
      "CREATE INDEX Cols_x_1 ON Db_Search_Guide_Cols(DSG_ID, DSG_column_seq_no)",
     }},
    {"Db_Search_Guide_SQL",
     {
      "if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guide_SQL') and sysstat & 0xf = 3)",
      "drop table dbo.Db_Search_Guide_SQL",
      "CREATE TABLE dbo.Db_Search_Guide_SQL (",
      "DSG_unique_ID int NOT NULL ,",
      "RowNumber int NOT NULL ,",
      "DSG_ID int NOT NULL ,",
      "SQL text NULL ,",
      "CONSTRAINT PK_Db_Search_Guide_SQL PRIMARY KEY  NONCLUSTERED",
      "(",
      "DSG_unique_ID,",
      "RowNumber",
      ")",
      ")",
     },
     {
      "CREATE TABLE Db_Search_Guide_SQL (\n"
        "DSG_unique_ID int NOT NULL,\n"
        "RowNumber int NOT NULL,\n"
        "DSG_ID int NOT NULL,\n"
        "SQL text NULL,\n"
        "CONSTRAINT PK_Db_Search_Guide_SQL PRIMARY KEY (DSG_unique_ID, RowNumber)\n"
        ")",
     }},
    {"Db_Search_Guide_Tables",
     {
      "if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guide_Tables') and sysstat & 0xf = 3)",
      "drop table dbo.Db_Search_Guide_Tables",
      "CREATE TABLE dbo.Db_Search_Guide_Tables (",
      "DSG_ID int NOT NULL ,",
      "FROM_clause text NULL ,",
      "WHERE_clause text NULL ,",
      "GROUPBY_clause text NULL ,",
      "ORDERBY_clause text NULL ,",
      "CONSTRAINT PK___2__10 PRIMARY KEY  NONCLUSTERED",
      "(",
      "DSG_ID",
      ")",
      ")",
     },
     {
      "CREATE TABLE Db_Search_Guide_Tables (\n"
        "DSG_ID int NOT NULL,\n"
        "FROM_clause text NULL,\n"
        "WHERE_clause text NULL,\n"
        "GROUPBY_clause text NULL,\n"
        "ORDERBY_clause text NULL,\n"
        "CONSTRAINT PK___2__10 PRIMARY KEY (DSG_ID)\n"
        ")",
     }},
    {"Db_Search_Guide_Unique",
     {
      "if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guide_Unique') and sysstat & 0xf = 3)",
      "drop table dbo.Db_Search_Guide_Unique",
      "CREATE TABLE dbo.Db_Search_Guide_Unique (",
      "DSG_unique int IDENTITY (1, 1) NOT NULL ,",
      "DSG_place int NOT NULL ,",
      "CONSTRAINT PK_Db_Search_Guide_Unique PRIMARY KEY  NONCLUSTERED",
      "(",
      "DSG_unique",
      ")",
      ")",
     },
     {
      "CREATE TABLE Db_Search_Guide_Unique (\n"
        "DSG_unique {IDENTITY} NOT NULL CONSTRAINT PK_Db_Search_Guide_Unique PRIMARY KEY{AUTOINCREMENT},\n"
        "DSG_place int NOT NULL\n"
        ")",
     }},
    {"Db_Search_Guides",
     {
      "if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guides') and sysstat & 0xf = 3)",
      "drop table dbo.Db_Search_Guides",
      "CREATE TABLE dbo.Db_Search_Guides (",
      "DSG_ID int IDENTITY (1, 1) NOT NULL ,",
      "DSG_name varchar (50) NOT NULL ,",
      "DSG_description varchar (255) NOT NULL CONSTRAINT DF_Cntrl_Data__DSG_descrip DEFAULT ('(none)'),",
      "CONSTRAINT PK_Cntrl_Data_Source_Guides PRIMARY KEY  NONCLUSTERED",
      "(",
      "DSG_ID",
      ")",
      ")",
      "CREATE  INDEX DSG_x_1 ON dbo.Db_Search_Guides(DSG_ID, DSG_name)",
      "CREATE  INDEX DSG_x_2 ON dbo.Db_Search_Guides(DSG_name)",
     },
     {
      "CREATE TABLE Db_Search_Guides (\n"
        "DSG_ID {IDENTITY} NOT NULL CONSTRAINT PK_Cntrl_Data_Source_Guides PRIMARY KEY{AUTOINCREMENT},\n"
        "DSG_name varchar (50) NOT NULL,\n"
        "DSG_description varchar (255) NOT NULL CONSTRAINT DF_Cntrl_Data__DSG_descrip DEFAULT ('(none)')\n"
        ")",
      "CREATE INDEX DSG_x_1 ON Db_Search_Guides(DSG_ID, DSG_name)",
      "CREATE INDEX DSG_x_2 ON Db_Search_Guides(DSG_name)",
     }},
  };
  return tables;
}
// clang-format on

const TableTexts* FindTable(const std::string& name) {
  for (const TableTexts& table : AllTables()) {
    if (table.name == name) return &table;
  }
  return nullptr;
}

}  // namespace

std::optional<std::string> SqlServerTableScript(const std::string& name) {
  const TableTexts* table = FindTable(name);
  if (table == nullptr) return std::nullopt;
  return JoinCrLfLines(table->sql_server_lines);
}

std::optional<std::vector<std::string>> GuideTableStatements(const std::string& name,
                                                             const ServerDialect& server) {
  const TableTexts* table = FindTable(name);
  if (table == nullptr) return std::nullopt;
  return server.GuideTableStatements(
      {table->name, JoinCrLfLines(table->sql_server_lines), table->portable_creates});
}

std::optional<std::vector<std::string>> PortableTableStatements(const std::string& name,
                                                                rdo::Dialect dialect) {
  return GuideTableStatements(name, ForDialect(dialect));
}

std::optional<std::vector<std::string>> SqliteTableStatements(const std::string& name) {
  return GuideTableStatements(name, SqliteDialect());
}

std::optional<std::vector<std::string>> PostgresTableStatements(const std::string& name) {
  return GuideTableStatements(name, PostgresDialect());
}

std::string MainTablesExistQuery(const ServerDialect& server) {
  return server.ObjectsNamedQuery(
      "'Db_Search_Guides','Db_Search_Guide_Tables','Db_Search_Guide_Cols'");
}

std::string AllGuideTablesExistQuery(const ServerDialect& server) {
  return server.ObjectsNamedQuery(
      "'Db_Search_Guides','Db_Search_Guide_Tables','Db_Search_Guide_Cols',"
      "'Db_Search_Guide_SQL','Db_Search_Guide_Unique'");
}

}  // namespace corvanty
