#pragma once
// Reading a whole input file of a known greatest size without ever blocking on
// it or taking more memory than that: the file type is checked before the
// first read, so a FIFO, a device or a folder given as a file is refused.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrik {

enum class BoundedReadResult {
  ok,
  open_failed,  // missing, not permitted, or not a regular file
  too_large,    // more than the limit
  read_failed,
};

BoundedReadResult ReadFileBounded(const std::string& path, std::size_t max_size, std::vector<std::uint8_t>& bytes);

// The text of a small regular file (a sysfs attribute, a /proc entry, a udev
// database record), read as ReadFileBounded does; nothing when it is missing,
// not a regular file, unreadable or longer than `max_size`.
std::optional<std::string> ReadSmallTextFile(const std::string& path, std::size_t max_size = 64 * 1024);

// Reads an open descriptor (a pipe, a terminal, a file) to its end, but never
// more than `max_size` + 1 bytes: a result longer than `max_size` means "too
// much", without the rest being read into memory.
bool ReadStreamBounded(int fd, std::size_t max_size, std::vector<std::uint8_t>& bytes);

}  // namespace tavrik
