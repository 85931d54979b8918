// tavrik-cli tried as a hostile user tries it: too few tasks for its threads,
// read-only and contended files, a port tree with FIFOs in it, one port under
// several names, output names that are no file names, repeated options.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "device/ComDevice.h"
#include "device/ComDeviceFunctionsDef.h"
#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/cli_process.h"
#include "transfers/ConnectionParams.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::ProcessOptions;
using test::ProcessRun;

constexpr std::chrono::seconds kHangLimit{30};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Bytes FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), {});
}

// The tool behind `prefix` (another program that runs it, or nothing).
ProcessRun CliVia(const std::vector<std::string>& prefix, const std::vector<std::string>& args,
                  ProcessOptions options = {}) {
  options.limit = kHangLimit;
  if (prefix.empty()) return test::RunProcess(TAVRIK_CLI, args, options);
  std::vector<std::string> all(prefix.begin() + 1, prefix.end());
  all.push_back(TAVRIK_CLI);
  all.insert(all.end(), args.begin(), args.end());
  return test::RunProcess(prefix[0], all, options);
}

ProcessRun Cli(const std::vector<std::string>& args, ProcessOptions options = {}) {
  return CliVia({}, args, std::move(options));
}

// Root passes every permission check and every task limit, and the suite runs
// as root in CI: there the tool runs as an ordinary user of its own through
// setpriv (a numeric id nothing else on the machine uses, so a task limit
// counts only this run). Run as an ordinary user, the tool runs as that user.
struct OrdinaryUser {
  std::vector<std::string> prefix;
  uid_t uid;
};

// Nothing when the tool cannot run so here (no setpriv, or a build folder
// that only root may enter).
std::optional<OrdinaryUser> AsOrdinaryUser() {
  if (::geteuid() != 0) return OrdinaryUser{{}, ::geteuid()};
  if (::access("/usr/bin/setpriv", X_OK) != 0) return std::nullopt;
  const uid_t uid = 60000 + static_cast<uid_t>(::getpid() % 5000);
  const std::string id = std::to_string(uid);
  OrdinaryUser user{{"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups", "--"}, uid};
  if (CliVia(user.prefix, {"--help"}).status != 0) return std::nullopt;
  return user;
}

Settings Defaults() {
  SetCurrentModel(0);
  Settings s{};
  LoadDefaults(s);
  return s;
}

Settings Read(const std::string& path) {
  Settings s = Defaults();
  EXPECT_EQ(ReadSettingsFile(path, s), FileResult::ok) << path;
  return s;
}

class HostileUser : public test::ToolTest {
 protected:
  std::string Write(const std::string& name, const Settings& s = Defaults()) {
    EXPECT_EQ(WriteSettingsFile(Path(name), s), FileResult::ok);
    return Path(name);
  }
  void StartScanners(int count) {
    for (int i = 0; i < count; ++i) {
      EmulatorConfig c;
      c.model = static_cast<std::uint8_t>(150 + i);
      c.firmware = 0x0100;
      scanners_.push_back(std::make_unique<ScannerEmulator>(c));
    }
  }
  std::string PortLine(std::size_t i) const {
    return scanners_[i]->PortPath() + "\t" + ModelText(static_cast<std::uint8_t>(150 + i), false) + " (v.1.0)\tok";
  }
  std::vector<std::unique_ptr<ScannerEmulator>> scanners_;
};

TEST_F(HostileUser, PortsAreAllServedWhenNoThreadCanBeStarted) {
  if (::geteuid() != 0) GTEST_SKIP() << "a task limit of its own needs a user id of its own: run as root";
  const std::optional<OrdinaryUser> user = AsOrdinaryUser();
  if (!user) GTEST_SKIP() << "the tool cannot run as an ordinary user here (no setpriv, or a closed build folder)";
  StartScanners(3);
  for (const auto& s : scanners_) ASSERT_EQ(::chmod(s->PortPath().c_str(), 0666), 0);
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  const std::string file = Write("approved.qdx");
  // One task for the user: the process itself, and not one thread more. The
  // leak check at the end would need a thread of its own.
  std::vector<std::string> limited = {"/usr/bin/prlimit", "--nproc=1:1", "--"};
  limited.insert(limited.end(), user->prefix.begin(), user->prefix.end());
  limited.insert(limited.end(), {"/usr/bin/env", "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1"});
  if (::access(limited[0].c_str(), X_OK) != 0) GTEST_SKIP() << "no prlimit";

  struct Case {
    std::vector<std::string> before_ports, after_ports;
  };
  const Case cases[] = {
      /*0*/ {{"probe", "--timeout", "500"}, {}},
      /*1*/ {{"save", "--yes", "--timeout", "500"}, {file}},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row << ": " << cases[row].before_ports[0]);
    std::vector<std::string> args = cases[row].before_ports;
    for (const auto& s : scanners_) args.insert(args.end(), {"--port", s->PortPath()});
    args.insert(args.end(), cases[row].after_ports.begin(), cases[row].after_ports.end());
    const ProcessRun r = CliVia(limited, args);
    EXPECT_FALSE(Contains(r.err, "terminate")) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out << r.err;
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(lines[i], PortLine(i));
  }
}

TEST_F(HostileUser, AFileTheUserMayNotWriteIsNeverReplaced) {
  const std::optional<OrdinaryUser> user = AsOrdinaryUser();
  if (!user) GTEST_SKIP() << "the tool cannot run as an ordinary user here (no setpriv, or a closed build folder)";
  // A folder the user may write, holding an approved file no one may write.
  ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
  Settings approved = Defaults();
  approved.volume = 1;
  const std::string file = Write("approved.qdx", approved);
  const std::string source = Write("source.qdx");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(source.c_str(), 0644), 0);
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  const Bytes bytes = FileBytes(file);

  struct Case {
    std::vector<std::string> args;
    const char* why;
  };
  const Case cases[] = {
      /*0*/ {{"set", file, "volume=3"}, "in place"},
      /*1*/ {{"set", source, "volume=3", "-o", file}, "into it from another file"},
      /*2*/ {{"defaults", "--model", "0", "-o", file}, "defaults over it"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row << ": " << cases[row].why);
    const ProcessRun r = CliVia(user->prefix, cases[row].args);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, file + ": Ошибка открытия файла")) << r.err;
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "replaced";
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(FileBytes(file), bytes);
  }
  // The same user may change a file of its own there: the refusal is the file's.
  ASSERT_EQ(::chown(source.c_str(), user->uid, static_cast<gid_t>(-1)), 0);
  const ProcessRun own = CliVia(user->prefix, {"set", source, "volume=3"});
  EXPECT_EQ(own.status, 0) << own.err;
  EXPECT_EQ(Read(source).volume, 3);
}

// The waiters of a file lock, as the kernel lists them: "N: -> FLOCK ... MAJ:MIN:INODE ...".
bool SomeoneWaitsFor(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  std::ifstream locks("/proc/locks");
  const std::string inode = ":" + std::to_string(st.st_ino) + " ";
  for (std::string line; std::getline(locks, line);)
    if (Contains(line, "-> FLOCK") && Contains(line, inode)) return true;
  return false;
}

TEST_F(HostileUser, TwoSetsOnOneFileKeepBothEdits) {
  if (!fs::exists("/proc/locks")) GTEST_SKIP() << "no /proc/locks to see the set wait";
  // Another set holds the file: this one waits for it, then changes what the
  // other one wrote, not what it found before.
  const std::string file = Write("shared.qdx");
  const int held = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  ProcessRun waiting;
  std::thread set([&] { waiting = Cli({"set", file, "volume=3"}); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  bool waited = false;
  while (!(waited = SomeoneWaitsFor(file)) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  Settings other = Defaults();
  other.bt_pin = 1234;
  EXPECT_EQ(WriteSettingsFile(file, other), FileResult::ok);
  ::close(held);
  set.join();
  EXPECT_TRUE(waited) << "the set did not wait for the lock";
  EXPECT_EQ(waiting.status, 0) << waiting.err;
  const Settings both = Read(file);
  EXPECT_EQ(both.volume, 3);
  EXPECT_EQ(both.bt_pin, 1234) << "the other edit was lost";

  // Many at once, each its own field: every edit is there at the end.
  const std::string many = Write("many.qdx");
  const std::vector<std::string> edits = {"volume=2",      "bt_pin=4321",         "code128_enabled=false",
                                          "aztec_enabled=true", "redecode_timeout=7", "sleep_timeout=9"};
  std::vector<ProcessRun> runs(edits.size());
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < edits.size(); ++i)
    threads.emplace_back([&, i] { runs[i] = Cli({"set", many, edits[i]}); });
  for (std::thread& t : threads) t.join();
  for (const ProcessRun& r : runs) EXPECT_EQ(r.status, 0) << r.err;
  const Settings all = Read(many);
  EXPECT_EQ(all.volume, 2);
  EXPECT_EQ(all.bt_pin, 4321);
  EXPECT_FALSE(all.code128_enabled);
  EXPECT_TRUE(all.aztec_enabled);
  EXPECT_EQ(all.redecode_timeout, 7);
  EXPECT_EQ(all.sleep_timeout, 9);

  // Nothing to lock is no reason to wait: a FIFO given as the file is refused at once.
  const std::string fifo = Path("in.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const ProcessRun from_fifo = Cli({"set", fifo, "volume=3"});
  EXPECT_FALSE(from_fifo.killed);
  EXPECT_EQ(from_fifo.status, 1) << from_fifo.err;
  EXPECT_TRUE(fs::is_fifo(fifo));
}

// A port tree of the tool's own: ttyS entries with a device and a node each.
class PortTree : public HostileUser {
 protected:
  std::string Add(const std::string& name, const std::string& node_target) {
    fs::create_directories(tty_ / name / "device");
    fs::create_directories(dev_);
    fs::create_symlink(node_target, dev_ / name);
    return (dev_ / name).string();
  }
  std::vector<std::string> Env() const {
    return {"TAVRIK_TTY_CLASS_DIR=" + tty_.string(), "TAVRIK_DEV_DIR=" + dev_.string()};
  }
  const fs::path tty_ = dir_ / "class-tty";
  const fs::path dev_ = dir_ / "dev";
};

TEST_F(PortTree, EntriesThatAreNoFilesNeitherBlockNorFillTheList) {
  StartScanners(3);
  const std::string ports[] = {Add("ttyS0", scanners_[0]->PortPath()), Add("ttyS1", scanners_[1]->PortPath()),
                               Add("ttyS2", scanners_[2]->PortPath())};
  ASSERT_EQ(::mkfifo((tty_ / "ttyS0" / "type").c_str(), 0600), 0);  // no writer: a read waits for ever
  fs::create_directory(tty_ / "ttyS1" / "type");
  fs::create_symlink("/dev/zero", tty_ / "ttyS2" / "type");  // endless
  // A placeholder without a UART stays out, as it always did.
  Add("ttyS3", "/dev/null");
  std::ofstream(tty_ / "ttyS3" / "type") << "0\n";

  const ProcessRun r = Cli({"probe", "--all", "--timeout", "500"}, {.env = Env()});
  EXPECT_FALSE(r.killed) << "the port list blocked";
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ports[0] + "\t" + ModelText(150, false) + " (v.1.0)\tok\n" + ports[1] + "\t" +
                       ModelText(151, false) + " (v.1.0)\tok\n" + ports[2] + "\t" + ModelText(152, false) +
                       " (v.1.0)\tok\n");
}

TEST_F(PortTree, AnEmptyTreeVariableMeansTheMachinesOwnTree) {
  // The first entry of the machine's tree that has a device, given a node of
  // ours: the machine's tree lists it, an empty tree would list nothing.
  StartScanners(1);
  std::vector<std::string> expected;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/sys/class/tty", error)) {
    if (!fs::exists(entry.path() / "device", error)) continue;
    const std::string node = Add(entry.path().filename().string(), scanners_[0]->PortPath());
    expected = EnumSerialPorts("/sys/class/tty", dev_.string());
    if (!expected.empty()) break;
    fs::remove(node);  // a placeholder without a UART: the next one
  }
  if (expected.empty()) GTEST_SKIP() << "this machine's tty tree has no serial port to stand for";
  const ProcessRun r =
      Cli({"probe", "--all", "--timeout", "500"}, {.env = {"TAVRIK_TTY_CLASS_DIR=", "TAVRIK_DEV_DIR=" + dev_.string()}});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, expected[0] + "\t" + ModelText(150, false) + " (v.1.0)\tok\n");
}

TEST_F(PortTree, OnePortUnderSeveralNamesIsRefusedBeforeAnyIsTouched) {
  StartScanners(1);
  const std::string port = scanners_[0]->PortPath();  // /dev/pts/N
  const std::string link = Path("link-to-it");
  fs::create_symlink(port, link);
  const std::string file = Write("approved.qdx");
  const std::string slashed = "/dev//" + port.substr(5);
  const std::string dotted = "/dev/pts/../" + port.substr(5);
  struct Case {
    std::vector<std::string> names;
  };
  const Case cases[] = {
      /*0*/ {{port, slashed}},
      /*1*/ {{port, dotted}},
      /*2*/ {{link, port}},
      /*3*/ {{port, Path("none"), link}},
      /*4*/ {{Path("none"), Path("none")}},  // nothing there: the names decide
      /*5*/ {{Path("none"), dir_.string() + "//none"}},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row);
    for (const char* command : {"save", "probe"}) {
      std::vector<std::string> args = {command};
      if (std::string(command) == "save") args.push_back("--yes");
      for (const std::string& name : cases[row].names) args.insert(args.end(), {"--port", name});
      if (std::string(command) == "save") args.push_back(file);
      const ProcessRun r = Cli(args);
      EXPECT_EQ(r.status, 2) << command << ": " << r.out << r.err;
      EXPECT_TRUE(Contains(r.err, "задан дважды")) << r.err;
      EXPECT_EQ(r.out, "");
    }
  }
  EXPECT_TRUE(scanners_[0]->Requests().empty());

  // A tree where two names lead to one device.
  Add("ttyACM0", port);
  Add("ttyACM1", port);
  const ProcessRun all = Cli({"probe", "--all"}, {.env = Env()});
  EXPECT_EQ(all.status, 2) << all.err;
  EXPECT_TRUE(Contains(all.err, "ttyACM1 задан дважды")) << all.err;
  EXPECT_TRUE(scanners_[0]->Requests().empty());
}

TEST_F(HostileUser, PortNamesStayOneFieldOfOneLine) {
  const std::string tab = Path("a\tb"), newline = Path("c\nd");
  const ProcessRun r = Cli({"probe", "--timeout", "100", "--port", tab, "--port", newline});
  EXPECT_EQ(r.status, 1);
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;
  EXPECT_EQ(lines[0].substr(0, lines[0].find('\t')), Path("a\\tb"));
  EXPECT_EQ(lines[1].substr(0, lines[1].find('\t')), Path("c\\nd"));
  for (const std::string& line : lines) EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
}

TEST_F(HostileUser, ASinglePortThatCannotBeOpenedSaysWhyOnItsLine) {
  ScannerEmulator scanner;
  CComDevice holder;
  OpenDevice(&holder, scanner.PortPath(), 9600, 100);
  const ProcessRun busy = Cli({"probe", "--port", scanner.PortPath(), "--timeout", "100"});
  EXPECT_EQ(busy.status, 1);
  EXPECT_EQ(busy.out, "COM-порт занят другим приложением\n") << busy.err;
  // A scanner that is only silent is still one that was not found.
  holder.Close();
  const ProcessRun quiet = Cli({"probe", "--port", scanner.PortPath(), "--timeout", "100", "--speed", "19200"});
  EXPECT_EQ(quiet.status, 1);
  EXPECT_EQ(quiet.out, std::string(kNotFoundText) + "\n");
}

TEST_F(HostileUser, BarcodeNamesAreFilesOfTheFourFormats) {
  const std::string fifo = Path("out.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string in_dev = "/dev/tavrik-scan-" + std::to_string(::getpid());
  struct Case {
    std::string name;
    std::vector<std::string> message;  // each on stderr
  };
  const Case refused[] = {
      /*0*/ {Path("x.jpg"), {"\"jpg\"", "emf, svg, pdf, png"}},
      /*1*/ {Path("x."), {"emf, svg, pdf, png"}},
      /*2*/ {Path("x.svg.txt"), {"\"txt\""}},
      /*3*/ {"/dev/null", {"/dev/null"}},                   // a device
      /*4*/ {in_dev + ".svg", {"/dev"}},                    // the device folder
      /*5*/ {"/dev/../dev/" + in_dev.substr(5), {"/dev"}},  // the same, without an extension
      /*6*/ {fifo, {fifo}},                                 // a FIFO
  };
  // What a run that took these names would leave in /dev.
  const std::string made[] = {"/dev/null_Old", "/dev/null_New", "/dev/null_Old.emf", in_dev + "_Old.svg",
                              in_dev + "_Old", in_dev + "_Old.emf"};
  std::vector<bool> there_before;
  for (const std::string& name : made) there_before.push_back(fs::exists(name));
  for (std::size_t row = 0; row < std::size(refused); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row << ": " << refused[row].name);
    const ProcessRun r = Cli({"barcodes", "-o", refused[row].name});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_FALSE(r.killed);
    for (const std::string& m : refused[row].message) EXPECT_TRUE(Contains(r.err, m)) << m << "\n" << r.err;
    EXPECT_EQ(r.out, "");
  }
  for (std::size_t i = 0; i < std::size(made); ++i) EXPECT_EQ(fs::exists(made[i]), there_before[i]) << made[i];
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "only the FIFO";

  // No extension: the metafile's is added, and said.
  const ProcessRun plain = Cli({"barcodes", "-o", Path("noext")});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, Path("noext_Old.emf") + "\n" + Path("noext_New.emf") + "\n");
  EXPECT_TRUE(Contains(plain.err, Path("noext.emf"))) << plain.err;
  EXPECT_EQ(FileBytes(Path("noext_New.emf")).at(0), 1) << "a metafile's first record";

  // Names with a newline or a tab: one name a line, escaped; the files have the real names.
  const ProcessRun odd = Cli({"barcodes", "-o", Path("a\nb\tc.svg")});
  ASSERT_EQ(odd.status, 0) << odd.err;
  EXPECT_EQ(odd.out, Path("a\\nb\\tc_Old.svg") + "\n" + Path("a\\nb\\tc_New.svg") + "\n");
  EXPECT_TRUE(fs::exists(Path("a\nb\tc_New.svg")));
}

TEST_F(HostileUser, RepeatedOptionsAndAssignmentsAreUsageErrors) {
  const std::string file = Write("s.qdx");
  const Bytes before = FileBytes(file);
  const std::vector<std::vector<std::string>> cases = {
      /*0*/ {"set", file, "volume=3", "volume=5"},
      /*1*/ {"set", file, "volume=3", "bt_pin=1", "volume=3"},  // even the same value
      /*2*/ {"set", file, "volume=3", "-o", Path("a.qdx"), "-o", Path("b.qdx")},
      /*3*/ {"defaults", "--model", "0", "--model", "204", "-o", Path("a.qdx")},
      /*4*/ {"probe", "--port", "/dev/null", "--timeout", "100", "--timeout", "200"},
      /*5*/ {"barcodes", "-o", Path("a.svg"), "-o", Path("b.svg")},
      /*6*/ {"image", "--model", "0", "--model", "204"},
  };
  for (std::size_t row = 0; row < cases.size(); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row);
    const ProcessRun r = Cli(cases[row]);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_TRUE(Contains(r.err, "задан")) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(FileBytes(file), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "nothing else written";
  // The options meant to repeat still do.
  EXPECT_EQ(Cli({"diff", "--model", "0", "--model", "0"}).status, 0);
}

TEST_F(HostileUser, DiffWhoseOutputIsLostIsTroubleNotADifference) {
  Settings changed = Defaults();
  changed.volume = 1;
  const std::string a = Write("a.qdx"), b = Write("b.qdx", changed);
  const ProcessRun full = Cli({"diff", a, b}, {.stdout_path = "/dev/full"});
  EXPECT_EQ(full.status, 2) << full.err;
  EXPECT_TRUE(Contains(full.err, "ошибка вывода")) << full.err;
  const ProcessRun closed = Cli({"diff", a, b}, {.close_stdout = true});
  EXPECT_EQ(closed.status, 2) << closed.err;
  // Equal files print nothing, so nothing is lost.
  EXPECT_EQ(Cli({"diff", a, a}, {.stdout_path = "/dev/full"}).status, 0);
}

}  // namespace
}  // namespace tavrik
