// SPDX-License-Identifier: Apache-2.0
#pragma once
// An exclusive lock that serialises the programs rewriting one shared file
// or folder: taken on the path itself (the shared file, or the folder),
// held until destroyed, released by the system when the holder dies.
#include <string>

namespace corvanty {

class FileLock {
 public:
  enum class Kind {
    kFolder,        // a folder, which must exist
    kReplacedFile,  // a file that writers replace by renaming a new one over
                    // it; created empty when missing
  };
  // Waits up to wait_seconds for the lock on path. On a replaced file, a
  // lock won on a file that has been replaced meanwhile is let go and taken
  // on the one in place, so that each writer reads what the last one wrote.
  // Throws std::runtime_error naming what is locked and how long it waited,
  // or why path cannot be locked.
  FileLock(const std::string& path, const std::string& what, Kind kind, int wait_seconds = 10);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  // Whether fd_ is the file path names now.
  bool StillInPlace(const std::string& path) const;
  int fd_ = -1;
};

}  // namespace corvanty
