// SPDX-License-Identifier: Apache-2.0
// The PostgreSQL search service and the engine as a hostile database user
// would try them: operators, functions and tables planted where they could
// be chosen instead of the built-in ones, a decoy table on the caller's
// search path, guides whose stored SQL hides a second statement behind
// PostgreSQL's own quotes, and every way a role can come to change what the
// guides run, which the tool must take away from PUBLIC or name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "connections/connectionstore.h"
#include "connections/serverdialect.h"
#include "index/trigramindex.h"
#include "schema/guidetablewriters.h"
#include "schema/readiness.h"
#include "schema/searchengineinstaller.h"
#include "schema/searchservicestate.h"
#include "search/searchengine.h"
#include "search/statementrows.h"
#include "statements/cutoff.h"
#include "statements/sqlliteral.h"
#include "support/randomrun.h"
#include "support/searchdatabase.h"

namespace corvanty {
namespace {

using Texts = std::vector<std::string>;

Texts Sorted(Texts lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

class PostgresTrust : public testing::EachServer {
 protected:
  // A shop of its own on the server; its schema's name.
  std::string Shop(const std::string& name, const std::string& more_sql = "") {
    connect_ = AddShop(name, more_sql);
    return Query("SELECT current_schema()").at(0);
  }
  // The same in a database of its own, searched through the search
  // extension created in its schema (a database holds it once).
  std::string ExtensionShop(const std::string& name, const std::string& more_sql = "") {
    connect_ = schemas_
                   .emplace_back(testing::AddPostgresShop(
                       name + "OnPostgres", more_sql, testing::SharedPostgresServer(),
                       testing::PostgresSchema::Database::OwnDatabase))
                   ->connect;
    schema().Query(
        "DO $$ BEGIN EXECUTE format('CREATE EXTENSION corvanty_search SCHEMA %I', "
        "current_schema()); END $$");
    return schema().Query("SELECT current_schema()").at(0);
  }
  testing::PostgresSchema& schema() { return *schemas_.back(); }

  // The built-in engine's lines for the guide, ResultList*IDColumn*DSG_ID.
  Texts EngineLines(int32_t guide, const std::string& criteria) {
    Texts lines;
    for (auto run = StartSearch(connect_, {guide}, criteria); auto found = run->Next();)
      lines.push_back(found->ResultList + "*" + found->IDColumn + "*" +
                      std::to_string(found->DSG_ID));
    return lines;
  }

  // A role that may create objects in the install schema and in public
  // plants an object for each call the service makes (see the test below).
  void ExpectNothingPlantedRuns(bool extension);
  // Stored guides whose SQL would run a second statement (the test below).
  void ExpectNoSecondStatementRuns(bool extension);

  std::string connect_;
};
INSTANTIATE_TEST_SUITE_P(On, PostgresTrust, ::testing::Values(rdo::Dialect::PostgreSql),
                         testing::ServerParamName);

// What the planted objects stand in for: {the object as created, its
// arguments, the built-in it answers with}. Each has argument types that the
// service's own text meets without an exact built-in match (a varchar
// column, an integer joined to text), or the exact types of a built-in,
// which must then stay first.
struct Plant {
  const char* object;  // "FUNCTION name" or "OPERATOR op"
  const char* arguments;
  const char* returns;
  const char* answer;  // the built-in's answer over $1, $2, $3
};
const Plant kPlants[] = {
    {"OPERATOR ||", "text, integer", "text", "pg_catalog.textcat($1, CAST($2 AS pg_catalog.text))"},
    {"OPERATOR ||", "integer, text", "text", "pg_catalog.textcat(CAST($1 AS pg_catalog.text), $2)"},
    {"OPERATOR ||", "varchar, varchar", "text", "pg_catalog.textcat($1, $2)"},
    {"OPERATOR ||", "varchar, text", "text", "pg_catalog.textcat($1, $2)"},
    {"OPERATOR ||", "text, varchar", "text", "pg_catalog.textcat($1, $2)"},
    {"OPERATOR ||", "text, text", "text", "pg_catalog.textcat($1, $2)"},
    {"OPERATOR ~~*", "varchar, text", "boolean", "pg_catalog.texticlike($1, $2)"},
    {"OPERATOR ~~*", "text, text", "boolean", "pg_catalog.texticlike($1, $2)"},
    {"OPERATOR =", "varchar, text", "boolean", "pg_catalog.texteq($1, $2)"},
    {"OPERATOR <>", "varchar, text", "boolean", "pg_catalog.textne($1, $2)"},
    {"OPERATOR ~", "varchar, text", "boolean", "pg_catalog.textregexeq($1, $2)"},
    {"OPERATOR !~", "varchar, text", "boolean", "pg_catalog.textregexne($1, $2)"},
    {"OPERATOR =", "oid, integer", "boolean", "pg_catalog.oideq($1, CAST($2 AS pg_catalog.oid))"},
    // The catalogue's own domains (information_schema's names and texts).
    {"OPERATOR =", "varchar, varchar", "boolean", "pg_catalog.texteq($1, $2)"},
    {"FUNCTION lower", "name", "text", "pg_catalog.lower($1)"},
    {"FUNCTION format", "text, name, name", "text", "pg_catalog.format($1, $2, $3)"},
    {"FUNCTION left", "varchar, integer", "text", "pg_catalog.left($1, $2)"},
    {"FUNCTION char_length", "varchar", "integer", "pg_catalog.char_length($1)"},
    {"FUNCTION btrim", "varchar, text", "text", "pg_catalog.btrim($1, $2)"},
    {"FUNCTION lower", "varchar", "text", "pg_catalog.lower($1)"},
    {"FUNCTION upper", "varchar", "text", "pg_catalog.upper($1)"},
    {"FUNCTION substr", "varchar, integer, integer", "text", "pg_catalog.substr($1, $2, $3)"},
    {"FUNCTION substr", "text, integer, integer", "text", "pg_catalog.substr($1, $2, $3)"},
    {"FUNCTION replace", "varchar, text, text", "text", "pg_catalog.replace($1, $2, $3)"},
    {"FUNCTION regexp_replace", "varchar, text, text, text", "text",
     "pg_catalog.regexp_replace($1, $2, $3, $4)"},
    {"FUNCTION strpos", "varchar, text", "integer", "pg_catalog.strpos($1, $2)"},
    {"FUNCTION string_to_array", "varchar, text", "text[]", "pg_catalog.string_to_array($1, $2)"},
    {"FUNCTION like_escape", "text, text", "text", "pg_catalog.like_escape($1, $2)"},
    {"FUNCTION to_char", "timestamp, text", "text", "pg_catalog.to_char($1, $2)"},
    {"FUNCTION pg_advisory_xact_lock", "integer", "void",
     "pg_catalog.pg_advisory_xact_lock(CAST($1 AS pg_catalog.int8))"},
    {"FUNCTION set_config", "text, text, boolean", "text", "pg_catalog.set_config($1, $2, $3)"},
};

// A sequence of the install schema that counts the runs of one planted
// object: sequences keep their count when a transaction rolls back.
std::string Canary(const std::string& install, const std::string& what) {
  return install + "." + DoubleQuoted("canary " + what);
}

// The statements that plant each object in schema, answering as the
// built-in does after it counts itself in its canary.
std::string PlantSql(const std::string& schema, const std::string& install,
                     const std::string& place) {
  std::string sql;
  int n = 0;
  for (const Plant& plant : kPlants) {
    const std::string object = plant.object, name = object.substr(object.find(' ') + 1);
    const bool op = object.rfind("OPERATOR", 0) == 0;
    const std::string function = schema + "." + (op ? "planted_" + std::to_string(++n) : name);
    const std::string canary = Canary(install, place + " " + name + "(" + plant.arguments + ")");
    sql += "CREATE SEQUENCE " + canary + "; CREATE FUNCTION " + function + "(" + plant.arguments +
           ") RETURNS " + plant.returns + " LANGUAGE sql AS $$ SELECT " + plant.answer +
           " FROM (SELECT pg_catalog.nextval('" + QuoteApostrophes(canary) + "')) AS seen $$;";
    if (op) {
      const std::string arguments = plant.arguments;
      const size_t comma = arguments.find(',');
      sql += "CREATE OPERATOR " + schema + "." + name +
             " (LEFTARG = " + arguments.substr(0, comma) +
             ", RIGHTARG = " + arguments.substr(comma + 2) + ", FUNCTION = " + function + ");";
    }
  }
  return sql;
}

// Besides the shop's guides: 8, orders with a date shown by a conversion,
// separated by text, its WHERE clause comparing a text column.
const char kMoreGuides[] =
    "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
    " (8, 'FROM orders o', 'WHERE o.item <> ''none''');"
    "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
    " Show_in_list, Is_search_column, List_column_separator, Conv_required, Conversion_expression,"
    " Is_key_column) VALUES (8, 1, 'o', 'id', 0, 0, '+'' / ''+', 0, '', -1),"
    " (8, 2, 'o', 'item', -1, -1, '+'' / ''+', 0, '', 0),"
    " (8, 3, 'o', 'id', -1, 0, '+'' / ''+', -1, 'CONVERT(varchar(10), ''2024-06-14'', 103)', 0);";

const std::vector<int32_t> kGuides = {1, 2, 3, 8};
const char* const kCriteria[] = {"o", "\"car\" or \"lee\"", "an'"};

// A role that may create objects in the install schema and in public plants
// an object for each call the service makes, and views over the guide and
// shop tables in public: a superuser calling both functions of the service
// for every guide, indexed and not, with public first on its path, never
// runs one, and finds what the built-in engine finds. Nor does the tool
// while it installs the service or checks the database.
TEST_P(PostgresTrust, NothingAnotherRolePlantsIsEverRun) {
  for (const bool extension : {false, true}) {
    SCOPED_TRACE(extension ? "the search extension" : "the PL/pgSQL service");
    ExpectNothingPlantedRuns(extension);
  }
}

void PostgresTrust::ExpectNothingPlantedRuns(bool extension) {
  const std::string install =
      extension ? ExtensionShop("PlantedExtension", kMoreGuides) : Shop("Planted", kMoreGuides);
  const testing::PostgresRole mallory(schema(), "corvanty_mallory_");
  schema().Query("GRANT USAGE, CREATE ON SCHEMA " + install + ", public TO " + mallory.name +
                 "; GRANT SELECT ON ALL TABLES IN SCHEMA " + install + " TO " + mallory.name);
  std::string shadows;
  for (const char* table : {"customers", "orders", "db_search_guides", "db_search_guide_tables",
                            "db_search_guide_cols"}) {
    const std::string canary = Canary(install, std::string("public ") + table);
    shadows += "CREATE SEQUENCE " + canary + "; CREATE VIEW public." + table +
               " AS SELECT t.* FROM " + install + "." + table + " t, (SELECT pg_catalog.nextval('" +
               QuoteApostrophes(canary) + "')) AS seen;";
  }
  schema().Query("SET ROLE " + mallory.name + ";" + PlantSql(install, install, "install") +
                 PlantSql("public", install, "public") + shadows);
  EXPECT_EQ(schema().Query("SELECT count(*) FROM pg_proc WHERE proowner = '" + mallory.name +
                           "'::regrole"),
            Texts{std::to_string(2 * std::size(kPlants))});

  Session session(connect_);
  if (!extension) {
    ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
    ASSERT_TRUE(basCorvantyAdmin::BuildSearchEngine(session));
  }
  rdo::rdoConnection& tool = session.Connection();
  GuideTableWriterWarnings(tool);
  // What the guide editors ask of the catalogue.
  tool.OpenResultset(PostgresDialect().UserTablesQuery());
  tool.OpenResultset(PostgresDialect().ColumnCatalogueQuery("'customers','orders'"));
  size_t compared = 0;
  for (const bool indexed : {false, true}) {
    for (int32_t guide : kGuides)
      if (indexed) BuildTrigramIndex(tool, guide);
    for (int32_t guide : kGuides)
      for (const char* criteria : kCriteria) {
        const std::string arguments =
            "('" + std::to_string(guide) + "', '" + QuoteApostrophes(criteria) + "')";
        const std::string call = "SET search_path = public, " + install + "; SELECT ";
        const Texts rows = Sorted(
            schema().Query(call + "pg_catalog.concat_ws('*', resultlist, idcolumn, dsg_id) FROM " +
                           install + ".velmorastine_search" + arguments));
        const Texts statements =
            schema().Query(call + "sql FROM " + install + ".velmorastine_search_sql" + arguments);
        const Texts expected = Sorted(EngineLines(guide, criteria));
        EXPECT_EQ(rows, expected) << guide << " " << criteria;
        EXPECT_EQ(statements,
                  Texts{PlanSearch(tool, {guide}, SearchCriteria(criteria)).statements[0].SQL});
        compared += expected.size();
      }
  }
  EXPECT_GE(compared, 20u);  // not a comparison of empty answers
  // Each canary that counted a run, by what was planted.
  EXPECT_EQ(schema().Query("SELECT string_agg(substr(sequencename, 8), ', ') FROM pg_sequences "
                           "WHERE schemaname = current_schema() AND last_value IS NOT NULL"),
            Texts{"NULL"});
}

// The service and the guide tables in a schema of their own, on the tool's
// search path; an application role whose path is another schema, where a
// decoy table of the same name stands (as public would be on most
// databases): the service searches the tables the tool searched, so it finds
// what the tool finds.
TEST_P(PostgresTrust, TheServiceSearchesTheTablesTheToolSearched) {
  const std::string shop = Shop("Decoy");
  const testing::PostgresRole clerk(schema(), "corvanty_clerk_");
  const std::string decoy = clerk.name + "_decoy";
  Session session(connect_);
  ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
  schema().Query("CREATE SCHEMA " + decoy + " AUTHORIZATION " + clerk.name + "; CREATE TABLE " +
                 decoy + ".customers (id int, name text, city text); INSERT INTO " + decoy +
                 ".customers VALUES (99, 'Decoy', 'Lisbon'); GRANT SELECT ON " + decoy +
                 ".customers TO " + clerk.name + "; GRANT USAGE ON SCHEMA " + shop + " TO " +
                 clerk.name +
                 "; GRANT SELECT ON customers, orders, Db_Search_Guide_Tables, "
                 "Db_Search_Guide_Cols TO " +
                 clerk.name);
  for (int32_t guide : {1, 2})
    EXPECT_EQ(
        Sorted(schema().Query("SET ROLE " + clerk.name + "; SET search_path = " + decoy +
                              "; SELECT pg_catalog.concat_ws('*', resultlist, idcolumn, "
                              "dsg_id) FROM " +
                              shop + ".velmorastine_search('" + std::to_string(guide) + "', 'a')")),
        Sorted(EngineLines(guide, "a")))
        << guide;
}

// Stored guides whose SQL would run a second statement on PostgreSQL, written
// by SQL past the tables editor: neither the engine nor the service runs
// them, and a statement of two sent as a search statement runs neither.
TEST_P(PostgresTrust, NoStoredGuideRunsASecondStatement) {
  for (const bool extension : {false, true}) {
    SCOPED_TRACE(extension ? "the search extension" : "the PL/pgSQL service");
    ExpectNoSecondStatementRuns(extension);
  }
}

void PostgresTrust::ExpectNoSecondStatementRuns(bool extension) {
  const std::string guides =
      "CREATE TABLE victim (x int); INSERT INTO victim VALUES (1), (2);"
      "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES"
      " (11, 'FROM customers c', 'WHERE c.city <> $$''$$ ; DELETE FROM victim; SELECT '''' -- ''')"
      ",(12, 'FROM customers c', 'WHERE c.name <> E''\\'''' ; DELETE FROM victim; SELECT ''''')"
      ",(13, 'FROM customers c /* a /* nested */ ; DELETE FROM victim; */', NULL)"
      ",(14, 'FROM customers c', 'WHERE c.name = ANY (ARRAY['']'']) ; DELETE FROM victim; SELECT"
      " '']''')"
      ",(15, 'FROM customers c', 'WHERE c.name <> $q$ ; $q$ AND c.city = ''Lyon''')"
      ",(16, 'FROM customers c', NULL);"
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
      " Conv_required, Conversion_expression) SELECT g, 1, 'c', 'name', 0, '' FROM"
      " generate_series(11, 15) g;"
      "INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,"
      " Conv_required, Conversion_expression) VALUES (16, 1, 'c', 'name', -1,"
      " 'c.name) FROM customers c; DELETE FROM victim; SELECT (c.name');";
  if (extension) {
    ExtensionShop("TwoStatementsExtension", guides);
  } else {
    Shop("TwoStatements", guides);
    Session session(connect_);
    ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
  }
  const std::string kCutOff =
      " clause holds a comment (-- or /*) or a ; outside quotes, which would cut off the search "
      "conditions.";
  const std::pair<int32_t, std::string> cases[] = {
      {11, "its WHERE" + kCutOff},
      {12, "its WHERE" + kCutOff},
      {13, "its FROM" + kCutOff},
      {14, "its WHERE" + kCutOff},
      {15, ""},  // the ; is inside a dollar quote
      {16,
       "its columns hold a comment (-- or /*), a ; or a quote they do not close, which would "
       "cut off the search conditions."},
  };
  for (const auto& [guide, refusal] : cases) {
    const std::string expected = refusal.empty()
                                     ? "Carla O'Hara*0*15"
                                     : "Error: Database Search Guide " + std::to_string(guide) +
                                           " cannot be searched: " + refusal;
    std::string engine, service;
    try {
      for (const std::string& line : EngineLines(guide, "")) engine += line;
    } catch (const rdo::DatabaseError& error) {
      engine = error.what();
    }
    try {
      for (const std::string& line :
           schema().Query("SELECT concat_ws('*', resultlist, idcolumn, dsg_id) FROM "
                          "velmorastine_search('" +
                          std::to_string(guide) + "', '')"))
        service += line;
    } catch (const std::runtime_error& error) {
      service = error.what();
    }
    EXPECT_THAT(engine, ::testing::HasSubstr(expected)) << guide;
    EXPECT_THAT(service, ::testing::HasSubstr(expected)) << guide;
  }
  // Past every refusal, a text of two statements sent as a search statement.
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect_);
  {
    rdo::Transaction transaction = connection.BeginTrans();
    EXPECT_THROW(OpenStatementRows(connection, "SELECT 1; DELETE FROM victim", 0)->Fetch(),
                 rdo::DatabaseError);
  }
  EXPECT_EQ(schema().Query("SELECT count(*) FROM victim"), Texts{"2"});
}

// The service's own refusal reads PostgreSQL's quotes as the engine does:
// random texts of quotes, dollar tags, backslashes, comment marks and ;
// give the same first mark, or the same unclosed quote, on both.
TEST_P(PostgresTrust, TheServiceReadsQuotesAsTheEngineDoes) {
  Shop("Quotes");
  Session session(connect_);
  ASSERT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
  const char* const kPieces[] = {"'",  "''", "\"", "E'", "e'", "xe'", "\\", "$$", "$q$", "$1",
                                 "a$", "--", "-",  "/*", "*/", ";",   " ",  "ab", "é"};
  const testing::RandomRun run(20261207);
  std::mt19937 rng(run.Seed());
  const size_t kTexts = run.Cases(400);
  std::string sql;
  Texts engine;
  for (size_t i = 0; i < kTexts; ++i) {
    std::string text;
    for (size_t n = rng() % 9; n > 0; --n) text += kPieces[rng() % std::size(kPieces)];
    const std::optional<CutOff> cut = FirstCutOff(text, rdo::Dialect::PostgreSql);
    engine.push_back(cut ? cut->mark + (cut->open_quote ? " open" : " mark") : "none");
    sql += std::string(sql.empty() ? "" : " UNION ALL ") + "SELECT " + std::to_string(i) +
           " AS n, coalesce(c.mark || CASE WHEN c.open_quote THEN ' open' ELSE ' mark' END, "
           "'none') AS found FROM velmorastine_search_cut_off('" +
           QuoteApostrophes(text) + "') c";
  }
  EXPECT_EQ(Query("SELECT found FROM (" + sql + ") s ORDER BY n"), engine);
}

// Every way in that the tool finds: grants on tables and columns, members of
// the tables' owner, CREATE on the schema, and PUBLIC's grants, which it
// takes away whenever it checks, the column ones and TRUNCATE too, and
// names when it cannot. A service of another owner, or newer, is left and
// said so.
TEST_P(PostgresTrust, EveryRoleThatCanChangeWhatGuidesRunIsNamedAndPublicLosesItsRights) {
  const std::string shop = Shop("Writers");
  const testing::PostgresRole owner(schema(), "corvanty_owner_");
  const testing::PostgresRole editor(schema(), "corvanty_editor_");
  const testing::PostgresRole member(schema(), "corvanty_member_");
  const testing::PostgresRole creator(schema(), "corvanty_creator_");
  schema().Query("ALTER TABLE Db_Search_Guides OWNER TO " + owner.name +
                 "; ALTER TABLE Db_Search_Guide_Tables OWNER TO " + owner.name +
                 "; ALTER TABLE Db_Search_Guide_Cols OWNER TO " + owner.name +
                 "; GRANT UPDATE (where_clause) ON Db_Search_Guide_Tables TO " + editor.name +
                 "; GRANT " + owner.name + " TO " + member.name + "; GRANT CREATE ON SCHEMA " +
                 shop + " TO " + creator.name + "; GRANT USAGE, CREATE ON SCHEMA " + shop + " TO " +
                 owner.name);
  const auto grant_public = [&] {
    schema().Query(
        "GRANT INSERT ON Db_Search_Guides TO PUBLIC; GRANT TRUNCATE ON "
        "Db_Search_Guide_Cols TO PUBLIC; GRANT UPDATE (from_clause) ON "
        "Db_Search_Guide_Tables TO PUBLIC");
  };
  const auto warnings = [&](const std::string& connect) {
    Session session(connect);
    EXPECT_TRUE(basCorvantyAdmin::CheckDatabaseReadiness(session));
    rdo::rdoConnection& connection = session.Connection();
    Texts lines = GuideTableWriterWarnings(connection);
    lines.push_back(SearchServiceReport(ReadSearchServiceState(connection)));
    return lines;
  };
  const std::string kRuns =
      ", whose SQL runs with the rights of every caller of the search service.";
  const std::string kCreates =
      ", where the guides' statements look for operators and functions: one made there for the "
      "exact types a guide uses is chosen over the built-in one and runs with the rights of every "
      "caller of the search service.";
  const Texts named = {
      "Warning: " + editor.name + " may write the column where_clause of db_search_guide_tables" +
          kRuns,
      "Warning: " + member.name + " is a member of " + owner.name +
          ", which owns guide tables: it may write them, and their SQL runs with the rights of "
          "every caller of the search service.",
      "Warning: " + creator.name + " may create objects in the schema " + shop + kCreates,
  };

  // Granted after an installation by the superuser, PUBLIC's rights go at
  // the next check, whoever owns the tables.
  grant_public();
  Texts expected = named;
  expected.push_back(
      "Search service: velmorastine_search (PL/pgSQL) in the "
      "schema " +
      shop + ", version 3, owned by " + schema().server.user + ".");
  EXPECT_EQ(warnings(connect_), expected);
  EXPECT_EQ(schema().Query("SELECT count(*) FROM pg_class c, aclexplode(c.relacl) a WHERE "
                           "a.grantee = 0 AND c.relname LIKE 'db_search_guide%' AND "
                           "c.relnamespace = current_schema()::regnamespace"),
            Texts{"0"});
  EXPECT_EQ(schema().Query("SELECT count(*) FROM pg_attribute t, aclexplode(t.attacl) a WHERE "
                           "a.grantee = 0 AND t.attrelid = 'db_search_guide_tables'::regclass"),
            Texts{"0"});

  // A login that is not their owner cannot take them away, and says so; the
  // superuser's service, older than the tool's, it cannot replace.
  grant_public();
  schema().Query(
      "COMMENT ON FUNCTION velmorastine_search(text, text, integer) IS 'Corvanty search "
      "service, version 2'; GRANT USAGE ON SCHEMA " +
      shop + " TO " + editor.name + "; GRANT SELECT ON ALL TABLES IN SCHEMA " + shop + " TO " +
      editor.name);
  expected = {"Warning: PUBLIC may write db_search_guide_cols" + kRuns,
              "Warning: PUBLIC may write db_search_guides" + kRuns,
              "Warning: PUBLIC may write the column from_clause of db_search_guide_tables" + kRuns};
  expected.insert(expected.end(), named.begin(), named.end());
  for (const char* table : {"db_search_guide_cols", "db_search_guide_tables", "db_search_guides"})
    expected.push_back(std::string("Warning: PUBLIC's right to write ") + table +
                       " could not be taken away: only its owner " + owner.name +
                       " (or a member of that role) can do so, and this login is neither.");
  expected.push_back("Warning: the search service velmorastine_search (PL/pgSQL) in the schema " +
                     shop + ", version 2, owned by " + schema().server.user +
                     ", is older than this tool's (version 3), and this login does not have its "
                     "owner's rights to replace it: only " +
                     schema().server.user +
                     " can (Tools > Rebuild Search Engine, or corvanty check).");
  EXPECT_EQ(warnings(editor.Connect()), expected);
}

}  // namespace
}  // namespace corvanty
