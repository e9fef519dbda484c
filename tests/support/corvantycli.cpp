#include "support/corvantycli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/odbcfixture.h"

namespace corvanty::testing {

CorvantyCli::CorvantyCli() {
  std::ofstream(File("odbcinst.ini")) << "[SQLite3]\nDriver=" << SqliteOdbcDriverPath() << "\n";
  std::filesystem::create_directory(File("home"));
}

std::vector<std::string> CorvantyCli::Environment() const {
  std::vector<std::string> environment = {
      "CORVANTY_REGISTRY=" + Registry(),   "ODBCINI=" + OdbcIni(),
      "ODBCSYSINI=" + dir_.Path(),         "XDG_DATA_HOME=" + File("data"),
      "XDG_CONFIG_HOME=" + File("config"), "HOME=" + File("home")};
  // The sanitizers' settings reach the child, so that it is checked as the tests are.
  for (const char* passed : {"CORVANTY_SQLITE_ODBC_DRIVER", "ASAN_OPTIONS", "UBSAN_OPTIONS"})
    if (const char* value = std::getenv(passed))
      environment.push_back(std::string(passed) + "=" + value);
  return environment;
}

CommandResult CorvantyCli::Run(const std::vector<std::string>& args) const {
  return RunCommand(CORVANTY_CLI_PATH, args, Environment());
}

std::string CorvantyCli::Succeed(const std::vector<std::string>& args) const {
  CommandResult result = Run(args);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  return result.out;
}

void CorvantyCli::AddDataSource(const std::string& name, const std::string& database_file) const {
  std::ofstream(OdbcIni(), std::ios::app)
      << "[" << name << "]\nDriver=" << SqliteOdbcDriverPath() << "\nDatabase=" << database_file
      << "\nNoCreat=1\nTimeout=2000\n";
}

std::string FileBytes(const std::string& path) {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(path, ignored)) return "";
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace corvanty::testing
