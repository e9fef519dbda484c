#include "support/runcommand.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/tempdir.h"

namespace corvanty::testing {
namespace {

// One word for the shell, taken as it is.
std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment) {
  // The child writes into files: they never fill up and stall it.
  TempDir dir;
  std::string command = "exec env -i";
  for (const std::string& setting : environment) command += " " + Quoted(setting);
  command += " " + Quoted(program);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " </dev/null >" + Quoted(dir.File("out")) + " 2>" + Quoted(dir.File("err"));
  int status = std::system(command.c_str());
  if (status == -1) throw std::runtime_error("cannot start " + program);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(dir.File("out")),
          ReadWhole(dir.File("err"))};
}

}  // namespace corvanty::testing
