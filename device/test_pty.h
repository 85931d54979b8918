#pragma once
// For the device tests: a bare pseudo-terminal whose master end the test drives
// by hand, to see the exact bytes a port sends and to feed it any bytes at all.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrik::testing {

class RawPty {
 public:
  RawPty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) throw std::runtime_error("no pty");
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("no pty name");
    path_ = name;
    // Held open so the line does not hang up while the port under test is closed.
    keeper_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    tcgetattr(master_, &tio);
    cfmakeraw(&tio);
    tcsetattr(master_, TCSANOW, &tio);
  }
  ~RawPty() {
    CloseMaster();
    if (keeper_ >= 0) close(keeper_);
  }
  RawPty(const RawPty&) = delete;
  RawPty& operator=(const RawPty&) = delete;

  const std::string& Path() const { return path_; }
  int Master() const { return master_; }

  void Send(const std::vector<std::uint8_t>& bytes) {
    if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
      throw std::runtime_error("pty write");
  }
  // Up to `count` bytes that the port sent, waiting at most `wait_ms` in all.
  std::vector<std::uint8_t> Receive(std::size_t count, int wait_ms = 1000) {
    std::vector<std::uint8_t> bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    while (bytes.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd entry{master_, POLLIN, 0};
      if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) break;
      std::uint8_t buffer[512];
      const ssize_t n = read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
      if (n <= 0) break;
      bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
  }
  termios Line() const {
    termios tio{};
    tcgetattr(master_, &tio);
    return tio;
  }
  void SetLine(const termios& tio) { tcsetattr(master_, TCSANOW, &tio); }
  // Hangs the line up, as a pulled USB cable does.
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  int keeper_ = -1;
  std::string path_;
};

}  // namespace tavrik::testing
