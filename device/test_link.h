#pragma once
// For the device tests: a scanner emulator on a pty with a port opened on it
// and a protocol object attached, as one device action holds them.

#include <cstdint>
#include <memory>

#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"

namespace tavrik::testing {

// Answers come within a few milliseconds; the margin is for a loaded machine.
// Tests that expect many silent attempts pass a shorter time-out.
inline constexpr std::uint32_t kTestTimeoutMs = 250;

struct EmulatorLink {
  explicit EmulatorLink(const EmulatorConfig& config = {}, std::uint32_t timeout_ms = kTestTimeoutMs)
      : emulator(config), scanner(&port) {
    OpenDevice(&port, emulator.PortPath(), config.speed, timeout_ms);
  }
  ScannerEmulator emulator;
  CComDevice port;
  CScannerInterface scanner;
};

}  // namespace tavrik::testing
