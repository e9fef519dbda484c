#include "support/runcommand.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/tempdir.h"

namespace corvanty::testing {
namespace {

std::vector<char*> NullTerminated(const std::vector<std::string>& words) {
  std::vector<char*> pointers;
  for (const std::string& word : words) pointers.push_back(const_cast<char*>(word.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment) {
  std::vector<std::string> argv_words = {program};
  argv_words.insert(argv_words.end(), args.begin(), args.end());
  std::vector<char*> argv = NullTerminated(argv_words);
  std::vector<char*> envp = NullTerminated(environment);

  // The child writes into files rather than pipes: a file never fills up and
  // stalls it, so no reading is needed while it runs.
  TempDir dir;
  const std::string out = dir.File("out"), err = dir.File("err");
  const int writing = O_WRONLY | O_CREAT | O_TRUNC;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), writing, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), writing, 0600);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));

  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("cannot wait for " + program);
  }
  CommandResult result;
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  result.out = ReadWhole(out);
  result.err = ReadWhole(err);
  return result;
}

}  // namespace corvanty::testing
