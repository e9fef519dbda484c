// SPDX-License-Identifier: Apache-2.0
#pragma once
// An exclusive lock that serialises the programs rewriting one shared file
// or folder: taken on a path (a lock file beside the shared file, or the
// folder itself), held until destroyed, released by the system when the
// holder dies.
#include <string>

namespace corvanty {

class FileLock {
 public:
  // Waits up to wait_seconds for the lock on path, creating path as an
  // empty file when create is set. Throws std::runtime_error naming what
  // is locked and how long it waited, or why path cannot be locked.
  FileLock(const std::string& path, const std::string& what, bool create, int wait_seconds = 10);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace corvanty
