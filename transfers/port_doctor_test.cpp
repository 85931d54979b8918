// The host check of a port, on real pseudo-terminals (the emulator, a bare
// pty that never answers, a pty another process holds) and on a fake sysfs,
// udev and /proc tree laid out as the kernel and udev lay out a USB CDC scanner.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "device/test_pty.h"
#include "device/testing/ScannerEmulator.h"
#include "testsupport/TempDir.h"
#include "transfers/PortDoctor.h"

extern char** environ;

namespace tavrik {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kProbeTimeout = 300;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<const DoctorCheck*> AfterNode(const PortDiagnosis& d) {
  return {&d.access, &d.holding, &d.usb_check, &d.stable_name, &d.scanner};
}

TEST(PortDoctorTest, PortWithAnsweringScannerIsFit) {
  ScannerEmulator scanner;
  const PortDiagnosis d = DiagnosePort(scanner.PortPath(), 9600, kProbeTimeout);
  EXPECT_TRUE(d.Fit()) << DiagnosisText(d);
  EXPECT_EQ(d.kind, "terminal");
  EXPECT_EQ(d.node.result, CheckResult::ok);
  EXPECT_EQ(d.access.result, CheckResult::ok);
  EXPECT_EQ(d.holding.result, CheckResult::ok) << d.holding.text;
  EXPECT_EQ(d.usb_check.result, CheckResult::not_applicable);
  EXPECT_EQ(d.scanner.result, CheckResult::ok);
  EXPECT_TRUE(d.answered);
  EXPECT_EQ(d.info.model, 150);
  const std::string text = DiagnosisText(d);
  EXPECT_EQ(text.rfind(scanner.PortPath() + "\n", 0), 0u) << text;
  EXPECT_TRUE(Contains(text, "  [ok] сканер: ответил на 9600: " + ModelText(150, false) + " (v.1.3)\n")) << text;
  EXPECT_TRUE(Contains(text, "  итог: порт готов к работе\n")) << text;
}

// Another program that has the port open, here `sleep` with the pty as its stdin.
class HeldPort {
 public:
  explicit HeldPort(const std::string& path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, path.c_str(), O_RDWR | O_NOCTTY, 0);
    char sleep[] = "sleep", seconds[] = "60";
    char* argv[] = {sleep, seconds, nullptr};
    if (posix_spawnp(&pid_, "sleep", &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    // Until the child has opened the port and become `sleep`.
    for (int i = 0; i < 200 && pid_ > 0; ++i) {
      std::error_code ec;
      if (fs::exists("/proc/" + std::to_string(pid_) + "/fd/0", ec)) {
        std::ifstream comm("/proc/" + std::to_string(pid_) + "/comm");
        std::string name;
        if (std::getline(comm, name) && name == "sleep") break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~HeldPort() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  int pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

TEST(PortDoctorTest, HeldPortNamesTheProcessAndLeavesItsScannerAlone) {
  ScannerEmulator scanner;
  HeldPort holder(scanner.PortPath());
  ASSERT_GT(holder.pid(), 0);
  scanner.ClearRequests();
  const PortDiagnosis d = DiagnosePort(scanner.PortPath(), 9600, kProbeTimeout);
  EXPECT_FALSE(d.Fit());
  ASSERT_EQ(d.holders.size(), 1u) << d.holding.text;
  EXPECT_EQ(d.holders[0].pid, holder.pid());
  EXPECT_EQ(d.holders[0].program, "sleep");
  EXPECT_EQ(d.holding.result, CheckResult::failed);
  EXPECT_EQ(d.holding.text, "порт открыт другим процессом: PID " + std::to_string(holder.pid()) + " (sleep)");
  EXPECT_EQ(d.scanner.result, CheckResult::skipped);
  EXPECT_TRUE(scanner.Requests().empty()) << "the other program's line was used";
}

// The access check behind its seam: a user who may not open the port, in
// every relation to the port's group.
TEST(PortDoctorTest, PortTheUserCannotOpenTellsHowToGetAccess) {
  ScannerEmulator scanner;
  const std::string port = scanner.PortPath();
  struct stat st {};
  ASSERT_EQ(::stat(port.c_str(), &st), 0);
  if (st.st_gid == 0) {
    // The root group is no group to join; the usual group of serial ports is.
    const group* dialout = ::getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    ASSERT_EQ(::chown(port.c_str(), static_cast<uid_t>(-1), dialout->gr_gid), 0);
    st.st_gid = dialout->gr_gid;
  }
  const std::string group = ::getgrgid(st.st_gid)->gr_name;
  const std::uint32_t gid = st.st_gid;
  struct Case {
    mode_t mode;
    std::vector<std::uint32_t> session, login;
    std::string found;
    std::vector<std::string> fixes;
  };
  const Case cases[] = {
      /*0*/ {0660, {100}, {100}, "ivan не в группе " + group,
             {"sudo usermod -aG " + group + " ivan", "затем выйдите из системы и войдите снова"}},
      // usermod done, login not yet: only the login is missing
      /*1*/ {0660, {100}, {100, gid}, "ivan в группе " + group + " только со следующего входа в систему",
             {"выйдите из системы и войдите снова"}},
      // the group may not read: joining it would not help
      /*2*/ {0620, {100}, {100}, "группа " + group + " не может читать и писать в порт",
             {"правило udev (ниже, для порта USB) даёт порт группе dialout с правами 0660; затем sudo usermod -aG "
              "dialout ivan"}},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const Case& c = cases[row];
    ASSERT_EQ(::chmod(port.c_str(), c.mode), 0);
    DoctorHost host;
    host.can_open = [](const std::string&) { return false; };
    host.user = [&c] { return HostUser{"ivan", c.session, c.login}; };
    const PortDiagnosis d = DiagnosePort(port, 9600, kProbeTimeout, host);
    EXPECT_FALSE(d.Fit());
    EXPECT_EQ(d.access.result, CheckResult::failed);
    EXPECT_EQ(d.group, group);
    EXPECT_EQ(d.mode, c.mode);
    EXPECT_TRUE(Contains(d.access.text, "пользователь ivan не может открыть порт для чтения и записи")) << d.access.text;
    EXPECT_TRUE(Contains(d.access.text, "группа " + group)) << d.access.text;
    EXPECT_TRUE(Contains(d.access.text, c.found)) << d.access.text;
    EXPECT_EQ(d.access.fixes, c.fixes);
    EXPECT_EQ(d.scanner.result, CheckResult::skipped) << "a port without access is not opened";
  }
}

TEST(PortDoctorTest, PathsThatAreNoPortFailAtTheFirstCheck) {
  test::TempDir dir("tavrik-doctor");
  std::ofstream(dir.Path("file")) << "x";
  struct Case {
    std::string path;
    std::string kind;
    std::string text;
  };
  const Case cases[] = {
      /*0*/ {dir.Path("ttyACM9"), "missing", "путь не существует"},
      /*1*/ {dir.Path("file"), "regular_file", "обычный файл, а не устройство"},
      /*2*/ {dir.str(), "directory", "папка, а не устройство"},
      /*3*/ {"/dev/null", "character_device", "символьное устройство, но не терминал"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const PortDiagnosis d = DiagnosePort(cases[row].path, 9600, kProbeTimeout);
    EXPECT_FALSE(d.Fit());
    EXPECT_EQ(d.kind, cases[row].kind);
    EXPECT_EQ(d.node.result, CheckResult::failed);
    EXPECT_EQ(d.node.text, cases[row].text);
    for (const DoctorCheck* check : AfterNode(d)) EXPECT_EQ(check->result, CheckResult::skipped);
  }
}

TEST(PortDoctorTest, SilentTerminalFailsAtTheScannerWithTheSearchHint) {
  testing::RawPty pty;
  const PortDiagnosis d = DiagnosePort(pty.Path(), 19200, kProbeTimeout);
  EXPECT_FALSE(d.Fit());
  EXPECT_EQ(d.node.result, CheckResult::ok);
  EXPECT_EQ(d.holding.result, CheckResult::ok) << "the keeper of the line is this process";
  EXPECT_EQ(d.scanner.result, CheckResult::failed);
  EXPECT_EQ(d.scanner.text, "не ответил на 19200 за 300 мс");
  ASSERT_EQ(d.scanner.fixes.size(), 1u);
  EXPECT_TRUE(Contains(d.scanner.fixes[0], "tavrik-cli search")) << d.scanner.fixes[0];
}

// sysfs, udev's database, /dev and /proc of a machine with a USB CDC scanner
// on the emulator's pty (the pty's name stands for ttyACM0).
class UsbTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = scanner_.PortPath();
    const std::string tty = fs::path(port_).filename().string();
    const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1/1-2";
    Write("sys/" + usb + "/idVendor", "1eab\n");
    Write("sys/" + usb + "/idProduct", "1a03\n");
    Write("sys/" + usb + "/serial", "ZD123456\n");
    Write("sys/" + usb + "/manufacturer", "Zeyd\n");
    Write("sys/" + usb + "/product", "Luch H4\n");
    const fs::path interface = root() / "sys" / usb / "1-2:1.0";
    fs::create_directories(interface / "tty" / tty);
    fs::create_directory_symlink("../../../1-2:1.0", interface / "tty" / tty / "device");
    fs::create_directories(root() / "sys/class/tty");
    fs::create_directory_symlink("../../" + usb + "/1-2:1.0/tty/" + tty, root() / "sys/class/tty" / tty);
    // The modem manager runs; the kernel's tty drivers are this machine's.
    Write("proc/812/comm", "ModemManager\n");
    // (Read as a stream: /proc reports a size of 0.)
    std::ifstream drivers("/proc/tty/drivers");
    Write("proc/tty/drivers", std::string(std::istreambuf_iterator<char>(drivers), {}));
    fs::create_directories(root() / "dev/serial/by-id");
    fs::create_symlink(port_, root() / by_id_);
    struct stat st {};
    ::stat(port_.c_str(), &st);
    record_ = "udev/c" + std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev));
    host_.sysfs_root = (root() / "sys").string();
    host_.proc_root = (root() / "proc").string();
    host_.udev_data_root = (root() / "udev").string();
    host_.dev_root = (root() / "dev").string();
  }
  const fs::path& root() const { return dir_.path(); }
  void Write(const std::string& relative, const std::string& text) {
    fs::create_directories((root() / relative).parent_path());
    std::ofstream(root() / relative) << text;
  }
  PortDiagnosis Diagnose() { return DiagnosePort(port_, 9600, kProbeTimeout, host_); }

  test::TempDir dir_{"tavrik-doctor-usb"};
  ScannerEmulator scanner_;
  std::string port_;
  std::string record_;
  const std::string by_id_ = "dev/serial/by-id/usb-Zeyd_Luch_H4_ZD123456-if00";
  DoctorHost host_;
};

TEST_F(UsbTreeTest, WithoutTheModemManagerRuleTheUdevRuleLineIsGiven) {
  Write(record_, "S:serial/by-id/usb-Zeyd_Luch_H4_ZD123456-if00\nE:ID_VENDOR_ID=1eab\nE:ID_MM_CANDIDATE=1\n");
  const PortDiagnosis d = Diagnose();
  ASSERT_TRUE(d.usb);
  EXPECT_EQ(d.usb->vendor_id, "1eab");
  EXPECT_EQ(d.usb->product_id, "1a03");
  EXPECT_EQ(d.usb->serial, "ZD123456");
  EXPECT_TRUE(d.modem_manager_running);
  EXPECT_EQ(d.modem_manager_ignores, false);
  EXPECT_EQ(d.usb_check.result, CheckResult::warning);
  EXPECT_EQ(d.usb_check.text,
            "1eab:1a03 Zeyd Luch H4, серийный номер ZD123456; ModemManager запущен, правила udev, закрывающего от "
            "него порт, нет: после подключения он несколько секунд опрашивает порт");
  const std::vector<std::string> fixes = {
      "tavrik-cli udev-rule " + port_ + " | sudo tee /etc/udev/rules.d/70-tavrik-ZD123456.rules",
      "затем sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=tty"};
  EXPECT_EQ(d.usb_check.fixes, fixes);
  EXPECT_EQ(d.stable_names, std::vector<std::string>{(root() / by_id_).string()});
  // A warning, not a fault: the scanner answers, the port is fit.
  EXPECT_TRUE(d.Fit()) << DiagnosisText(d);
}

TEST_F(UsbTreeTest, OurRuleKeepsTheModemManagerOffAndGivesTheFirstStableName) {
  Write(record_, "S:serial/by-id/usb-Zeyd_Luch_H4_ZD123456-if00\nS:tavrik-ZD123456\nE:ID_MM_DEVICE_IGNORE=1\n");
  fs::create_symlink(port_, root() / "dev/tavrik-ZD123456");
  // A link to another port is no name of this one.
  fs::create_symlink("/dev/null", root() / "dev/serial/by-id/usb-Other-if00");
  const PortDiagnosis d = Diagnose();
  EXPECT_EQ(d.modem_manager_ignores, true);
  EXPECT_EQ(d.usb_check.result, CheckResult::ok);
  EXPECT_TRUE(d.usb_check.fixes.empty());
  const std::vector<std::string> names = {(root() / "dev/tavrik-ZD123456").string(), (root() / by_id_).string()};
  EXPECT_EQ(d.stable_names, names);
  EXPECT_EQ(d.stable_name.result, CheckResult::ok);
}

TEST_F(UsbTreeTest, WithoutAUdevRecordTheRuleIsUnknownAndStillOffered) {
  fs::remove(root() / by_id_);
  const PortDiagnosis d = Diagnose();
  EXPECT_FALSE(d.modem_manager_ignores.has_value());
  EXPECT_EQ(d.usb_check.result, CheckResult::warning);
  EXPECT_EQ(d.usb_check.fixes.size(), 2u);
  EXPECT_TRUE(d.stable_names.empty());
  EXPECT_EQ(d.stable_name.fixes, std::vector<std::string>{"ссылку /dev/tavrik-ZD123456 даёт правило udev (выше)"});
}

}  // namespace
}  // namespace tavrik
