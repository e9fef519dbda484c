CREATE PROCEDURE Velmorastine_Search
@DSGString      varchar(255),
@SearchCriteria     varchar(255),
@ServerName     varchar(50),
@DatabaseName       varchar(50),
@UID            varchar(255),
@PWD            varchar(255)
WITH ENCRYPTION
AS
DECLARE
@ColQualifier       varchar(50),
@ColName        varchar(50),
@ColDataType        varchar(50),
@ShowInList     int,
@IsSearchColumn     int,
@IsKeyColumn        int,
@ListColSeparator   varchar(50),
@ConvReq        int,
@ConvExpression     varchar(255),
@DSG_ID         int,
@nDSG_ID        int,
@OldDSG_ID      int,
@CsrRows        int,
@CurrentRow     int,
@CurrentCsrRow      int,
@TextLen        int,
@OffsetLen      int,
@DeleteLen      int,
@DestPtr        varbinary(16),
@SrcPtr         varbinary(16),
@InsColVal      varchar(255),
@IDCount        int,
@TmpCriteria        varchar(255),
@PatternStart       int,
@BoolSrch       varchar(255),
@SQLWherePart       varchar(255),
@TestForWhere       int,
@iSQLCmd        varchar(255),
@DSGUniqueID        int,
@TempSeparator      varchar(50),
@IDColumn       varchar(100),
@SearchColCount    int
SET NOCOUNT ON
/*  Get the sql pieces and insert them into the temporary table */
CREATE TABLE #SQL_execute
(RowNumber Int,
DSG_ID int,
SQL text)
/*  Get the colummns...*/
EXECUTE ("DECLARE CsrCols SCROLL CURSOR"
+ " FOR SELECT Cols.DSG_ID,Cols.Column_qualifier,Cols.Column_name,Cols.Show_in_list,Cols.Is_search_column,Cols.List_column_separator,"
+ "Cols.Conv_required,Cols.Conversion_expression,Cols.Is_key_column"
+ " FROM Db_Search_Guide_Cols Cols"
+ " WHERE Cols.DSG_ID IN (" + @DSGString + ")"
+ " ORDER BY Cols.DSG_ID, Cols.DSG_column_seq_no"
+ " FOR READ ONLY")
OPEN CsrCols
FETCH First From CsrCols INTO @DSG_ID,@ColQualifier,@ColName,@ShowInList,@IsSearchColumn,@TempSeparator,@ConvReq,@ConvExpression,@IsKeyColumn
IF NOT @@FETCH_STATUS = 0
BEGIN
Close CsrCols
DEALLOCATE CsrCols
SELECT "Error: Database Search Guide ID(s) invalid."
Return
End
SELECT @CsrRows = @@CURSOR_ROWS
SELECT @CurrentRow = 1
SELECT @IDCount = 0
SELECT @IDColumn = ""
SELECT @nDSG_ID = 0
SELECT @OldDSG_ID = @DSG_ID
SELECT @ListColSeparator = ""
IF @IsKeyColumn <> 0 AND @IDColumn = ""
SELECT @IDColumn = ") ResultList," + @ColQualifier + "." + @ColName + " IDColumn, " + CONVERT(varchar,@DSG_ID) + " DSG_ID "
ELSE IF @IsKeyColumn = 0 AND @IDColumn = ""
SELECT @IDColumn = ") ResultList, 0 IDColumn, " + CONVERT(varchar,@DSG_ID) + " DSG_ID "
IF @ShowInList <> 0
SELECT @ListColSeparator = @TempSeparator
WHILE @CsrRows >= @CurrentRow
BEGIN
IF @nDSG_ID <> @DSG_ID
BEGIN
SELECT @IDCount = @IDCount + 1
SELECT @DestPtr = TEXTPTR(SQL), @OffsetLen = (DATALENGTH(SQL) - DATALENGTH(LTRIM(RTRIM(@ListColSeparator))))
FROM #SQL_execute
WHERE DSG_ID = @OldDSG_ID
SELECT @DeleteLen = DATALENGTH(@ListColSeparator)
IF @DestPtr <> NULL
BEGIN
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen @DeleteLen " "
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 0 @IDColumn
END
INSERT INTO #SQL_execute (RowNumber, DSG_ID, SQL) VALUES(@IDCount, @DSG_ID,"SELECT CONVERT(varchar(200),")
SELECT @IDColumn = ""
SELECT @nDSG_ID = @DSG_ID
SELECT @OldDSG_ID = @DSG_ID
IF @IsKeyColumn <> 0 AND @IDColumn = ""
SELECT @IDColumn = ") ResultList," + @ColQualifier + "." + @ColName + " IDColumn, " + CONVERT(varchar,@DSG_ID) + " DSG_ID "
ELSE IF @IsKeyColumn = 0 AND @IDColumn = ""
SELECT @IDColumn = ") ResultList, 0 IDColumn, " + CONVERT(varchar,@DSG_ID) + " DSG_ID "
END
IF @IsKeyColumn <> 0 AND @IDColumn = ""
SELECT @IDColumn = ") ResultList," + @ColQualifier + "." + @ColName + " IDColumn, " + CONVERT(varchar,@DSG_ID) + " DSG_ID "
ELSE IF @IsKeyColumn = 0 AND @IDColumn = ""
SELECT @IDColumn = ") ResultList, 0 IDColumn, " + CONVERT(varchar,@DSG_ID) + " DSG_ID "
IF @ShowInList <> 0
BEGIN
SELECT @ListColSeparator = @TempSeparator
SELECT @DestPtr = TEXTPTR(SQL), @OffsetLen = DATALENGTH(SQL)
FROM #SQL_execute
WHERE DSG_ID = @DSG_ID
IF @ConvReq = 0
SELECT @InsColVal = @ColQualifier + '.' + @ColName + @ListColSeparator
ELSE
SELECT @InsColVal = @ConvExpression + @ListColSeparator
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 0 @InsColVal
END
FETCH NEXT From CsrCols INTO @DSG_ID,@ColQualifier,@ColName,@ShowInList,@IsSearchColumn,@TempSeparator,@ConvReq,@ConvExpression,@IsKeyColumn
SELECT @CurrentRow = @CurrentRow + 1
END
Close CsrCols
DEALLOCATE CsrCols
SELECT @DestPtr = TEXTPTR(SQL), @OffsetLen = (DATALENGTH(SQL) - DATALENGTH(LTRIM(RTRIM(@ListColSeparator))))
FROM #SQL_execute
WHERE DSG_ID = @DSG_ID
SELECT @DeleteLen = DATALENGTH(@ListColSeparator)
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen @DeleteLen " "
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 0 @IDColumn
/*  Get and assemble the FROM_clause */
SELECT @CurrentRow = 1
WHILE @IDCount >= @CurrentRow
BEGIN
SELECT @DestPtr = TEXTPTR(SQL), @OffsetLen = DATALENGTH(SQL), @DSG_ID = DSG_ID
FROM #SQL_execute
WHERE RowNumber = @CurrentRow
SELECT @SrcPtr = TEXTPTR(FROM_clause)
From Db_Search_Guide_Tables
WHERE DSG_ID = @DSG_ID
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 0 Db_Search_Guide_Tables.FROM_clause @SrcPtr
SELECT @CurrentRow = @CurrentRow + 1
END
/*  Get and assemble the WHERE clause */
SELECT @CurrentRow = 1
WHILE @IDCount >= @CurrentRow
BEGIN
SELECT @SearchColCount = 0
SELECT @DestPtr = TEXTPTR(SQL), @OffsetLen = DATALENGTH(SQL), @DSG_ID = DSG_ID
FROM #SQL_execute
WHERE RowNumber = @CurrentRow
SELECT @SrcPtr = TEXTPTR(WHERE_clause), @TestForWhere = DATALENGTH(WHERE_clause)
From Db_Search_Guide_Tables
WHERE DSG_ID = @DSG_ID
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 0 " "
SELECT @OffsetLen = @OffsetLen + 1
IF @TestForWhere > 6
BEGIN
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 0 Db_Search_Guide_Tables.WHERE_clause @SrcPtr
SELECT @OffsetLen = DATALENGTH(SQL) FROM #SQL_execute WHERE RowNumber = @CurrentRow
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 0 " AND ("
END
ELSE
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 0 " WHERE "
SELECT @OffsetLen = DATALENGTH(SQL) FROM #SQL_execute WHERE RowNumber = @CurrentRow
EXECUTE ("DECLARE CsrCols SCROLL CURSOR"
+ " FOR SELECT Column_qualifier,Column_name,Is_search_column,"
+ "Conv_required,Conversion_expression"
+ " FROM Db_Search_Guide_Cols"
+ " WHERE DSG_ID IN (" + @DSGString + ")"
+ " ORDER BY DSG_ID, DSG_column_seq_no"
+ " FOR READ ONLY")
OPEN CsrCols
FETCH First
From CsrCols
INTO @ColQualifier,@ColName,@IsSearchColumn,@ConvReq,@ConvExpression
SELECT @CsrRows = @@CURSOR_ROWS
SELECT @CurrentCsrRow = 1
WHILE @CsrRows >= @CurrentCsrRow
BEGIN
/*  Check for boolean logic in the @SearchCriteria */
IF @ConvReq = 0
SELECT @InsColVal = @ColQualifier + '.' + @ColName
ELSE
SELECT @InsColVal = @ConvExpression
SELECT @PatternStart = CHARINDEX(CHAR(34), @SearchCriteria)
IF @PatternStart > 0
BEGIN
SELECT @TmpCriteria = @SearchCriteria
SELECT @PatternStart = @PatternStart + 1
SELECT @BoolSrch = SUBSTRING(@TmpCriteria, @PatternStart,
(CHARINDEX(CHAR(34), SUBSTRING(@TmpCriteria, @PatternStart, DATALENGTH(@TmpCriteria)
- @PatternStart + 1))))
SELECT @BoolSrch = RTRIM(LTRIM(@BoolSrch))
SELECT @BoolSrch = SUBSTRING(@BoolSrch,1, CHARINDEX(CHAR(34), @BoolSrch) - 1)
WHILE NOT (@TmpCriteria IS NULL)
BEGIN
SELECT @TmpCriteria = SUBSTRING(@TmpCriteria, @PatternStart, DATALENGTH(@TmpCriteria))
SELECT @TmpCriteria = LTRIM(RTRIM(@TmpCriteria))
SELECT @PatternStart = CHARINDEX(CHAR(34), @TmpCriteria) + 1
SELECT @TmpCriteria = SUBSTRING(@TmpCriteria, @PatternStart, DATALENGTH(@TmpCriteria))
SELECT @TmpCriteria = LTRIM(RTRIM(@TmpCriteria))
IF UPPER(SUBSTRING(@TmpCriteria,1,3)) = "AND"
BEGIN
SELECT @PatternStart = CHARINDEX(CHAR(34), @TmpCriteria) + 1
SELECT @BoolSrch = @BoolSrch + "%' AND " + @InsColVal + " LIKE '%" +
SUBSTRING(@TmpCriteria, @PatternStart,
(CHARINDEX(CHAR(34), SUBSTRING(@TmpCriteria, @PatternStart, DATALENGTH(@TmpCriteria)))))
SELECT @BoolSrch = RTRIM(LTRIM(@BoolSrch))
SELECT @BoolSrch = SUBSTRING(@BoolSrch,1, CHARINDEX(CHAR(34), @BoolSrch) - 1)
END
IF UPPER(SUBSTRING(@TmpCriteria,1,3)) = "OR "
BEGIN
SELECT @PatternStart = CHARINDEX(CHAR(34), @TmpCriteria) + 1
SELECT @BoolSrch = @BoolSrch + "%' OR " + @InsColVal + " LIKE '%" +
SUBSTRING(@TmpCriteria, @PatternStart,
(CHARINDEX(CHAR(34), SUBSTRING(@TmpCriteria, @PatternStart, DATALENGTH(@TmpCriteria)))))
SELECT @BoolSrch = RTRIM(LTRIM(@BoolSrch))
SELECT @BoolSrch = SUBSTRING(@BoolSrch,1, CHARINDEX(CHAR(34), @BoolSrch) - 1)
END
END
SELECT @BoolSrch = RTRIM(LTRIM(@BoolSrch))
END
IF DATALENGTH(RTRIM(LTRIM(@BoolSrch))) > 1
SELECT @SQLWherePart = " (" + @InsColVal + " LIKE '%" + @BoolSrch + "%') OR "
ELSE
SELECT @SQLWherePart = " (" + @InsColVal + " LIKE '%" + @SearchCriteria + "%') OR "
IF @IsSearchColumn <> 0
BEGIN
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 0 @SQLWherePart
SELECT @OffsetLen = @OffsetLen + DATALENGTH(@SQLWherePart)
SELECT @SearchColCount = @SearchColCount + 1
END
FETCH NEXT
From CsrCols
INTO @ColQualifier,@ColName,@IsSearchColumn,@ConvReq,@ConvExpression
SELECT @CurrentCsrRow = @CurrentCsrRow + 1
END
Close CsrCols
DEALLOCATE CsrCols
SELECT @CurrentRow = @CurrentRow + 1
SELECT @OffsetLen = @OffsetLen - 3
IF @SearchColCount > 0
IF @TestForWhere > 6
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 3 ")"
ELSE
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 3 " "
ELSE
BEGIN
SELECT @OffsetLen = @OffsetLen - 3
UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen 6 " "
END
END
/*  Create a temporary table to hold out search results (if any)*/
CREATE TABLE #Search_Results
 (
ResultList varchar(255) NULL
 )
--Do the text file trick!
INSERT INTO Db_Search_Guide_Unique (DSG_place) VALUES (1)
SELECT @DSGUniqueID = @@IDENTITY
DELETE FROM Db_Search_Guide_Unique WHERE DSG_unique = @DSGUniqueID
INSERT INTO Db_Search_Guide_SQL (DSG_unique_ID, RowNumber, DSG_ID, SQL)
SELECT @DSGUniqueID, *
FROM #SQL_execute
SELECT @iSQLCmd = "isql -S " + @ServerName + " -d " + @DatabaseName + " -U " + @UID + " -P "
+ @PWD + " -h-1 -n -w 20000 -Q " + CHAR(34)
+ "SET NOCOUNT ON "
+ "SELECT SQL FROM Db_Search_Guide_SQL WHERE DSG_unique_ID = "
+ CONVERT(varchar,@DSGUniqueID) + CHAR(34)
+ " -o c:\Temp" + CONVERT(varchar,@DSGUniqueID) + ".qry"
EXECUTE master..xp_cmdshell @iSQLCmd, NO_OUTPUT
SELECT @iSQLCmd = "isql -S " + @ServerName + " -d " + @DatabaseName + " -U " + @UID + " -P "
+ @PWD + " -h-1 -s * -w 255 -n -q " + CHAR(34) + "SET NOCOUNT ON" + CHAR(34) + " -i c:\Temp"
+ CONVERT(varchar, @DSGUniqueID) + ".qry"
INSERT INTO #Search_Results (ResultList)
EXECUTE master..xp_cmdshell @iSQLCmd
SELECT @iSQLCmd = "del c:\Temp" + CONVERT(varchar, @DSGUniqueID) + ".qry"
EXECUTE master..xp_cmdshell @iSQLCmd, NO_OUTPUT
DELETE FROM Db_Search_Guide_SQL WHERE DSG_unique_ID = @DSGUniqueID
--Done with text file trick.
SELECT ResultList
FROM #Search_Results
WHERE ASCII(ResultList) <> 9
