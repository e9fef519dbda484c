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

CommandResult CorvantyCli::Run(const std::vector<std::string>& args,
                               const std::vector<std::string>& wrapper) const {
  std::vector<std::string> environment = {
      "CORVANTY_REGISTRY=" + Registry(),   "ODBCINI=" + OdbcIni(),
      "ODBCSYSINI=" + dir_.Path(),         "XDG_DATA_HOME=" + File("data"),
      "XDG_CONFIG_HOME=" + File("config"), "HOME=" + File("home")};
  for (const char* passed : {"CORVANTY_SQLITE_ODBC_DRIVER", "ASAN_OPTIONS", "UBSAN_OPTIONS"})
    if (const char* value = std::getenv(passed))
      environment.push_back(std::string(passed) + "=" + value);
  if (wrapper.empty()) return RunCommand(CORVANTY_CLI_PATH, args, environment);
  std::vector<std::string> words(wrapper.begin() + 1, wrapper.end());
  words.push_back(CORVANTY_CLI_PATH);
  words.insert(words.end(), args.begin(), args.end());
  return RunCommand(wrapper.front(), words, environment);
}

std::string CorvantyCli::Succeed(const std::vector<std::string>& args) const {
  CommandResult result = Run(args);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  return result.out;
}

void CorvantyCli::AddDataSource(const std::string& name, const std::string& database_file) const {
  std::ofstream(OdbcIni(), std::ios::app) << "[" << name << "]\nDriver=" << SqliteOdbcDriverPath()
                                          << "\nDatabase=" << database_file << "\nNoCreat=1\n";
}

std::string FileBytes(const std::string& path) {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(path, ignored)) return "";
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace corvanty::testing
