// The emulator's own lifecycle and the tavrik-scanner-sim program.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "settings/SettingsFile.h"
#include "settings/update_settings_def.h"

namespace tavrik {
namespace {

using Bytes = std::vector<std::uint8_t>;
using SI = CScannerInterface;

// The program, started with its stdout on a pipe; killed if a test leaves it.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, STDERR_FILENO);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      static std::string program = TAVRIK_SCANNER_SIM;
      argv.push_back(program.data());
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    out_ = out[0];
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
  }
  // The first line of output, or "" when none comes within `wait_ms`.
  std::string FirstLine(int wait_ms = 5000) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd entry{out_, POLLIN, 0};
      if (poll(&entry, 1, 50) <= 0) continue;
      char c;
      if (read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return "";
  }
  // The exit status after `signal_number`, or -1 when it does not end in time.
  int End(int signal_number, int wait_ms = 5000) {
    if (signal_number) kill(pid_, signal_number);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

TEST(ScannerSimProgram, ServesTheChosenScannerUntilCtrlC) {
  SimProcess sim({"--model", "208", "--firmware", "0x0207", "--image-size", "176", "--speed", "38400"});
  const std::string path = sim.FirstLine();
  ASSERT_FALSE(path.empty());
  {
    CComDevice port;
    OpenDevice(&port, path, 38400, 500);
    SI scanner(&port);
    DeviceInfo info;
    ASSERT_EQ(scanner.GetDeviceInfo(&info), SI::no_error);
    EXPECT_EQ(info.model, 208);
    EXPECT_EQ(info.firmware_version, 0x0207);
    std::uint8_t size[2] = {};
    ASSERT_EQ(scanner.ReadMemory(SETTINGS_ADDRESS + 1, size, 2), SI::no_error);
    EXPECT_EQ(size[0] | (size[1] << 8), 176);
  }
  EXPECT_EQ(sim.End(SIGINT), 0);
}

TEST(ScannerSimProgram, TakesTheImageOfASettingsFile) {
  const std::string file = ::testing::TempDir() + "/sim_image.qdx";
  Settings settings{};
  LoadDefaults(settings);
  ASSERT_EQ(WriteSettingsFile(file, settings), FileResult::ok);
  // The image as the file holds it, behind its signature.
  std::ifstream in(file, std::ios::binary);
  const Bytes stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(stored.size(), 4 + kPlacementSize);
  const std::uint8_t* expected = stored.data() + 4;

  SimProcess sim({"--image", file});
  const std::string path = sim.FirstLine();
  ASSERT_FALSE(path.empty());
  {
    CComDevice port;
    OpenDevice(&port, path, 9600, 500);
    SI scanner(&port);
    Bytes image(kPlacementSize);
    ASSERT_EQ(scanner.ReadMemory(SETTINGS_ADDRESS, image.data(), kPlacementSize), SI::no_error);
    EXPECT_EQ(Bytes(image.begin() + 3, image.end()), Bytes(expected + 3, expected + kPlacementSize));
  }
  EXPECT_EQ(sim.End(SIGTERM), 0);
  std::remove(file.c_str());
}

TEST(ScannerSimProgram, BadOptionsAreRefused) {
  const std::vector<std::vector<std::string>> cases = {
      {"--speed", "12345"}, {"--model", "300"}, {"--model"}, {"--frobnicate"}, {"--image", "/nonexistent.qdx"},
      {"--firmware", "-1"},
      {"--image-size", "65536"},  // the header holds 16 bits; 65536 would read as 0
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args[0]);
    SimProcess sim(args);
    EXPECT_EQ(sim.End(0), 2);
  }
}

TEST(ScannerEmulatorLifecycle, StopsWhileTheProgramHoldsThePort) {
  for (int round = 0; round < 5; ++round) {
    ScannerEmulator emulator;
    CComDevice port;
    OpenDevice(&port, emulator.PortPath(), 9600, 20);
    // Half a frame waiting in the emulator when it is stopped.
    const std::uint8_t half[] = {0x02, 0x09, 0x9D};
    port.Write(half, sizeof half);
    emulator.Stop();
    emulator.Stop();
    EXPECT_THROW(port.ReadByte(), CBasicDevice::CException);
  }
}

TEST(ScannerEmulatorLifecycle, HangUpClosesTheLineForGood) {
  ScannerEmulator emulator;
  emulator.AddFault({FaultKind::hang_up, 0, 1, 0});
  CComDevice port;
  OpenDevice(&port, emulator.PortPath(), 9600, 100);
  SI scanner(&port);
  DeviceInfo info;
  EXPECT_EQ(scanner.GetDeviceInfo(&info), SI::no_connection);
  EXPECT_TRUE(emulator.HungUp());
  CComDevice again;
  EXPECT_THROW(OpenDevice(&again, emulator.PortPath(), 9600, 100), CComDevice::CException);
}

TEST(ScannerEmulatorLifecycle, RefusesASpeedOutsideTheTable) {
  EmulatorConfig config;
  config.speed = 12345;
  EXPECT_THROW(ScannerEmulator{config}, std::invalid_argument);
}

}  // namespace
}  // namespace tavrik
