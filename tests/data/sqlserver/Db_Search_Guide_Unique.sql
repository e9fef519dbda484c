if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guide_Unique') and sysstat & 0xf = 3)
drop table dbo.Db_Search_Guide_Unique
CREATE TABLE dbo.Db_Search_Guide_Unique (
DSG_unique int IDENTITY (1, 1) NOT NULL ,
DSG_place int NOT NULL ,
CONSTRAINT PK_Db_Search_Guide_Unique PRIMARY KEY  NONCLUSTERED
(
DSG_unique
)
)
