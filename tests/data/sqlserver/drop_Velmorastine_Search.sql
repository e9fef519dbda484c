if exists (select * from sysobjects where id = object_id('dbo.Velmorastine_Search') and sysstat & 0xf = 4)
drop procedure dbo.Velmorastine_Search
SET QUOTED_IDENTIFIER OFF
