if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guide_Cols') and sysstat & 0xf = 3)
drop table dbo.Db_Search_Guide_Cols
CREATE TABLE dbo.Db_Search_Guide_Cols (
DSG_ID int NOT NULL ,
DSG_column_seq_no int NOT NULL ,
Column_qualifier varchar (50) NOT NULL ,
Column_name varchar (50) NOT NULL ,
Column_data_type varchar (50) NOT NULL CONSTRAINT DF_Db_Search_G_Column_data DEFAULT ('(none)'),
Show_in_list int NOT NULL CONSTRAINT DF_Cntrl_Searc_Show_in_lis DEFAULT ((-1)),
Is_search_column int NOT NULL CONSTRAINT DF_Cntrl_Searc_Is_search_c DEFAULT ((-1)),
List_column_separator varchar (50) NOT NULL CONSTRAINT DF_Cntrl_Searc_List_column DEFAULT ('+ ' + char(39) + ' ' + char(39) + ' +'),
Conv_required int NOT NULL CONSTRAINT DF_Db_Search_G_Conv_requre DEFAULT (0),
Conversion_expression varchar (255) NOT NULL CONSTRAINT DF_Db_Search_G_Conversion_ DEFAULT ('(none)'),
Is_key_column int NOT NULL CONSTRAINT DF_Db_Search_G_Is_key_colu DEFAULT (0),
CONSTRAINT PK_Db_Search_Guide_Cols PRIMARY KEY  NONCLUSTERED
(
DSG_ID,
DSG_column_seq_no
)
)
CREATE  INDEX Cols_x_1 ON dbo.Db_Search_Guide_Cols(DSG_ID, DSG_column_seq_no)
