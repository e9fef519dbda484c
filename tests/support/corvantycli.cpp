// SPDX-License-Identifier: Apache-2.0
#include "support/corvantycli.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace corvanty::testing {

namespace {
// One word for the shell, taken as it is.
std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}
}  // namespace

CommandResult RunCommand(const std::vector<std::string>& environment,
                         const std::vector<std::string>& command) {
  // The child writes into files of its own: they never fill up and stall it.
  TempDir capture;
  std::string line = "exec env -i";
  for (const std::string& word : environment) line += " " + Quoted(word);
  for (const std::string& word : command) line += " " + Quoted(word);
  line += " </dev/null >" + Quoted(capture.File("out")) + " 2>" + Quoted(capture.File("err"));
  int status = std::system(line.c_str());
  if (status == -1) throw std::runtime_error("cannot start " + line);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileBytes(capture.File("out")),
          FileBytes(capture.File("err"))};
}

std::vector<std::string> CorvantyCli::Environment() const {
  std::vector<std::string> environment = {"CORVANTY_REGISTRY=" + Registry(),
                                          "ODBCINI=" + OdbcIni(),
                                          "ODBCSYSINI=" + File(""),
                                          "XDG_DATA_HOME=" + File("data"),
                                          "XDG_CONFIG_HOME=" + File("config"),
                                          "HOME=" + File("")};
  for (const char* passed : {"CORVANTY_SQLITE_ODBC_DRIVER", "ASAN_OPTIONS", "UBSAN_OPTIONS"})
    if (const char* value = std::getenv(passed))
      environment.push_back(std::string(passed) + "=" + value);
  return environment;
}

CommandResult CorvantyCli::Run(const std::vector<std::string>& args,
                               const std::vector<std::string>& wrapper) const {
  std::vector<std::string> command = wrapper;
  command.push_back(CORVANTY_CLI_PATH);
  command.insert(command.end(), args.begin(), args.end());
  return RunCommand(Environment(), command);
}

CommandResult CorvantyCli::RunShell(const std::string& script) const {
  std::vector<std::string> environment = Environment();
  const std::string program = CORVANTY_CLI_PATH;
  environment.push_back("PATH=" + program.substr(0, program.rfind('/')) + ":/usr/bin:/bin");
  return RunCommand(environment, {"/bin/sh", "-ec", script});
}

std::string CorvantyCli::Succeed(const std::vector<std::string>& args) const {
  CommandResult result = Run(args);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  return result.out;
}

std::string CorvantyCli::Outcome(const std::vector<std::string>& args) const {
  CommandResult result = Run(args);
  return std::to_string(result.exit_code) + "|" + result.out + "|" + result.err;
}

std::string FileBytes(const std::string& path) {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(path, ignored)) return "";
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace corvanty::testing
