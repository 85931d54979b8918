#pragma once
// An advisory lock for a read-modify-write of a file that is replaced by a
// rename (WriteFileAtomically): two programs that each read, change and write
// the file take turns, so neither loses the other's change.

#include <string>

namespace tavrik {

class FileUpdateLock {
 public:
  FileUpdateLock() = default;
  ~FileUpdateLock();
  FileUpdateLock(FileUpdateLock&& other) noexcept;
  FileUpdateLock& operator=(FileUpdateLock&& other) noexcept;
  FileUpdateLock(const FileUpdateLock&) = delete;
  FileUpdateLock& operator=(const FileUpdateLock&) = delete;

  // Waits until no other holder has the file `path` names, and holds it until
  // destroyed. A rename that replaced the file while this one waited is
  // noticed: the lock is then taken on the file the name has now. Not held
  // when there is nothing to lock (no such file, not a regular file, not
  // readable): the read that follows reports that.
  static FileUpdateLock Take(const std::string& path);

  bool held() const { return fd_ >= 0; }

 private:
  explicit FileUpdateLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace tavrik
