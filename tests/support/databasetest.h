// SPDX-License-Identifier: Apache-2.0
#pragma once
// A test against real databases through the ODBC driver, with no Qt: SQLite
// files, or schemas on the shared PostgreSQL server (see OnEachServer); its
// own ODBC configuration, message boxes recorded and answered by a
// scripted prompter, every statement sent recorded, and the active
// connection reset before and after. The test works on a session of the
// database it made (DatabaseSession); the forms' active connection is left
// to the GUI tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "connections/rdo.h"
#include "connections/session.h"
#include "support/odbcfixture.h"
#include "support/postgresserver.h"
#include "ui/msgbox.h"

namespace corvanty::testing {

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  bool postgres() const { return server_ == rdo::Dialect::PostgreSql; }
  // Creates database name seeded with seed_sql and makes it the one the
  // test works on: SQLite file name.db with a data source of the same name,
  // or a new schema reached through data source name + "OnPostgres".
  // Returns its data source name.
  std::string UseNewDatabase(const std::string& name, const std::string& seed_sql = "");
  // Runs sql in the database made last.
  void Exec(const std::string& sql);
  // The first column of each row sql returns there, NULL read as "NULL".
  std::vector<std::string> Column(const std::string& sql);
  // The names of its tables as the server keeps them, sorted.
  std::vector<std::string> Tables();
  // Makes data source name the one the test works on.
  void UseDataSource(const std::string& name);
  // A new session of the database the test works on, opened when first used.
  Session DatabaseSession() const { return Session(connect_); }

  OdbcFixture odbc_;
  std::shared_ptr<ScriptedPrompter> boxes_ = std::make_shared<ScriptedPrompter>();
  std::vector<std::string> sent_;  // every statement sent, in order
  rdo::Dialect server_ = rdo::Dialect::Sqlite;

 private:
  std::shared_ptr<Prompter> previous_prompter_;
  std::string file_;     // the SQLite database made last
  std::string connect_;  // the connect string of the database the test works on
  std::unique_ptr<PostgresSchema> schema_;
};

// As the tool starts: no active connection, no current guide.
void ForgetConnectionAndGuide();

// The same test body on each server: SQLite, then PostgreSQL (skipped as
// SkipWithoutPostgres says, and then run on SQLite's set-up).
template <class Base>
class OnEachServer : public Base, public ::testing::WithParamInterface<rdo::Dialect> {
 protected:
  void SetUp() override {
    if (GetParam() == rdo::Dialect::PostgreSql) SkipWithoutPostgres();
    if (!this->IsSkipped() && !this->HasFatalFailure()) this->server_ = GetParam();
    Base::SetUp();
  }
};

// The statements that build the named guide tables, as one script.
std::string GuideTablesSql(const std::vector<std::string_view>& tables,
                           rdo::Dialect dialect = rdo::Dialect::Sqlite);

// Names of the objects of a kind ("table", "view", "index") in a SQLite file,
// sorted, SQLite's own objects left out.
std::vector<std::string> SqliteObjects(const std::string& file, const std::string& type);

// The first column of every row a query returns, NULL read as "NULL".
std::vector<std::string> SqliteColumn(const std::string& file, const std::string& sql);

}  // namespace corvanty::testing
