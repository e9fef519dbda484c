#pragma once
// A test against real SQLite databases through the ODBC driver, with no Qt:
// its own ODBC configuration, message boxes recorded and answered by a
// scripted prompter, every statement sent recorded, and the active
// connection reset before and after.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "connections/rdo.h"
#include "support/odbcfixture.h"
#include "ui/msgbox.h"

namespace corvanty::testing {

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates name.db seeded with seed_sql, makes its data source the active
  // connection and returns the file's path.
  std::string UseNewDatabase(const std::string& name, const std::string& seed_sql = "");
  // Makes data source name the active connection.
  static void UseDataSource(const std::string& name);

  OdbcFixture odbc_;
  std::shared_ptr<ScriptedPrompter> boxes_ = std::make_shared<ScriptedPrompter>();
  std::vector<std::string> sent_;  // every statement sent, in order

 private:
  std::shared_ptr<Prompter> previous_prompter_;
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
