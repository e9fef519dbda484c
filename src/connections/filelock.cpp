// SPDX-License-Identifier: Apache-2.0
#include "connections/filelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace corvanty {

FileLock::FileLock(const std::string& path, const std::string& what, Kind kind, int wait_seconds) {
  const bool create = kind == Kind::kReplacedFile;
  // Tried every 10 ms rather than blocking, so the wait has an end.
  for (int tries = 0;; ++tries) {
    fd_ = create ? open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666)
                 : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot lock " + path + ": " + std::strerror(errno));
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      if (!create || StillInPlace(path)) return;
    } else if (errno != EWOULDBLOCK || tries >= wait_seconds * 100) {
      int error = errno;
      close(fd_);
      throw std::runtime_error(error == EWOULDBLOCK
                                   ? what + " is locked by another program (waited " +
                                         std::to_string(wait_seconds) + " s)"
                                   : "cannot lock " + path + ": " + std::strerror(error));
    }
    close(fd_);
    usleep(10000);
  }
}

bool FileLock::StillInPlace(const std::string& path) const {
  struct stat held {
  }, named{};
  return fstat(fd_, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

FileLock::~FileLock() { close(fd_); }

}  // namespace corvanty
