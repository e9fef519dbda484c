// SPDX-License-Identifier: Apache-2.0
// The PostgreSQL search service's statements as the installer sends them,
// read from the script the build compiles in.
#include "schema/postgressearchservice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvanty {
namespace {

using testing::EndsWith;
using testing::HasSubstr;
using testing::StartsWith;

// The script's fifteen statements in order, each without its ; and the
// script's head, with the installation's names in their places; then the
// version mark. The searched schemas name the script's own placeholder for
// the installed schema: a name is put in once and never read again.
TEST(PostgresSearchService, IsTheScriptsStatementsWithTheNamesPutInOnce) {
  const std::vector<std::string> statements =
      PostgresSearchServiceStatements("\"S\"", "'S'", "corvanty_service_schema, \"x\"");
  ASSERT_EQ(statements.size(), 16u);
  EXPECT_THAT(statements[0],
              StartsWith("CREATE OR REPLACE FUNCTION \"S\".velmorastine_search_span_end(c text[], "
                         "at integer)\nRETURNS integer LANGUAGE plpgsql IMMUTABLE SET search_path "
                         "= pg_catalog, pg_temp AS $f$\n-- Where the quoted span"));
  EXPECT_THAT(statements[0], EndsWith("\n  RETURN n + 1;\nEND $f$"));
  EXPECT_EQ(statements[10], "DROP FUNCTION IF EXISTS \"S\".velmorastine_search_sql(text, text)");
  EXPECT_THAT(statements[11], HasSubstr("i.relnamespace = CAST('S' AS regnamespace)"));
  EXPECT_THAT(statements[12],
              HasSubstr("LANGUAGE plpgsql VOLATILE SECURITY INVOKER SET search_path = pg_catalog, "
                        "corvanty_service_schema, \"x\", pg_temp SET standard_conforming_strings "
                        "= on AS $f$"));
  EXPECT_THAT(statements[12], HasSubstr("FROM \"S\".velmorastine_search_sql(dsgstring, "));
  EXPECT_THAT(statements[13], HasSubstr("pg_catalog.quote_ident('S')"));
  EXPECT_EQ(statements[14], "DROP FUNCTION IF EXISTS \"S\".velmorastine_search(text, text)");
  EXPECT_EQ(statements[15],
            "COMMENT ON FUNCTION \"S\".velmorastine_search(text, text, integer) IS 'Corvanty "
            "search service, version 3'");
}

}  // namespace
}  // namespace corvanty
