if exists (select * from sysobjects where id = object_id('dbo.Db_Search_Guides') and sysstat & 0xf = 3)
drop table dbo.Db_Search_Guides
CREATE TABLE dbo.Db_Search_Guides (
DSG_ID int IDENTITY (1, 1) NOT NULL ,
DSG_name varchar (50) NOT NULL ,
DSG_description varchar (255) NOT NULL CONSTRAINT DF_Cntrl_Data__DSG_descrip DEFAULT ('(none)'),
CONSTRAINT PK_Cntrl_Data_Source_Guides PRIMARY KEY  NONCLUSTERED
(
DSG_ID
)
)
CREATE  INDEX DSG_x_1 ON dbo.Db_Search_Guides(DSG_ID, DSG_name)
CREATE  INDEX DSG_x_2 ON dbo.Db_Search_Guides(DSG_name)
