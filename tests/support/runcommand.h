#pragma once
// Runs a program as a child process and captures what it prints.
#include <string>
#include <vector>

namespace corvanty::testing {

struct CommandResult {
  int exit_code = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs program with the arguments and exactly the environment given
// ("NAME=value" entries; nothing is inherited), standard input empty, and
// waits for it to end. A program that cannot be started exits with 127.
CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment);

}  // namespace corvanty::testing
