// SPDX-License-Identifier: Apache-2.0
#pragma once
// The benchmark's own ODBC configuration: a temporary folder holding
// odbcinst.ini and odbc.ini, with ODBCSYSINI, ODBCINI and HOME pointed there
// before any ODBC call, so the user's own files are never read or written.
// Child processes inherit it.
#include <string>

namespace corvanty::bench {

class BenchFolder {
 public:
  BenchFolder();   // a fresh temporary folder
  ~BenchFolder();  // removed with everything in it
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes the configuration into folder and points the environment at it.
// Throws std::runtime_error when the SQLite ODBC driver is not installed.
void UseOwnOdbcConfiguration(const BenchFolder& folder);

// Adds a data source for the SQLite file that streams rows (StepAPI=1) and
// returns its connect string.
std::string AddStreamingDataSource(const BenchFolder& folder, const std::string& name,
                                   const std::string& database_file);

}  // namespace corvanty::bench
