// SPDX-License-Identifier: Apache-2.0
#include "schema/guidetablewriters.h"

#include "connections/serverdialect.h"
#include "schema/pinnedcatalogpath.h"
#include "statements/sqlliteral.h"

namespace corvanty {
namespace {

// The guide tables of a schema (given as a string literal) and the roles
// trusted with them: their owners and the superusers. Every query below
// starts with it and runs under the pinned catalogue path.
std::string GuideTablesOf(const std::string& schema_literal) {
  return "WITH guide AS (SELECT c.oid, c.relname, c.relowner, c.relacl FROM pg_class c WHERE "
         "c.relnamespace = (SELECT n.oid FROM pg_namespace n WHERE n.nspname = " +
         schema_literal +
         ") AND c.relname IN ('db_search_guides', 'db_search_guide_tables', "
         "'db_search_guide_cols')), trusted AS (SELECT g.relowner AS oid FROM guide g UNION "
         "SELECT r.oid FROM pg_roles r WHERE r.rolsuper) ";
}

// A grantee's name, PUBLIC for the grants to everyone.
constexpr char kGrantee[] =
    "CASE WHEN a.grantee = 0 THEN 'PUBLIC' ELSE pg_get_userbyid(a.grantee) END";

constexpr char kUntrusted[] = " a.grantee NOT IN (SELECT t.oid FROM trusted t) ";

// What each kind of right lets a role do, after its name.
constexpr char kRunsForEveryCaller[] =
    ", whose SQL runs with the rights of every caller of the search service.";

// The rights PUBLIC holds on the guide tables of a schema (an expression):
// read on every readiness check, before anything is pinned, so every
// operator names its schema.
std::string GuideTableRightsQuery(const std::string& schema) {
  return "SELECT c.relname AS Name, pg_catalog.pg_get_userbyid(c.relowner) AS Owner, "
         "CAST(pg_catalog.pg_has_role(c.relowner, 'USAGE') AS integer) AS Owned, CAST(EXISTS "
         "(SELECT "
         "FROM pg_catalog.aclexplode(c.relacl) a WHERE a.grantee OPERATOR(pg_catalog.=) CAST(0 AS "
         "pg_catalog.oid) AND a.privilege_type OPERATOR(pg_catalog.=) ANY (ARRAY['INSERT', "
         "'UPDATE', "
         "'DELETE', 'TRUNCATE'])) OR EXISTS (SELECT FROM pg_catalog.pg_attribute t CROSS JOIN "
         "LATERAL "
         "pg_catalog.aclexplode(t.attacl) a WHERE t.attrelid OPERATOR(pg_catalog.=) c.oid AND "
         "a.grantee OPERATOR(pg_catalog.=) CAST(0 AS pg_catalog.oid) AND a.privilege_type "
         "OPERATOR(pg_catalog.=) ANY (ARRAY['INSERT', 'UPDATE'])) AS integer) AS PublicWrites FROM "
         "pg_catalog.pg_class c WHERE c.relnamespace OPERATOR(pg_catalog.=) (SELECT n.oid FROM "
         "pg_catalog.pg_namespace n WHERE n.nspname OPERATOR(pg_catalog.=) " +
         schema +
         ") AND c.relname OPERATOR(pg_catalog.=) ANY "
         "(ARRAY['db_search_guides', 'db_search_guide_tables', 'db_search_guide_cols']) ORDER BY "
         "c.relname";
}

}  // namespace

const std::string kGuideTableRightsQuery = GuideTableRightsQuery("pg_catalog.current_schema()");

void GuardGuideTables(rdo::rdoConnection& connection) {
  if (!ForDialect(connection.GetDialect()).GuardsGuideTables()) return;
  // Read before anything is pinned, so that nothing is changed when there is
  // nothing to take away.
  bool to_revoke = false;
  for (rdo::rdoResultset rights = connection.OpenResultset(kGuideTableRightsQuery); !rights.IsEOF();
       rights.MoveNext())
    to_revoke = to_revoke || (rights.Int("PublicWrites") && rights.Int("Owned"));
  if (!to_revoke) return;
  PinnedCatalogPath pinned(connection);
  std::vector<std::string> tables;
  for (rdo::rdoResultset rights =
           connection.OpenResultset(GuideTableRightsQuery(pinned.SchemaLiteral()));
       !rights.IsEOF(); rights.MoveNext())
    if (rights.Int("PublicWrites") && rights.Int("Owned"))
      tables.push_back(pinned.SchemaIdentifier() + "." + DoubleQuoted(rights.Text("Name")));
  // Taking a table's right away takes it from each of its columns too.
  for (const std::string& table : tables)
    connection.Execute("REVOKE INSERT, UPDATE, DELETE, TRUNCATE ON " + table + " FROM PUBLIC");
  pinned.Commit();
}

std::vector<std::string> GuideTableWriterWarnings(rdo::rdoConnection& connection) {
  if (!ForDialect(connection.GetDialect()).GuardsGuideTables()) return {};
  PinnedCatalogPath pinned(connection);
  const std::string guide = GuideTablesOf(pinned.SchemaLiteral());
  std::vector<std::string> warnings;
  const auto add = [&](const std::string& sql, auto line) {
    for (rdo::rdoResultset rows = connection.OpenResultset(sql); !rows.IsEOF(); rows.MoveNext())
      warnings.push_back("Warning: " + line(rows));
  };
  add(guide + "SELECT DISTINCT g.relname AS TableName, " + kGrantee +
          " AS Role FROM guide g CROSS JOIN LATERAL aclexplode(g.relacl) a WHERE "
          "a.privilege_type IN ('INSERT', 'UPDATE', 'DELETE', 'TRUNCATE') AND" +
          kUntrusted + "ORDER BY 1, 2",
      [](rdo::rdoResultset& row) {
        return row.Text("Role") + " may write " + row.Text("TableName") + kRunsForEveryCaller;
      });
  add(guide + "SELECT DISTINCT g.relname AS TableName, t.attname AS ColName, " + kGrantee +
          " AS Role FROM guide g JOIN pg_attribute t ON t.attrelid = g.oid CROSS JOIN LATERAL "
          "aclexplode(t.attacl) a WHERE a.privilege_type IN ('INSERT', 'UPDATE') AND" +
          kUntrusted + "ORDER BY 1, 2, 3",
      [](rdo::rdoResultset& row) {
        return row.Text("Role") + " may write the column " + row.Text("ColName") + " of " +
               row.Text("TableName") + kRunsForEveryCaller;
      });
  add(guide +
          "SELECT DISTINCT m.rolname AS Role, pg_get_userbyid(g.relowner) AS Owner FROM "
          "guide g, pg_roles m WHERE m.oid NOT IN (SELECT t.oid FROM trusted t) AND "
          "pg_has_role(m.oid, g.relowner, 'MEMBER') ORDER BY 1, 2",
      [](rdo::rdoResultset& row) {
        return row.Text("Role") + " is a member of " + row.Text("Owner") +
               ", which owns guide tables: it may write them, and their SQL runs with the rights "
               "of every caller of the search service.";
      });
  // The database's owner stands behind the role pg_database_owner.
  add(guide +
          "SELECT DISTINCT s.nspname AS Name, CASE WHEN s.holder = 0 THEN 'PUBLIC' ELSE "
          "pg_get_userbyid(s.holder) END AS Role FROM (SELECT n.nspname, CASE WHEN "
          "a.grantee <> 0 AND pg_get_userbyid(a.grantee) = 'pg_database_owner' THEN (SELECT "
          "d.datdba FROM pg_database d WHERE d.datname = current_database()) ELSE a.grantee "
          "END AS holder FROM pg_namespace n CROSS JOIN LATERAL aclexplode(coalesce(n.nspacl, "
          "acldefault('n', n.nspowner))) a WHERE n.nspname = ANY (" +
          pinned.SearchedSchemasArray() +
          "::name[]) AND a.privilege_type = 'CREATE') s WHERE s.holder NOT IN (SELECT t.oid "
          "FROM trusted t) ORDER BY 1, 2",
      [](rdo::rdoResultset& row) {
        return row.Text("Role") + " may create objects in the schema " + row.Text("Name") +
               ", where the guides' statements look for operators and functions: one made there "
               "for the exact types a guide uses is chosen over the built-in one and runs with "
               "the rights of every caller of the search service.";
      });
  for (rdo::rdoResultset rights =
           connection.OpenResultset(GuideTableRightsQuery(pinned.SchemaLiteral()));
       !rights.IsEOF(); rights.MoveNext())
    if (rights.Int("PublicWrites") && !rights.Int("Owned"))
      warnings.push_back("Warning: PUBLIC's right to write " + rights.Text("Name") +
                         " could not be taken away: only its owner " + rights.Text("Owner") +
                         " (or a member of that role) can do so, and this login is neither.");
  pinned.Commit();
  return warnings;
}

}  // namespace corvanty
