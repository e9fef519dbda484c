// SPDX-License-Identifier: Apache-2.0
#include "connections/filelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace corvanty {

FileLock::FileLock(const std::string& path, const std::string& what, bool create,
                   int wait_seconds) {
  fd_ = create ? open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644)
               : open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("cannot lock " + path + ": " + std::strerror(errno));
  // Tried every 10 ms rather than blocking, so the wait has an end.
  for (int tries = 0; flock(fd_, LOCK_EX | LOCK_NB) != 0; ++tries) {
    if (errno != EWOULDBLOCK || tries >= wait_seconds * 100) {
      int error = errno;
      close(fd_);
      throw std::runtime_error(error == EWOULDBLOCK
                                   ? what + " is locked by another program (waited " +
                                         std::to_string(wait_seconds) + " s)"
                                   : "cannot lock " + path + ": " + std::strerror(error));
    }
    usleep(10000);
  }
}

FileLock::~FileLock() { close(fd_); }

}  // namespace corvanty
