#pragma once
// Writing a file so that a failure never harms what was there: the bytes go
// into an unnamed temporary file in the target's folder, which replaces the
// target only when it is complete and on the disk.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace tavrik {

enum class AtomicWriteResult {
  ok,
  create_failed,  // the name is refused or no file can be made in its folder
  write_failed,   // writing, flushing or renaming failed; nothing is left behind
};

// Writes the parts one after the other.
// - A regular target that this user may not write (its mode says so) is
//   refused, even where the folder would let the rename replace it.
// - A regular target is replaced whole: the new file keeps the old one's
//   permission bits, its owner and group where the process may set them, and
//   its extended attributes. Other hard links to the old file keep the old
//   contents: only this name gets the new file. A new file gets 0666 less the
//   umask. The folder is synced after the rename.
// - A symbolic link is followed, also a dangling one: the file it names is
//   written, the link stays.
// - A target that is not a regular file (a character device, a FIFO, the
//   process's own /dev/stdout) is written directly and never replaced; a FIFO
//   without a reader is refused rather than waited for.
// - A name whose last part is empty, "." or "..", or that names a folder, a
//   block device (a disk) or a socket, is refused.
// SIGINT, SIGTERM, SIGHUP, SIGQUIT and SIGXFSZ are held back while the
// temporary file has a name, so none of them leaves it behind; a file size
// limit makes the write fail instead of ending the process.
AtomicWriteResult WriteFileAtomically(const std::string& path,
                                      std::initializer_list<std::span<const std::uint8_t>> parts);

struct FileToWrite {
  std::string path;
  std::span<const std::uint8_t> bytes;
};

// Several files that belong together, written so that either every target
// gets its new contents or none changes: each is staged complete beside its
// target, then all are moved into place; a move that fails (an immutable
// target, a name taken meanwhile) takes the earlier ones back. The names are
// handled as WriteFileAtomically handles one; two names of the same file are
// refused.
AtomicWriteResult WriteFilesAtomically(std::span<const FileToWrite> files);

// For tests: called after each part of a file is written into its temporary,
// before anything is moved into place, with the held signals blocked.
void SetWriteStageHook(void (*hook)());

// What WriteFileAtomically would say before anything is written: create_failed
// when the name is refused or its folder cannot take a new file, ok otherwise.
// For a caller that has long work to do before the write.
AtomicWriteResult CheckWritableTarget(const std::string& path);

// True when the last part of `path` can name a file: not empty, not "." or "..".
bool NamesAFile(std::string_view path);

}  // namespace tavrik
