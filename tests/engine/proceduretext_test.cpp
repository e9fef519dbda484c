#include "engine/proceduretext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "support/crlflines.h"

namespace corvanty {
namespace {

using testing::SplitCrLfLines;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

TEST(SearchEngineDropBatch, DropsOnlyTheStoredProcedureAndTurnsQuotedIdentifiersOff) {
  EXPECT_EQ(SearchEngineDropBatch(),
            "if exists (select * from sysobjects where id = object_id('dbo.Velmorastine_Search') "
            "and sysstat & 0xf = 4)\r\n"
            "drop procedure dbo.Velmorastine_Search\r\n"
            "SET QUOTED_IDENTIFIER OFF\r\n");
}

TEST(SearchProcedureText, Has282CrLfLinesFromCreateToTheFinalSelect) {
  std::string text = SearchProcedureText();
  ASSERT_EQ(text.rfind("CREATE PROCEDURE Velmorastine_Search\r\n", 0), 0u);
  std::vector<std::string> lines = SplitCrLfLines(text);
  ASSERT_EQ(lines.size(), 282u);
  EXPECT_EQ(lines[250], "END");  // the end of the statement generation
  EXPECT_EQ(lines[281], "WHERE ASCII(ResultList) <> 9");
  // A blank or a line end added or lost anywhere changes the length.
  EXPECT_EQ(text.size(), 10959u);
}

TEST(SearchProcedureText, IsOneBatchWithBalancedBlocks) {
  int begins = 0;
  int ends = 0;
  for (const std::string& line : SplitCrLfLines(SearchProcedureText())) {
    std::string word = Upper(Trimmed(line));
    EXPECT_NE(word, "GO");
    EXPECT_EQ(line.find('\t'), std::string::npos);
    begins += word == "BEGIN";
    ends += word == "END";
  }
  EXPECT_EQ(begins, 15);
  EXPECT_EQ(begins, ends);
}

TEST(SearchProcedureText, KeepsQuotesBlanksBackslashesAndSpellingAsWritten) {
  std::vector<std::string> lines = SplitCrLfLines(SearchProcedureText());
  ASSERT_EQ(lines.size(), 282u);
  EXPECT_EQ(lines[1], "@DSGString      varchar(255),");
  EXPECT_EQ(lines[48], "/*  Get the colummns...*/");
  EXPECT_EQ(lines[49], "EXECUTE (\"DECLARE CsrCols SCROLL CURSOR\"");
  EXPECT_EQ(lines[53], "+ \" WHERE Cols.DSG_ID IN (\" + @DSGString + \")\"");
  EXPECT_EQ(lines[55], "+ \" FOR READ ONLY\")");
  EXPECT_EQ(lines[62], "SELECT \"Error: Database Search Guide ID(s) invalid.\"");
  EXPECT_EQ(lines[68], "SELECT @IDColumn = \"\"");
  EXPECT_EQ(
      lines[73],
      "SELECT @IDColumn = \") ResultList,\" + @ColQualifier + \".\" + @ColName + \" IDColumn, "
      "\" + CONVERT(varchar,@DSG_ID) + \" DSG_ID \"");
  EXPECT_EQ(lines[89], "UPDATETEXT #SQL_execute.SQL @DestPtr @OffsetLen @DeleteLen \" \"");
  EXPECT_EQ(lines[209], "IF UPPER(SUBSTRING(@TmpCriteria,1,3)) = \"OR \"");
  EXPECT_EQ(lines[222],
            "SELECT @SQLWherePart = \" (\" + @InsColVal + \" LIKE '%\" + @BoolSrch + \"%') OR \"");
  EXPECT_EQ(lines[251], "/*  Create a temporary table to hold out search results (if any)*/");
  EXPECT_EQ(lines[253], " (");
  EXPECT_EQ(lines[255], " )");
  EXPECT_EQ(lines[268], "+ \" -o c:\\Temp\" + CONVERT(varchar,@DSGUniqueID) + \".qry\"");
  EXPECT_EQ(lines[275],
            "SELECT @iSQLCmd = \"del c:\\Temp\" + CONVERT(varchar, @DSGUniqueID) + \".qry\"");
}

}  // namespace
}  // namespace corvanty
