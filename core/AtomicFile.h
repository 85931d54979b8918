#pragma once
// Writing a file so that a failure never harms what was there: the bytes go
// into a temporary file beside the target, which replaces the target only
// when it is complete.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace tavrik {

enum class AtomicWriteResult {
  ok,
  create_failed,  // no temporary file could be made in the target's folder
  write_failed,   // writing, flushing or renaming failed; the temporary is gone
};

// Writes the parts one after the other. An existing target keeps its
// permission bits, a new one gets 0666 less the umask; a symbolic link is
// followed, so the file it names is replaced. The temporary has a short name,
// so a target whose name is near the file system's limit still gets one.
AtomicWriteResult WriteFileAtomically(const std::string& path,
                                      std::initializer_list<std::span<const std::uint8_t>> parts);

}  // namespace tavrik
