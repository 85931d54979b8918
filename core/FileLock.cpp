#include "core/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tavrik {

FileUpdateLock::~FileUpdateLock() {
  if (fd_ >= 0) ::close(fd_);
}

FileUpdateLock::FileUpdateLock(FileUpdateLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileUpdateLock& FileUpdateLock::operator=(FileUpdateLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileUpdateLock FileUpdateLock::Take(const std::string& path) {
  for (;;) {
    // Only a regular file is opened: opening a serial device acts on its line,
    // and a FIFO would wait for a writer (the open is non-blocking as well, for
    // a name that changes in between).
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat locked {};
    if (::fstat(fd, &locked) != 0 || !S_ISREG(locked.st_mode)) {
      ::close(fd);
      return {};
    }
    int r;
    while ((r = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    struct stat now {};
    if (r != 0 || ::stat(path.c_str(), &now) != 0) {
      ::close(fd);
      return {};
    }
    if (now.st_dev == locked.st_dev && now.st_ino == locked.st_ino) return FileUpdateLock(fd);
    // The holder before us replaced the file: its successor is the one to lock.
    ::close(fd);
  }
}

}  // namespace tavrik
