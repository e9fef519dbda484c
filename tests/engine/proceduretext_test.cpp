#include "engine/proceduretext.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/crlflines.h"

namespace corvanty {
namespace {

TEST(SearchEngineDropBatch, DropsOnlyTheStoredProcedureAndTurnsQuotedIdentifiersOff) {
  EXPECT_EQ(SearchEngineDropBatch(),
            "if exists (select * from sysobjects where id = object_id('dbo.Velmorastine_Search') "
            "and sysstat & 0xf = 4)\r\n"
            "drop procedure dbo.Velmorastine_Search\r\n"
            "SET QUOTED_IDENTIFIER OFF\r\n");
}

TEST(SearchProcedureText, Is282CrLfLinesInOneBatchKeptAsWritten) {
  const std::string text = SearchProcedureText();
  // A blank or a line end added or lost anywhere changes the length.
  EXPECT_EQ(text.size(), 10959u);
  const std::vector<std::string> lines = testing::SplitCrLfLines(text);
  ASSERT_EQ(lines.size(), 282u);
  EXPECT_EQ(lines[0], "CREATE PROCEDURE Velmorastine_Search");
  EXPECT_EQ(lines[281], "WHERE ASCII(ResultList) <> 9");
  const std::regex batchSeparator("\\s*go\\s*", std::regex::icase);
  for (const std::string& line : lines) EXPECT_FALSE(std::regex_match(line, batchSeparator));
  // Double quotes, backslashes and the misspelling stay.
  EXPECT_EQ(lines[48], "/*  Get the colummns...*/");
  EXPECT_EQ(lines[53], "+ \" WHERE Cols.DSG_ID IN (\" + @DSGString + \")\"");
  EXPECT_EQ(lines[89], "UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen @DeleteLen \" \"");
  EXPECT_EQ(lines[222],
            "SELECT @SQLWherePart = \" (\" + @InsColVal + \" LIKE '%\" + @BoolSrch + \"%') OR \"");
  EXPECT_EQ(lines[268], "+ \" -o c:\\Temp\" + CONVERT(varchar,@DSGUniqueID) + \".qry\"");
}

}  // namespace
}  // namespace corvanty
