// SPDX-License-Identifier: Apache-2.0
#pragma once
// The corvanty command run as a child process with its own registry, ODBC
// configuration (the SQLite driver as "SQLite3") and data folder, all in one
// temporary folder: the user's files are never read or written.
#include <string>
#include <vector>

#include "support/odbcfixture.h"

namespace corvanty::testing {

struct CommandResult {
  int exit_code = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs command (a program and its arguments) with exactly the environment
// given ("NAME=value" entries; nothing is inherited), standard input empty,
// and waits for it to end. A program that cannot be started exits with 127.
CommandResult RunCommand(const std::vector<std::string>& environment,
                         const std::vector<std::string>& command);

class CorvantyCli {
 public:
  // Runs corvanty with args and standard input empty, through the wrapper
  // command when one is given (such as timeout). Nothing of the test
  // process's own environment reaches the child but the driver's and the
  // sanitizers' settings.
  CommandResult Run(const std::vector<std::string>& args,
                    const std::vector<std::string>& wrapper = {}) const;
  // Runs script with sh -e in the same configuration, the folder of the
  // corvanty under test first on the PATH.
  CommandResult RunShell(const std::string& script) const;
  // Runs a command that must succeed silently on standard error; returns
  // what it printed.
  std::string Succeed(const std::vector<std::string>& args) const;
  // What any command does, as "exit code|standard output|standard error".
  std::string Outcome(const std::vector<std::string>& args) const;

  // Adds a data source for a SQLite file (never created) to the odbc.ini.
  void AddDataSource(const std::string& name, const std::string& database_file) {
    odbc_.AddDataSource(name, database_file, {{"NoCreat", "1"}});
  }

  OdbcFixture& Odbc() { return odbc_; }
  std::string File(const std::string& name) const { return odbc_.File(name); }
  std::string Registry() const { return File("registry.db"); }
  std::string OdbcIni() const { return File("odbc.ini"); }

 private:
  std::vector<std::string> Environment() const;
  OdbcFixture odbc_;
};

// The whole content of a file; "" when it is no regular file.
std::string FileBytes(const std::string& path);

}  // namespace corvanty::testing
