if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guide_SQL') and sysstat & 0xf = 3)
drop table dbo.Db_Search_Guide_SQL
CREATE TABLE dbo.Db_Search_Guide_SQL (
DSG_unique_ID int NOT NULL ,
RowNumber int NOT NULL ,
DSG_ID int NOT NULL ,
SQL text NULL ,
CONSTRAINT PK_Db_Search_Guide_SQL PRIMARY KEY  NONCLUSTERED
(
DSG_unique_ID,
RowNumber
)
)
