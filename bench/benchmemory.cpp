// SPDX-License-Identifier: Apache-2.0
#include "bench/benchmemory.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace corvanty::bench {
namespace {

constexpr char kMatchesNothing[] = "~no such text~";

// VmHWM of /proc/self/status: the peak resident set so far, in kB.
long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  throw std::runtime_error("no VmHWM in /proc/self/status");
}

}  // namespace

int RunMemoryChild(const std::function<long(const std::string& criteria)>& search,
                   const std::string& criteria) {
  search(kMatchesNothing);
  const long before = PeakResidentKb();
  const long rows = search(criteria);
  std::cout << rows << ' ' << before << ' ' << PeakResidentKb() << '\n';
  return 0;
}

MemoryUse MeasureInChild(const char* child_flag, const std::string& source, int32_t guide,
                         const std::string& criteria) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("cannot make a pipe");
  const std::string guide_text = std::to_string(guide);
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot start a child process");
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execl("/proc/self/exe", "corvanty_bench", child_flag, source.c_str(), guide_text.c_str(),
          criteria.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string report;
  char buffer[256];
  ssize_t got;
  while ((got = read(out[0], buffer, sizeof buffer)) > 0) report.append(buffer, got);
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  MemoryUse use;
  std::istringstream fields(report);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      !(fields >> use.rows >> use.before_kb >> use.after_kb))
    throw std::runtime_error("the memory measurement failed");
  return use;
}

}  // namespace corvanty::bench
