// The SQL Server texts the tool sends, compared whole with the given texts.
#include "engine/proceduretext.h"

#include <gtest/gtest.h>

#include "engine/searchguidetables.h"
#include "support/testdata.h"

namespace corvanty {
namespace {

TEST(SqlServerTexts, AreTheGivenTextsByteForByte) {
  std::vector<std::pair<std::string, std::string>> texts = {
      {"drop_Velmorastine_Search", SearchEngineDropBatch()},
      {"Velmorastine_Search", SearchProcedureText()},
  };
  for (std::string_view table : kSearchGuideTableBuildOrder)
    texts.emplace_back(table, SqlServerTableScript(std::string(table)).value_or("none"));
  for (const auto& [name, text] : texts)
    EXPECT_EQ(text, testing::TestData("sqlserver/" + name + ".sql")) << name;
}

}  // namespace
}  // namespace corvanty
