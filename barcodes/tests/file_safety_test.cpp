// Every file the program writes, the settings file and the barcode files,
// leaves either the old file or the complete new one: on a full disk, in a
// read-only folder, through symbolic links, under a name too long, when the
// process is stopped by a signal in the middle. A small tmpfs stands in for
// the full disk and the read-only folder (root only; skipped otherwise).

#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <cstdio>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "aztecgen/include/ag_matrix_ptr_def.h"
#include "barcodes/BarcodeRendering.h"
#include "barcodes/GroupBarcode.h"
#include "core/AtomicFile.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), {});
}

void PutFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// One writer of the program: true when it reports success.
struct Writer {
  const char* name;
  std::function<bool(const std::string& path)> write;
};

const ag_matrix& SomeSymbol() {
  static ag_matrix_ptr symbol = [] {
    ag_matrix_ptr m;
    const std::uint8_t data[] = {'T', 'a', 'v', 'r', 'i', 'k'};
    GenerateConfigBarcode(m, data);
    return m;
  }();
  return *symbol;
}

const Writer kWriters[] = {
    {"settings file", [](const std::string& p) { return WriteSettingsFile(p, Settings{}) == FileResult::ok; }},
    {"barcode metafile", [](const std::string& p) { return WriteBarcodeMetafile(p, SomeSymbol(), kHeadlessScreen); }},
};

class FileSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tavrik-files-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    if (mounted_) ::umount2(mount_.c_str(), MNT_DETACH);
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // A tmpfs of `kib` KiB under the test folder; false when this process may not mount.
  bool MountSmallDisk(int kib) {
    mount_ = Path("disk");
    fs::create_directory(mount_);
    const std::string options = "size=" + std::to_string(kib) + "k";
    mounted_ = ::mount("tmpfs", mount_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    return mounted_;
  }
  bool MakeReadOnly() {
    return ::mount(nullptr, mount_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

  fs::path dir_;
  std::string mount_;
  bool mounted_ = false;
};

const Bytes kOld = {'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't', 's'};

TEST_F(FileSafety, AFullDiskKeepsTheOldFileAndLeavesNoTemporary) {
  if (!MountSmallDisk(64)) GTEST_SKIP() << "no tmpfs can be mounted here";
  for (const Writer& w : kWriters) {
    SCOPED_TRACE(w.name);
    const std::string target = mount_ + "/target";
    PutFile(target, kOld);
    // Fill what is left, so that no block is free for the new file.
    {
      std::ofstream fill(mount_ + "/fill", std::ios::binary);
      const std::string block(4096, 'x');
      while (fill.write(block.data(), block.size())) {
      }
    }
    EXPECT_FALSE(w.write(target));
    EXPECT_EQ(FileBytes(target), kOld);
    EXPECT_EQ(Entries(mount_), (std::vector<std::string>{"fill", "target"}));
    fs::remove(mount_ + "/fill");
    EXPECT_TRUE(w.write(target)) << "room again";
    EXPECT_NE(FileBytes(target), kOld);
    EXPECT_EQ(Entries(mount_), (std::vector<std::string>{"target"}));
  }
}

TEST_F(FileSafety, AReadOnlyFolderIsRefusedBeforeAnythingIsWritten) {
  if (!MountSmallDisk(64)) GTEST_SKIP() << "no tmpfs can be mounted here";
  const std::string target = mount_ + "/target";
  PutFile(target, kOld);
  ASSERT_TRUE(MakeReadOnly());
  EXPECT_EQ(CheckWritableTarget(target), AtomicWriteResult::create_failed);
  EXPECT_EQ(CheckWritableTarget(mount_ + "/new"), AtomicWriteResult::create_failed);
  for (const Writer& w : kWriters) {
    SCOPED_TRACE(w.name);
    EXPECT_FALSE(w.write(target));
    EXPECT_FALSE(w.write(mount_ + "/new"));
    EXPECT_EQ(FileBytes(target), kOld);
    EXPECT_EQ(Entries(mount_), (std::vector<std::string>{"target"}));
  }
}

TEST_F(FileSafety, LinksAreFollowedAndKept) {
  for (const Writer& w : kWriters) {
    SCOPED_TRACE(w.name);
    fs::remove_all(Path("real"));
    fs::create_directory(Path("real"));
    PutFile(Path("real/file"), kOld);
    fs::create_symlink("real/file", Path("link"));
    fs::create_symlink("link", Path("link2"));  // a chain
    EXPECT_TRUE(w.write(Path("link2")));
    EXPECT_TRUE(fs::is_symlink(Path("link")));
    EXPECT_TRUE(fs::is_symlink(Path("link2")));
    EXPECT_NE(FileBytes(Path("real/file")), kOld);

    // Dangling, through a chain as well: the file named at the end is made.
    fs::create_symlink("real/made", Path("dangling"));
    fs::create_symlink("dangling", Path("dangling2"));
    EXPECT_TRUE(w.write(Path("dangling2")));
    EXPECT_TRUE(fs::is_symlink(Path("dangling")));
    EXPECT_TRUE(fs::is_regular_file(Path("real/made")));
    EXPECT_EQ(Entries(Path("real")), (std::vector<std::string>{"file", "made"}));

    // A loop of links is refused.
    fs::create_symlink("loop_b", Path("loop_a"));
    fs::create_symlink("loop_a", Path("loop_b"));
    EXPECT_FALSE(w.write(Path("loop_a")));
    for (const char* name : {"link", "link2", "dangling", "dangling2", "loop_a", "loop_b"}) fs::remove(Path(name));
  }
}

TEST_F(FileSafety, NamesTheSystemRefusesLeaveNothing) {
  PutFile(Path("keep"), kOld);
  std::string long_folder = dir_.string();
  while (long_folder.size() < 4096) long_folder += "/" + std::string(200, 'd');
  const struct Case {
    std::string path;
    const char* why;
  } cases[] = {
      /*0*/ {dir_.string() + "/" + std::string(4096, 'n'), "a name of 4096 characters"},
      /*1*/ {long_folder.substr(0, 4096) + "/file", "a path beyond the system's limit"},
      /*2*/ {dir_.string() + "/" + std::string(256, 'n'), "one part beyond 255 bytes"},
      /*3*/ {dir_.string() + "/", "no last part"},
      /*4*/ {dir_.string(), "a folder"},
      /*5*/ {Path("keep/x"), "a file as a folder"},
      /*6*/ {Path("disk"), "a block device: never written, also as root"},
  };
  // A node of a loop device no one has set up: harmless if it were opened.
  const bool has_disk = ::mknod(Path("disk").c_str(), S_IFBLK | 0600, makedev(7, 250)) == 0;
  for (const Writer& w : kWriters) {
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      SCOPED_TRACE(testing::Message() << w.name << ", row " << i << ": " << cases[i].why);
      EXPECT_FALSE(w.write(cases[i].path));
      EXPECT_EQ(Entries(dir_), has_disk ? (std::vector<std::string>{"disk", "keep"}) : (std::vector<std::string>{"keep"}));
      EXPECT_EQ(FileBytes(Path("keep")), kOld);
    }
  }
  struct stat st {};
  if (has_disk) {
    EXPECT_TRUE(::stat(Path("disk").c_str(), &st) == 0 && S_ISBLK(st.st_mode));
  }
}

TEST_F(FileSafety, AReplacedFileKeepsModeOwnerAndAttributes) {
  const std::string target = Path("target");
  PutFile(target, kOld);
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(target.c_str(), 1234, 4321), 0);
  }
  const bool has_xattr = ::setxattr(target.c_str(), "user.tavrik", "kept", 4, 0) == 0;
  // A second name of the same file: it keeps the old contents.
  ASSERT_EQ(::link(target.c_str(), Path("other").c_str()), 0);

  ASSERT_EQ(WriteSettingsFile(target, Settings{}), FileResult::ok);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 4321u);
  }
  if (has_xattr) {
    char value[16] = {};
    EXPECT_EQ(::getxattr(target.c_str(), "user.tavrik", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
  }
  EXPECT_EQ(FileBytes(target).size(), 4 + kPlacementSize);
  EXPECT_EQ(FileBytes(Path("other")), kOld);
  EXPECT_EQ(st.st_nlink, 1u);
}

// Runs `body` in a child process and gives its wait status.
int InChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST_F(FileSafety, AFileSizeLimitFailsTheWriteInsteadOfEndingTheProcess) {
  const std::string target = Path("target");
  PutFile(target, kOld);
  const int status = InChild([&] {
    ::signal(SIGXFSZ, SIG_DFL);
    const rlimit small{100, 100};
    ::setrlimit(RLIMIT_FSIZE, &small);
    for (const Writer& w : kWriters)
      if (w.write(target)) return 1;
    return 0;
  });
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileBytes(target), kOld);
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"target"}));
}

// The child's end of the pipe that tells the parent a temporary is being
// written; the hook then waits until the parent's signal is pending.
int g_staging_fd = -1;
int g_awaited_signal = 0;

void TellAndAwaitSignal() {
  if (g_staging_fd < 0) return;
  const char byte = 1;
  [[maybe_unused]] const ssize_t told = ::write(g_staging_fd, &byte, 1);
  ::close(g_staging_fd);
  g_staging_fd = -1;
  for (;;) {
    sigset_t pending;
    sigpending(&pending);
    if (sigismember(&pending, g_awaited_signal)) return;
    ::usleep(1000);
  }
}

TEST_F(FileSafety, ASignalInTheMiddleLeavesNoTemporary) {
  // The signal lands while the first of two parts is in the temporary: the
  // hook reports that moment and returns only once the signal is pending.
  const Bytes part(64 << 10, 0x5A);
  const std::string target = Path("target");
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    SCOPED_TRACE(signal_number);
    PutFile(target, kOld);
    int pipe_fds[2];
    ASSERT_EQ(::pipe(pipe_fds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(pipe_fds[0]);
      ::signal(signal_number, SIG_DFL);
      g_staging_fd = pipe_fds[1];
      g_awaited_signal = signal_number;
      SetWriteStageHook(TellAndAwaitSignal);
      WriteFileAtomically(target, {part, part});
      ::_exit(0);  // not reached: the held signal ends the process once the file is in place
    }
    ::close(pipe_fds[1]);
    char byte = 0;
    ASSERT_EQ(::read(pipe_fds[0], &byte, 1), 1) << "the write reached its temporary";
    ::close(pipe_fds[0]);
    ::kill(pid, signal_number);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal_number);
    EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"target"}));
    EXPECT_EQ(fs::file_size(target), 2 * part.size()) << "held back until the file was complete and in place";
  }
}

// The name that the stage hook takes just before the files are moved.
std::string g_name_to_take;

void TakeName() {
  if (g_name_to_take.empty()) return;
  PutFile(g_name_to_take, {'t', 'a', 'k', 'e', 'n'});
  g_name_to_take.clear();
}

bool MakeImmutable(const std::string& path, bool on) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  ::close(fd);
  return done;
}

TEST_F(FileSafety, FilesWrittenTogetherAllChangeOrNoneDoes) {
  const Bytes first = {'f', 'i', 'r', 's', 't'};
  const Bytes second = {'s', 'e', 'c', 'o', 'n', 'd'};
  const std::string a = Path("a");
  const std::string b = Path("b");
  const auto write_both = [&] {
    const FileToWrite files[] = {{a, first}, {b, second}};
    return WriteFilesAtomically(files);
  };
  struct Case {
    const char* why;
    std::function<bool()> arrange;  // false: this system cannot arrange it
    std::function<void()> tidy;
  };
  const Case cases[] = {
      /*0*/ {"the second name is a folder", [&] { return fs::create_directory(b); }, [&] { fs::remove(b); }},
      /*1*/ {"the second target is immutable",
             [&] {
               PutFile(b, kOld);
               return MakeImmutable(b, true);
             },
             [&] {
               MakeImmutable(b, false);
               fs::remove(b);
             }},
      /*2*/ {"the second, a new file, has its name taken while the first is written",
             [&] {
               g_name_to_take = b;
               SetWriteStageHook(TakeName);
               return true;
             },
             [&] {
               SetWriteStageHook(nullptr);
               fs::remove(b);
             }},
      /*3*/ {"the second's folder is not there", [&] { return true; }, [] {}},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row) + ": " + cases[row].why);
    PutFile(a, kOld);
    if (!cases[row].arrange()) {
      cases[row].tidy();
      std::printf("row %zu skipped: %s cannot be arranged here\n", row, cases[row].why);
      continue;
    }
    const Bytes b_before = fs::is_regular_file(b) ? FileBytes(b) : Bytes{};
    AtomicWriteResult r;
    if (row == 3) {
      const FileToWrite files[] = {{a, first}, {Path("missing/b"), second}};
      r = WriteFilesAtomically(files);
    } else {
      r = write_both();
    }
    EXPECT_NE(r, AtomicWriteResult::ok);
    EXPECT_EQ(FileBytes(a), kOld) << "the first file is as it was";
    if (fs::is_regular_file(b) && row != 2) {
      EXPECT_EQ(FileBytes(b), b_before);
    }
    cases[row].tidy();
    std::vector<std::string> left = Entries(dir_);
    EXPECT_EQ(left, (std::vector<std::string>{"a"})) << "no temporary, nothing of the second";
  }
  // And the ordinary case: both, an existing one and a new one.
  PutFile(a, kOld);
  ASSERT_EQ(write_both(), AtomicWriteResult::ok);
  EXPECT_EQ(FileBytes(a), first);
  EXPECT_EQ(FileBytes(b), second);
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"a", "b"}));
  // Two names of one file cannot carry two contents.
  fs::create_symlink(a, Path("also-a"));
  const FileToWrite same[] = {{a, first}, {Path("also-a"), second}};
  EXPECT_EQ(WriteFilesAtomically(same), AtomicWriteResult::create_failed);
  EXPECT_EQ(FileBytes(a), first);
}

TEST_F(FileSafety, TheSettingsReaderLeavesTheRecordAloneOnAnyError) {
  // Inputs that are not files: refused at once, the record as it was.
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  Settings s{};
  s.volume = 7;
  for (const std::string& path : {Path("fifo"), std::string("/dev/zero"), dir_.string(), Path("missing")}) {
    SCOPED_TRACE(path);
    Settings read = s;
    EXPECT_EQ(ReadSettingsFile(path, read), FileResult::open_error);
    EXPECT_TRUE(read == s);
  }
}

}  // namespace
}  // namespace tavrik
