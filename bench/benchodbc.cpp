// SPDX-License-Identifier: Apache-2.0
#include "bench/benchodbc.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "connections/odbcdriverpath.h"

namespace corvanty::bench {
namespace {

void AppendToFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::app);
  file << text;
  if (!file) throw std::runtime_error("cannot write " + path);
}

std::string DriverPath() {
  std::string path = SqliteOdbcDriverPath();
  if (path.empty()) throw std::runtime_error("the SQLite ODBC driver is not installed");
  return path;
}

}  // namespace

BenchFolder::BenchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvanty-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
}

BenchFolder::~BenchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void UseOwnOdbcConfiguration(const BenchFolder& folder) {
  AppendToFile(folder.File("odbcinst.ini"), "[SQLite3]\nDriver=" + DriverPath() + "\n");
  AppendToFile(folder.File("odbc.ini"), "");
  setenv("ODBCSYSINI", folder.File("").c_str(), 1);
  setenv("ODBCINI", folder.File("odbc.ini").c_str(), 1);
  setenv("HOME", folder.File("").c_str(), 1);
}

std::string AddStreamingDataSource(const BenchFolder& folder, const std::string& name,
                                   const std::string& database_file) {
  // The driver by absolute path: unixODBC may have read another odbcinst.ini
  // before the environment pointed here.
  AppendToFile(folder.File("odbc.ini"), "[" + name + "]\nDriver=" + DriverPath() + "\nDatabase=" +
                                            database_file + "\nStepAPI=1\nTimeout=5000\n");
  return "DSN=" + name + ";";
}

}  // namespace corvanty::bench
