#pragma once
// The corvanty command run as a child process with its own registry, ODBC
// configuration (the SQLite driver as "SQLite3") and data folder, all in one
// temporary folder: the user's files are never read or written.
#include <string>
#include <vector>

#include "support/runcommand.h"
#include "support/tempdir.h"

namespace corvanty::testing {

class CorvantyCli {
 public:
  CorvantyCli();

  // The child's environment, built from scratch: nothing of the test
  // process's own configuration reaches it.
  std::vector<std::string> Environment() const;
  CommandResult Run(const std::vector<std::string>& args) const;
  // Runs a command that must succeed silently on standard error and returns
  // what it printed.
  std::string Succeed(const std::vector<std::string>& args) const;

  // Adds a data source for a SQLite file to the child's odbc.ini.
  void AddDataSource(const std::string& name, const std::string& database_file) const;

  std::string File(const std::string& name) const { return dir_.File(name); }
  std::string Registry() const { return File("registry.db"); }
  std::string OdbcIni() const { return File("odbc.ini"); }

 private:
  TempDir dir_;
};

// The whole content of a file ("" when it cannot be read).
std::string FileBytes(const std::string& path);

}  // namespace corvanty::testing
