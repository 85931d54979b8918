#include "core/AtomicFile.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace tavrik {
namespace {

// Enough for any real chain of links; the kernel gives up at 40 as well.
constexpr int kMaxLinkHops = 40;

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

bool WriteParts(int fd, std::initializer_list<std::span<const std::uint8_t>> parts) {
  for (std::span<const std::uint8_t> part : parts)
    if (!WriteAll(fd, part.data(), part.size())) return false;
  return true;
}

// Closes a descriptor on every way out.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = other.fd_;
      other.fd_ = -1;
    }
    return *this;
  }
  int get() const { return fd_; }
  // Closes now, reporting the error a delayed write may show only here.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Holds back the signals that would end the process with a temporary file
// named in the folder, and swallows the SIGXFSZ or SIGPIPE that our own write
// raised: the write reports them as an error instead.
class SignalHold {
 public:
  SignalHold() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kHeld) sigaddset(&set, s);
    pthread_sigmask(SIG_BLOCK, &set, &old_);
    sigpending(&pending_before_);
  }
  ~SignalHold() {
    sigset_t pending;
    sigpending(&pending);
    for (int s : {SIGXFSZ, SIGPIPE}) {
      if (sigismember(&pending, s) && !sigismember(&pending_before_, s) && !sigismember(&old_, s)) {
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, s);
        const timespec now{};
        sigtimedwait(&one, nullptr, &now);
      }
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  SignalHold(const SignalHold&) = delete;
  SignalHold& operator=(const SignalHold&) = delete;

 private:
  static constexpr int kHeld[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ, SIGPIPE};
  sigset_t old_;
  sigset_t pending_before_;
};

std::string_view LastPart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The process's own streams and descriptors: names of what is already open,
// never files to replace.
bool NamesOpenDescriptor(const std::string& path) {
  return path == "/dev/stdout" || path == "/dev/stderr" || path == "/dev/stdin" || path.starts_with("/dev/fd/") ||
         path.starts_with("/proc/self/fd/");
}

struct Target {
  enum Kind { refused, direct, replace, create } kind = refused;
  std::string path;
  struct stat old {};
};

std::string ReadLink(const std::string& path) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
    if (buffer.size() > 65536) return {};
    buffer.resize(buffer.size() * 2);
  }
}

Target Resolve(const std::string& chosen) {
  Target t;
  if (!NamesAFile(chosen)) return t;
  struct stat st {};
  if (::stat(chosen.c_str(), &st) == 0) {
    // A disk or a socket is never what a settings or barcode file should go to.
    if (S_ISDIR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISSOCK(st.st_mode)) return t;
    if (!S_ISREG(st.st_mode) || NamesOpenDescriptor(chosen)) {
      t.kind = Target::direct;
      t.path = chosen;
      t.old = st;
      return t;
    }
    // The rename would replace a file this user may not write (a read-only
    // approved copy) as long as the folder is writable: the file decides.
    if (::faccessat(AT_FDCWD, chosen.c_str(), W_OK, AT_EACCESS) != 0) return t;
    char* real = ::realpath(chosen.c_str(), nullptr);
    if (!real) return t;
    t.kind = Target::replace;
    t.path = real;
    t.old = st;
    std::free(real);
    return t;
  }
  if (errno != ENOENT) return t;
  // Nothing there yet, perhaps behind dangling links: create what they name.
  std::string p = chosen;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat link {};
    if (::lstat(p.c_str(), &link) != 0) {
      if (errno == ENOENT && NamesAFile(p) && !NamesOpenDescriptor(p)) {
        t.kind = Target::create;
        t.path = p;
      }
      return t;
    }
    if (!S_ISLNK(link.st_mode)) return t;
    const std::string next = ReadLink(p);
    if (next.empty()) return t;
    p = next[0] == '/' ? next : Folder(p) + "/" + next;
  }
  return t;
}

// A name for the temporary file's short visit to the folder.
std::string TempName() {
  static std::atomic<unsigned> counter{0};
  const unsigned mix = static_cast<unsigned>(::getpid()) * 2654435761u ^ static_cast<unsigned>(std::time(nullptr)) ^
                       (counter.fetch_add(1) * 40503u);
  char name[32];
  std::snprintf(name, sizeof name, ".tavrik-%06x", mix & 0xFFFFFFu);
  return name;
}

void CopyExtendedAttributes(const std::string& from, int to) {
  const ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
  if (size <= 0) return;
  std::vector<char> names(static_cast<std::size_t>(size));
  const ssize_t got = ::listxattr(from.c_str(), names.data(), names.size());
  if (got <= 0) return;
  for (std::size_t i = 0; i < static_cast<std::size_t>(got); i += std::string_view(names.data() + i).size() + 1) {
    const char* name = names.data() + i;
    const ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
    if (length < 0) continue;
    std::vector<char> value(static_cast<std::size_t>(length) + 1);
    const ssize_t n = ::getxattr(from.c_str(), name, value.data(), value.size());
    if (n >= 0) ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(n), 0);
  }
}

AtomicWriteResult WriteDirectly(const Target& target, std::initializer_list<std::span<const std::uint8_t>> parts) {
  SignalHold hold;
  // Non-blocking only for the open: a FIFO without a reader is refused at once.
  const int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK | (S_ISREG(target.old.st_mode) ? O_TRUNC : 0);
  Fd fd(::open(target.path.c_str(), flags));
  if (fd.get() < 0) return AtomicWriteResult::create_failed;
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  if (!WriteParts(fd.get(), parts)) return AtomicWriteResult::write_failed;
  return fd.Close() ? AtomicWriteResult::ok : AtomicWriteResult::write_failed;
}

// A file in the folder that no one sees until it is linked in; where the file
// system cannot do that, a named one that the caller removes.
int OpenTemporary(int folder, std::string& named) {
  const int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = TempName();
    const int named_fd = ::openat(folder, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (named_fd >= 0) {
      named = std::move(name);
      return named_fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// Gives the unnamed file a temporary name in the folder.
bool LinkIn(int fd, int folder, std::string& named) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = TempName();
    int r = ::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW);
    if (r != 0 && errno == ENOENT) r = ::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH);  // no /proc
    if (r == 0) {
      named = std::move(name);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// A complete copy of one target's new contents under a temporary name in the
// target's folder, on the disk, waiting to be moved into place.
struct Staged {
  Fd folder;
  std::string name;  // the target's last part
  std::string temp;  // the temporary's name while it has one
  bool exists = false;
  enum { waiting, exchanged, replaced, created } state = waiting;
  Staged() = default;
  Staged(Staged&&) = delete;
};

void (*g_write_stage_hook)() = nullptr;

bool WritePartsHooked(int fd, std::initializer_list<std::span<const std::uint8_t>> parts) {
  for (std::span<const std::uint8_t> part : parts) {
    if (!WriteAll(fd, part.data(), part.size())) return false;
    if (g_write_stage_hook) g_write_stage_hook();
  }
  return true;
}

// Fills `staged` with a named temporary holding `parts`; on failure nothing is
// left in the folder. Runs with the signals held.
AtomicWriteResult Stage(const Target& target, std::initializer_list<std::span<const std::uint8_t>> parts,
                        Staged& staged) {
  staged.folder = Fd(::open(Folder(target.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (staged.folder.get() < 0) return AtomicWriteResult::create_failed;
  staged.name = std::string(LastPart(target.path));
  staged.exists = target.kind == Target::replace;
  Fd fd(OpenTemporary(staged.folder.get(), staged.temp));
  if (fd.get() < 0) return AtomicWriteResult::create_failed;
  const auto fail = [&] {
    if (!staged.temp.empty()) ::unlinkat(staged.folder.get(), staged.temp.c_str(), 0);
    staged.temp.clear();
    return AtomicWriteResult::write_failed;
  };
  if (staged.exists) {
    // The owner first: changing it may clear the set-id bits that fchmod restores.
    [[maybe_unused]] const int owned = ::fchown(fd.get(), target.old.st_uid, target.old.st_gid);
    CopyExtendedAttributes(target.path, fd.get());
    ::fchmod(fd.get(), target.old.st_mode & 07777);
  }
  if (!WritePartsHooked(fd.get(), parts) || ::fsync(fd.get()) != 0) return fail();
  if (staged.temp.empty() && !LinkIn(fd.get(), staged.folder.get(), staged.temp)) return fail();
  if (!fd.Close()) return fail();
  return AtomicWriteResult::ok;
}

// Moves a staged file into place so that MoveBack can undo it: an existing
// target trades places with the temporary, which then holds the old file; a
// new one is created only if the name is still free. A file system that
// cannot trade places gets a plain rename, which cannot be undone.
bool MoveIntoPlace(Staged& s) {
  const int dir = s.folder.get();
  if (::renameat2(dir, s.temp.c_str(), dir, s.name.c_str(), s.exists ? RENAME_EXCHANGE : RENAME_NOREPLACE) == 0) {
    s.state = s.exists ? Staged::exchanged : Staged::created;
    if (!s.exists) s.temp.clear();
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (::renameat(dir, s.temp.c_str(), dir, s.name.c_str()) != 0) return false;
  s.state = Staged::replaced;
  s.temp.clear();
  return true;
}

void MoveBack(Staged& s) {
  const int dir = s.folder.get();
  if (s.state == Staged::exchanged) {
    if (::renameat2(dir, s.temp.c_str(), dir, s.name.c_str(), RENAME_EXCHANGE) == 0) s.state = Staged::waiting;
  } else if (s.state == Staged::created) {
    if (::unlinkat(dir, s.name.c_str(), 0) == 0) s.state = Staged::waiting;
  }
}

// Removes what is left under a temporary name: the new file of a target not
// moved, or the old file of one that traded places.
void Discard(Staged& s) {
  if (!s.temp.empty()) ::unlinkat(s.folder.get(), s.temp.c_str(), 0);
  s.temp.clear();
}

AtomicWriteResult ReplaceAtomically(const Target& target, std::initializer_list<std::span<const std::uint8_t>> parts) {
  SignalHold hold;
  Staged staged;
  const AtomicWriteResult r = Stage(target, parts, staged);
  if (r != AtomicWriteResult::ok) return r;
  if (::renameat(staged.folder.get(), staged.temp.c_str(), staged.folder.get(), staged.name.c_str()) != 0) {
    Discard(staged);
    return AtomicWriteResult::write_failed;
  }
  // The rename itself reaches the disk only with the folder.
  ::fsync(staged.folder.get());
  return AtomicWriteResult::ok;
}

}  // namespace

bool NamesAFile(std::string_view path) {
  const std::string_view last = LastPart(path);
  return !last.empty() && last != "." && last != "..";
}

AtomicWriteResult WriteFileAtomically(const std::string& chosen,
                                      std::initializer_list<std::span<const std::uint8_t>> parts) {
  const Target target = Resolve(chosen);
  switch (target.kind) {
    case Target::refused: return AtomicWriteResult::create_failed;
    case Target::direct: return WriteDirectly(target, parts);
    case Target::replace:
    case Target::create: return ReplaceAtomically(target, parts);
  }
  return AtomicWriteResult::create_failed;
}

AtomicWriteResult WriteFilesAtomically(std::span<const FileToWrite> files) {
  std::vector<Target> targets;
  for (const FileToWrite& f : files) {
    targets.push_back(Resolve(f.path));
    if (targets.back().kind == Target::refused) return AtomicWriteResult::create_failed;
    // Two names of one file cannot both get their own contents.
    for (std::size_t i = 0; i + 1 < targets.size(); ++i) {
      if (targets[i].path == targets.back().path) return AtomicWriteResult::create_failed;
    }
  }
  SignalHold hold;
  std::vector<std::unique_ptr<Staged>> staged;
  const auto undo = [&staged](AtomicWriteResult r) {
    for (auto it = staged.rbegin(); it != staged.rend(); ++it) {
      if (*it) MoveBack(**it);
    }
    for (auto& s : staged) {
      if (s) Discard(*s);
    }
    return r;
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    staged.emplace_back();
    if (targets[i].kind == Target::direct) continue;
    staged.back() = std::make_unique<Staged>();
    const AtomicWriteResult r = Stage(targets[i], {files[i].bytes}, *staged.back());
    if (r != AtomicWriteResult::ok) return undo(r);
  }
  for (auto& s : staged) {
    if (s && !MoveIntoPlace(*s)) return undo(AtomicWriteResult::write_failed);
  }
  // A device or a FIFO cannot be staged: it is written last, and its failure
  // still takes the other files back.
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (targets[i].kind != Target::direct) continue;
    const AtomicWriteResult r = WriteDirectly(targets[i], {files[i].bytes});
    if (r != AtomicWriteResult::ok) return undo(r);
  }
  for (auto& s : staged) {
    if (!s) continue;
    Discard(*s);
    ::fsync(s->folder.get());
  }
  return AtomicWriteResult::ok;
}

void SetWriteStageHook(void (*hook)()) { g_write_stage_hook = hook; }

AtomicWriteResult CheckWritableTarget(const std::string& chosen) {
  const Target target = Resolve(chosen);
  if (target.kind == Target::refused) return AtomicWriteResult::create_failed;
  if (target.kind == Target::direct) return AtomicWriteResult::ok;
  Fd folder(::open(Folder(target.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() < 0) return AtomicWriteResult::create_failed;
  // An unnamed file tries the folder for real (a read-only mount, a full
  // inode table) and leaves nothing behind.
  Fd probe(::openat(folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (probe.get() >= 0) return AtomicWriteResult::ok;
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return AtomicWriteResult::create_failed;
  return ::faccessat(folder.get(), ".", W_OK | X_OK, AT_EACCESS) == 0 ? AtomicWriteResult::ok
                                                                      : AtomicWriteResult::create_failed;
}

}  // namespace tavrik
