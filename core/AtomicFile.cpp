#include "core/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace tavrik {
namespace {

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// A temporary file in the target's folder, removed unless committed.
class TempFile {
 public:
  explicit TempFile(const std::string& target)
      : path_((std::filesystem::path(target).parent_path() / ".tavrik-XXXXXX").string()) {
    fd_ = ::mkstemp(path_.data());
    created_ = fd_ >= 0;
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && created_) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // Flushes, closes and renames over `target`.
  bool Commit(const std::string& target) {
    if (::fsync(fd_) != 0) return false;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return false;
    if (::rename(path_.c_str(), target.c_str()) != 0) return false;
    committed_ = true;
    return true;
  }

 private:
  std::string path_;
  int fd_ = -1;
  bool committed_ = false;
  bool created_ = false;
};

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::string& chosen,
                                      std::initializer_list<std::span<const std::uint8_t>> parts) {
  if (chosen.empty()) return AtomicWriteResult::create_failed;
  std::string path = chosen;
  if (char* real = ::realpath(chosen.c_str(), nullptr)) {
    path = real;
    std::free(real);
  }
  TempFile temp(path);
  if (!temp.ok()) return AtomicWriteResult::create_failed;
  // mkstemp makes the file 0600; give it what the target has or would get.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    ::fchmod(temp.fd(), st.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(temp.fd(), 0666 & ~mask);
  }
  for (std::span<const std::uint8_t> part : parts)
    if (!WriteAll(temp.fd(), part.data(), part.size())) return AtomicWriteResult::write_failed;
  if (!temp.Commit(path)) return AtomicWriteResult::write_failed;
  return AtomicWriteResult::ok;
}

}  // namespace tavrik
