#pragma once
// Reading a whole input file of a known greatest size without ever blocking on
// it or taking more memory than that: the file type is checked before the
// first read, so a FIFO, a device or a folder given as a file is refused.

#include <cstdint>
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

// Reads an open descriptor (a pipe, a terminal, a file) to its end, but never
// more than `max_size` + 1 bytes: a result longer than `max_size` means "too
// much", without the rest being read into memory.
bool ReadStreamBounded(int fd, std::size_t max_size, std::vector<std::uint8_t>& bytes);

}  // namespace tavrik
