// SPDX-License-Identifier: Apache-2.0
#include "support/databasetest.h"

#include "connections/connectionstore.h"
#include "connections/rdo.h"
#include "guides/currentguide.h"
#include "schema/searchguidetables.h"

namespace corvanty::testing {

void ForgetConnectionAndGuide() {
  using namespace basCorvantyAdmin;
  gstrDSN.clear();
  gstrUID.clear();
  gstrPWD.clear();
  gstrConnect.clear();
  gintActiveConnection = 0;
  gintDSGID = 0;
  gstrDSGMode.clear();
}

void DatabaseTest::SetUp() {
  ForgetConnectionAndGuide();
  previous_prompter_ = SetPrompter(boxes_);
  rdo::SetStatementObserver([this](const std::string& sql) { sent_.push_back(sql); });
}

void DatabaseTest::TearDown() {
  rdo::SetStatementObserver(nullptr);
  SetPrompter(previous_prompter_);
  ForgetConnectionAndGuide();
}

std::string DatabaseTest::UseNewDatabase(const std::string& name, const std::string& seed_sql) {
  if (postgres()) {
    schema_ = std::make_unique<PostgresSchema>(name + "OnPostgres", seed_sql);
    connect_ = schema_->connect;
    return schema_->dsn;
  }
  connect_ = odbc_.AddSqliteDatabase(name, seed_sql);
  file_ = odbc_.File(name + ".db");
  return name;
}

void DatabaseTest::Exec(const std::string& sql) {
  if (postgres())
    schema_->Query(sql);
  else
    ExecSqlite(file_, sql);
}

std::vector<std::string> DatabaseTest::Column(const std::string& sql) {
  return postgres() ? schema_->Query(sql) : SqliteColumn(file_, sql);
}

std::vector<std::string> DatabaseTest::Tables() {
  if (!postgres()) return SqliteObjects(file_, "table");
  return Column(
      "SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema() "
      "AND table_type = 'BASE TABLE' ORDER BY table_name COLLATE \"C\"");
}

void DatabaseTest::UseDataSource(const std::string& name) { connect_ = "DSN=" + name + ";"; }

std::string GuideTablesSql(const std::vector<std::string_view>& tables, rdo::Dialect dialect) {
  std::string script;
  for (std::string_view table : tables) {
    std::vector<std::string> statements = *PortableTableStatements(std::string(table), dialect);
    for (const std::string& statement : statements) script += statement + ";\n";
  }
  return script;
}

std::vector<std::string> SqliteObjects(const std::string& file, const std::string& type) {
  return SqliteColumn(file, "SELECT name FROM sqlite_master WHERE type = '" + type +
                                "' AND name NOT LIKE 'sqlite_%' ORDER BY name");
}

std::vector<std::string> SqliteColumn(const std::string& file, const std::string& sql) {
  std::vector<std::string> values;
  for (const auto& row : QuerySqlite(file, sql)) values.push_back(row.at(0).value_or("NULL"));
  return values;
}

}  // namespace corvanty::testing
