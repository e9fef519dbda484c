if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guide_Tables') and sysstat & 0xf = 3)
drop table dbo.Db_Search_Guide_Tables
CREATE TABLE dbo.Db_Search_Guide_Tables (
DSG_ID int NOT NULL ,
FROM_clause text NULL ,
WHERE_clause text NULL ,
GROUPBY_clause text NULL ,
ORDERBY_clause text NULL ,
CONSTRAINT PK___2__10 PRIMARY KEY  NONCLUSTERED
(
DSG_ID
)
)
