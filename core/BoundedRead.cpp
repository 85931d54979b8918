#include "core/BoundedRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tavrik {

bool ReadStreamBounded(int fd, std::size_t max_size, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  std::uint8_t buffer[4096];
  while (bytes.size() <= max_size) {
    const std::size_t want = std::min(sizeof buffer, max_size + 1 - bytes.size());
    const ssize_t n = ::read(fd, buffer, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return true;
}

BoundedReadResult ReadFileBounded(const std::string& path, std::size_t max_size, std::vector<std::uint8_t>& bytes) {
  // Non-blocking for the open alone: opening a FIFO would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return BoundedReadResult::open_failed;
  struct stat st {};
  BoundedReadResult result = BoundedReadResult::ok;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    result = BoundedReadResult::open_failed;
  } else if (static_cast<std::uint64_t>(st.st_size) > max_size) {
    result = BoundedReadResult::too_large;
  } else {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // The size may change under us: the read is bounded all the same.
    if (!ReadStreamBounded(fd, max_size, bytes)) result = BoundedReadResult::read_failed;
    else if (bytes.size() > max_size) result = BoundedReadResult::too_large;
  }
  ::close(fd);
  if (result != BoundedReadResult::ok) bytes.clear();
  return result;
}

std::optional<std::string> ReadSmallTextFile(const std::string& path, std::size_t max_size) {
  std::vector<std::uint8_t> bytes;
  if (ReadFileBounded(path, max_size, bytes) != BoundedReadResult::ok) return std::nullopt;
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace tavrik
