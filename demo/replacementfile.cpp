// SPDX-License-Identifier: Apache-2.0
#include "demo/replacementfile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace corvanty::demo {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

void SyncPath(const std::string& path, int flags) {
  int fd = open(path.c_str(), flags);
  if (fd < 0) Fail("cannot open " + path);
  int rc = fsync(fd);
  int error = errno;
  close(fd);
  errno = error;
  if (rc != 0) Fail("cannot write " + path + " to disk");
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target) : target_(std::move(target)) {
  temporary_ = target_ + ".new-XXXXXX";
  int fd = mkstemp(temporary_.data());
  if (fd < 0)
    Fail("cannot create a new file in " + std::filesystem::path(target_).parent_path().string());
  // mkstemp makes the file owner-only; a replacement gets the usual mode.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
}

ReplacementFile::~ReplacementFile() {
  if (!placed_) unlink(temporary_.c_str());
}

void ReplacementFile::PutInPlace() {
  SyncPath(temporary_, O_RDONLY);
  if (rename(temporary_.c_str(), target_.c_str()) != 0) Fail("cannot replace " + target_);
  placed_ = true;
  // The rename itself must reach the disk before the replacement counts as done.
  std::string folder = std::filesystem::path(target_).parent_path().string();
  SyncPath(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
}

}  // namespace corvanty::demo
