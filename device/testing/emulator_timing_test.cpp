// The emulator's line in time: paced bytes, late answers, a line that drops
// and comes back. Only lower bounds on time are checked, so a loaded machine
// cannot fail them; the upper ones are the protocol's own time-outs.

#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "settings/update_settings_def.h"

namespace tavrik {
namespace {

using Bytes = std::vector<std::uint8_t>;
using SI = CScannerInterface;
using Ms = std::chrono::milliseconds;

Ms Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start);
}

TEST(EmulatorTiming, PacedBytesTakeTheirLineTime) {
  EmulatorConfig config;
  config.pace = true;
  ScannerEmulator emulator(config);
  CComDevice port;
  OpenDevice(&port, emulator.PortPath(), 9600, 1000);
  SI scanner(&port);
  Bytes image(kPlacementSize);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(scanner.ReadMemory(SETTINGS_ADDRESS, image.data(), kPlacementSize), SI::no_error);
  const Ms took = Since(start);
  EXPECT_EQ(image, emulator.ReadMemory(SETTINGS_ADDRESS, kPlacementSize));
  // Three blocks (128, 128, 12 bytes): 9-byte requests, answers of the data
  // and 5 bytes of frame, 10 bits a byte at 9600 baud.
  const std::size_t bytes = 3 * 9 + (128 + 5) * 2 + (12 + 5);
  const Ms line_time{bytes * 10 * 1000 / 9600};
  EXPECT_GE(took, line_time) << "moved " << bytes << " bytes";
}

TEST(EmulatorTiming, LateAnswers) {
  struct Case {
    std::uint32_t delay_ms;
    std::uint32_t timeout_ms;
    std::int32_t result;
    const char* why;
  };
  const Case cases[] = {
      /*0*/ {150, 1000, SI::no_error, "late but well within the time-out"},
      /*1*/ {700, 1000, SI::no_error, "near the time-out"},
      /*2*/ {1500, 200, SI::no_connection, "past the time-out of every attempt"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "row " << i << ": " << c.why);
    EmulatorConfig config;
    config.answer_delay_ms = c.delay_ms;
    ScannerEmulator emulator(config);
    CComDevice port;
    OpenDevice(&port, emulator.PortPath(), 9600, c.timeout_ms);
    SI scanner(&port);
    DeviceInfo info;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(scanner.GetDeviceInfo(&info), c.result);
    if (c.result == SI::no_error) {
      EXPECT_GE(Since(start), Ms(c.delay_ms));
    }
  }
}

TEST(EmulatorTiming, ADroppedLineComesBack) {
  ScannerEmulator emulator;
  Fault drop{FaultKind::line_drop, SI::cmd_read_block, 1};
  drop.skip = 1;  // between the first and the second block
  drop.duration_ms = 1500;
  emulator.AddFault(drop);
  CComDevice port;
  OpenDevice(&port, emulator.PortPath(), 9600, 100);
  SI scanner(&port);
  Bytes image(kPlacementSize);
  EXPECT_EQ(scanner.ReadMemory(SETTINGS_ADDRESS, image.data(), kPlacementSize), SI::no_connection);
  std::this_thread::sleep_for(Ms(1600));
  EXPECT_EQ(scanner.ReadMemory(SETTINGS_ADDRESS, image.data(), kPlacementSize), SI::no_error);
  EXPECT_EQ(image, emulator.ReadMemory(SETTINGS_ADDRESS, kPlacementSize));
}

TEST(EmulatorTiming, ALateAnswerIsNeverTakenForTheNextBlock) {
  ScannerEmulator emulator;
  Bytes pattern(256);
  for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<std::uint8_t>(i < 128 ? 0x11 : 0x22);
  emulator.WriteMemory(SETTINGS_ADDRESS, pattern);
  // The first block's answer comes past the time-out, the answer to its retry
  // a little later, while the program already waits for the second block.
  Fault first{FaultKind::late_answer, SI::cmd_read_block, 1};
  first.duration_ms = 300;
  Fault retry{FaultKind::late_answer, SI::cmd_read_block, 1};
  retry.duration_ms = 120;
  emulator.AddFault(first);
  emulator.AddFault(retry);
  CComDevice port;
  OpenDevice(&port, emulator.PortPath(), 9600, 200);
  SI scanner(&port);
  Bytes image(256);
  ASSERT_EQ(scanner.ReadMemory(SETTINGS_ADDRESS, image.data(), 256), SI::no_error);
  EXPECT_EQ(image, pattern);
}

}  // namespace
}  // namespace tavrik
