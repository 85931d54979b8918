// tavrik-cli doctor as a user runs it: emulated scanners on real ptys, paths
// that are no port, several ports in one run, the JSON form, and a user
// without access to the port.

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "tools/cli/test_cli_run.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;
using cli_testing::Cli;
using cli_testing::CliRun;

class DoctorCliTest : public cli_testing::CliFileTest {
 protected:
  std::string Missing() const { return Path("ttyACM7"); }
  ScannerEmulator scanner_;
};

// Each port's block: from its name to its verdict.
std::vector<std::string> Blocks(const std::string& out) {
  std::vector<std::string> blocks;
  std::size_t start = 0;
  while (start < out.size()) {
    std::size_t end = out.find("\n\n", start);
    if (end == std::string::npos) end = out.size() - 1;
    blocks.push_back(out.substr(start, end + 1 - start));
    start = end + 2;
  }
  return blocks;
}

// The tool runs apart from this process, which holds both sides of the
// emulator's line: the master side makes it the other end, not a holder.
TEST_F(DoctorCliTest, SeveralPortsOneBlockEachAndStatusOneWhenOneFails) {
  const std::string port = scanner_.PortPath();
  const CliRun fit = Cli({"doctor", "--port", port});
  EXPECT_EQ(fit.status, 0) << fit.out << fit.err;
  EXPECT_NE(fit.out.find("  [ok] другие процессы: порт не открыт другими процессами\n"), std::string::npos) << fit.out;

  const CliRun both = Cli({"doctor", "--port", port, "--port", Missing()});
  EXPECT_EQ(both.status, 1) << both.err;
  const std::vector<std::string> blocks = Blocks(both.out);
  ASSERT_EQ(blocks.size(), 2u) << both.out;
  EXPECT_EQ(blocks[0], fit.out);
  EXPECT_EQ(blocks[1].rfind(Missing() + "\n  [сбой] устройство: путь не существует\n", 0), 0u) << blocks[1];
  EXPECT_NE(blocks[1].find("  итог: порт не готов к работе\n"), std::string::npos) << blocks[1];
}

TEST_F(DoctorCliTest, JsonHasAnObjectPerPortWithTheChecksAsFields) {
  const CliRun r = Cli({"doctor", "--json", "--port", scanner_.PortPath(), "--port", Missing()});
  EXPECT_EQ(r.status, 1);
  const nlohmann::json ports = nlohmann::json::parse(r.out);
  ASSERT_EQ(ports.size(), 2u);
  const nlohmann::json& fit = ports[0];
  EXPECT_EQ(fit["port"], scanner_.PortPath());
  EXPECT_EQ(fit["fit"], true);
  for (const char* check : {"device", "access", "holders", "usb", "stable_name", "scanner"}) {
    SCOPED_TRACE(check);
    ASSERT_TRUE(fit.contains(check));
    EXPECT_TRUE(fit[check]["result"].is_string());
    EXPECT_TRUE(fit[check]["text"].is_string());
    EXPECT_TRUE(fit[check]["fixes"].is_array());
  }
  EXPECT_EQ(fit["device"]["kind"], "terminal");
  EXPECT_EQ(fit["holders"]["processes"], nlohmann::json::array());
  EXPECT_EQ(fit["scanner"]["answered"], true);
  EXPECT_EQ(fit["scanner"]["model"], 150);
  EXPECT_EQ(fit["scanner"]["firmware"], "1.3");
  EXPECT_EQ(ports[1]["fit"], false);
  EXPECT_EQ(ports[1]["device"]["kind"], "missing");
  EXPECT_EQ(ports[1]["scanner"]["result"], "skipped");
}

TEST_F(DoctorCliTest, WrongCommandLinesAndNoPortsAtAll) {
  const std::string port = scanner_.PortPath();
  EXPECT_EQ(Cli({"doctor", "--port", port, "--speed", "1234"}).status, 2);
  EXPECT_EQ(Cli({"doctor", "--port", port, "--port", port}).status, 2);
  EXPECT_EQ(Cli({"doctor", port}).status, 2);
  const CliRun none = Cli({"doctor"}, "", {"TAVRIK_TTY_CLASS_DIR=" + Path("empty")});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.out.find("Последовательных портов нет"), std::string::npos) << none.out;
  // --speed is the speed of the probe: the scanner at 9600 is silent at 19200.
  const CliRun slow = Cli({"doctor", "--port", port, "--speed", "19200"});
  EXPECT_EQ(slow.status, 1);
  EXPECT_NE(slow.out.find("  [сбой] сканер: не ответил на 19200 за 1000 мс\n"), std::string::npos) << slow.out;
}

// The real access check: the tool run as a user outside the port's group.
TEST_F(DoctorCliTest, UserOutsideThePortsGroupGetsTheUsermodLine) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the tool as another user";
  const std::string port = scanner_.PortPath();
  const group* dialout = ::getgrnam("dialout");
  ASSERT_NE(dialout, nullptr);
  ASSERT_EQ(::chown(port.c_str(), static_cast<uid_t>(-1), dialout->gr_gid), 0);
  ASSERT_EQ(::chmod(port.c_str(), 0660), 0);
  // The tool must be reachable by that user.
  for (fs::path at = fs::path(TAVRIK_CLI).parent_path(); at != at.root_path(); at = at.parent_path()) {
    struct stat st {};
    if (::stat(at.c_str(), &st) != 0 || (st.st_mode & S_IXOTH) == 0) GTEST_SKIP() << at << " is closed to others";
  }
  const CliRun r = test::RunProcess("/usr/bin/setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                                         TAVRIK_CLI, "doctor", "--port", port});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.out.find("  [сбой] доступ: пользователь nobody не может открыть порт для чтения и записи (владелец "),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(", группа dialout, права crw-rw----); nobody не в группе dialout\n"
                       "        sudo usermod -aG dialout nobody\n"
                       "        затем выйдите из системы и войдите снова\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  [пропуск] сканер: не проверялось: нет доступа к порту\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tavrik
