// SPDX-License-Identifier: Apache-2.0
#include "schema/guidetablewriters.h"

namespace corvanty {

std::vector<std::string> GuideTableWriterWarnings(rdo::rdoConnection& connection) {
  if (connection.GetDialect() != rdo::Dialect::PostgreSql) return {};
  rdo::rdoResultset writers = connection.OpenResultset(
      "SELECT DISTINCT c.relname AS TableName, CASE WHEN a.grantee = 0 THEN 'PUBLIC' ELSE "
      "pg_get_userbyid(a.grantee) END AS Role FROM pg_class c CROSS JOIN LATERAL "
      "aclexplode(c.relacl) a WHERE c.relnamespace = (SELECT oid FROM pg_namespace WHERE nspname "
      "= current_schema()) AND lower(c.relname) IN ('db_search_guides', 'db_search_guide_tables', "
      "'db_search_guide_cols') AND a.privilege_type IN ('INSERT', 'UPDATE', 'DELETE', "
      "'TRUNCATE') AND a.grantee <> c.relowner ORDER BY 1, 2");
  std::vector<std::string> warnings;
  for (; !writers.IsEOF(); writers.MoveNext())
    warnings.push_back("Warning: " + writers.Text("Role") + " may write " +
                       writers.Text("TableName") +
                       ", whose SQL runs with the rights of every caller of the search service.");
  return warnings;
}

}  // namespace corvanty
