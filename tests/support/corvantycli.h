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

  // Runs corvanty with args, through the wrapper command when one is given
  // (such as timeout). Nothing of the test process's own configuration
  // reaches the child but the sanitizers' settings.
  CommandResult Run(const std::vector<std::string>& args,
                    const std::vector<std::string>& wrapper = {}) const;
  // Runs a command that must succeed silently on standard error; returns
  // what it printed.
  std::string Succeed(const std::vector<std::string>& args) const;

  // Adds a data source for a SQLite file (never created) to the odbc.ini.
  void AddDataSource(const std::string& name, const std::string& database_file) const;

  std::string File(const std::string& name) const { return dir_.File(name); }
  std::string Registry() const { return File("registry.db"); }
  std::string OdbcIni() const { return File("odbc.ini"); }

 private:
  TempDir dir_;
};

// The whole content of a file; "" when it is no regular file.
std::string FileBytes(const std::string& path);

}  // namespace corvanty::testing
