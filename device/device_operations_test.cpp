// The device operations against the scanner emulator over a real pty.

#include <set>

#include <gtest/gtest.h>

#include "device/Clock.h"
#include "device/ScannerInterface.h"
#include "device/test_link.h"
#include "settings/update_settings_def.h"

namespace tavrik {
namespace {

using testing::EmulatorLink;
using Bytes = std::vector<std::uint8_t>;
using SI = CScannerInterface;

std::string ThrownText(const std::function<void()>& action) {
  try {
    action();
  } catch (const object_description& error) {
    return error.GetText();
  }
  return "(nothing thrown)";
}

TEST(DeviceInfoOperation, ReportsModelAndFirmware) {
  EmulatorConfig config;
  config.model = 208;
  config.firmware = 0x073C;
  config.reserved_info = 0xBEEF;
  EmulatorLink link(config);
  DeviceInfo info;
  ASSERT_EQ(link.scanner.GetDeviceInfo(&info, false), SI::no_error);
  EXPECT_EQ(info.model, 208);
  EXPECT_EQ(info.firmware_version, 0x073C);
  EXPECT_EQ(info.reserved, 0xBEEF);
  ASSERT_EQ(link.scanner.GetDeviceInfo(&info, true), SI::no_error);
  const auto requests = link.emulator.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], (Bytes{0x9E, 0x01}));
  EXPECT_EQ(requests[1], (Bytes{0x9E, 0x00}));  // the speed check
}

TEST(StateOperations, WriteAndReadTheStateWord) {
  EmulatorLink link;
  DeviceState state;
  state.bytes[0] = 0x41;
  state.bytes[2] = 0x7E;
  MarkSettingsTransfer(state);
  EXPECT_EQ(state.bytes[0], 0x61);
  ASSERT_EQ(link.scanner.SetDeviceState(state), SI::no_error);
  DeviceState back;
  ASSERT_EQ(link.scanner.GetDeviceState(&back), SI::no_error);
  EXPECT_EQ(Bytes(back.bytes, back.bytes + 4), (Bytes{0x61, 0x00, 0x7E, 0x00}));
}

TEST(FlagOperations, PressedAndHasBeenPressedRoundTrip) {
  EmulatorLink link;
  bool pressed = true;
  bool has_been = true;
  ASSERT_EQ(link.scanner.GetPressed(&pressed), SI::no_error);
  ASSERT_EQ(link.scanner.GetHasBeenPressed(&has_been), SI::no_error);
  EXPECT_FALSE(pressed);
  EXPECT_FALSE(has_been);
  ASSERT_EQ(link.scanner.SetPressed(true), SI::no_error);
  ASSERT_EQ(link.scanner.SetHasBeenPressed(true), SI::no_error);
  ASSERT_EQ(link.scanner.GetPressed(&pressed), SI::no_error);
  ASSERT_EQ(link.scanner.GetHasBeenPressed(&has_been), SI::no_error);
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(has_been);
  EXPECT_EQ(link.emulator.Requests()[2], (Bytes{0x9A, 0x01}));
}

TEST(ValueOperations, ValuesOutsideTheTablesAreErrorsNotIndexes) {
  EmulatorConfig config;
  config.host_interface = 2;
  EmulatorLink link(config);
  std::uint8_t interfc = 77;
  ASSERT_EQ(link.scanner.GetInterface(&interfc), SI::no_error);
  EXPECT_EQ(interfc, 2);
  std::uint8_t speed = 77;
  ASSERT_EQ(link.scanner.GetSpeedIndex(&speed), SI::no_error);
  EXPECT_EQ(speed, 2);

  link.emulator.AddFault({FaultKind::data_byte, SI::cmd_interface, -1, 3});
  link.emulator.AddFault({FaultKind::data_byte, SI::cmd_speed, -1, 7});
  interfc = 77;
  speed = 77;
  EXPECT_EQ(link.scanner.GetInterface(&interfc), SI::bad_answer_value);
  EXPECT_EQ(link.scanner.GetSpeedIndex(&speed), SI::bad_answer_value);
  EXPECT_EQ(interfc, 77);
  EXPECT_EQ(speed, 77);
  EXPECT_EQ(ThrownText([&] { ChangeSpeed(link.scanner, 4, false); }), "(-3) Неверное значение в ответе");
}

struct Progress {
  std::vector<std::uint32_t> done;
  std::uint32_t total = 0;
  const std::uint8_t* buffer = nullptr;
};
void Record(const std::uint8_t* buffer, std::uint32_t done, std::uint32_t total, void* user) {
  auto* progress = static_cast<Progress*>(user);
  progress->done.push_back(done);
  progress->total = total;
  progress->buffer = buffer;
}

TEST(MemoryOperations, ThreeHundredBytesGoInBlocksOf128And128And44) {
  EmulatorConfig config;
  config.image_size = 300;
  EmulatorLink link(config);
  Bytes image(300);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i ^ 0x5A);

  Progress written;
  ASSERT_EQ(link.scanner.WriteMemory(SETTINGS_ADDRESS, image.data(), 300, Record, &written, 128), SI::no_error);
  EXPECT_EQ(written.done, (std::vector<std::uint32_t>{128, 256, 300}));
  EXPECT_EQ(written.total, 300u);
  EXPECT_EQ(written.buffer, image.data());
  EXPECT_EQ(link.emulator.ReadMemory(SETTINGS_ADDRESS, 300), image);
  const auto writes = link.emulator.Requests();
  ASSERT_EQ(writes.size(), 3u);
  const std::uint32_t expected_offsets[] = {0, 128, 256};
  const std::size_t expected_sizes[] = {128, 128, 44};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const std::uint32_t address = SETTINGS_ADDRESS + expected_offsets[i];
    EXPECT_EQ(writes[i][0], 0x9C);
    EXPECT_EQ(Bytes(writes[i].begin() + 1, writes[i].begin() + 5),
              (Bytes{static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8),
                     static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 24)}));
    EXPECT_EQ(writes[i].size() - 5, expected_sizes[i]);
  }

  link.emulator.ClearRequests();
  Bytes back(300);
  Progress read;
  ASSERT_EQ(link.scanner.ReadMemory(SETTINGS_ADDRESS, back.data(), 300, Record, &read, 128), SI::no_error);
  EXPECT_EQ(back, image);
  EXPECT_EQ(read.done, (std::vector<std::uint32_t>{128, 256, 300}));
  const auto reads = link.emulator.Requests();
  ASSERT_EQ(reads.size(), 3u);
  EXPECT_EQ(reads[2], (Bytes{0x9D, 0x00, 0x01, 0xFE, 0x00, 44}));
}

TEST(MemoryOperations, BlockAnsweredOneByteShortIsABadLength) {
  EmulatorLink link;
  link.emulator.AddFault({FaultKind::missing_data_byte, SI::cmd_read_block});
  Bytes block(10, 0x77);
  EXPECT_EQ(link.scanner.ReadBlock(SETTINGS_ADDRESS, block.data(), 10), SI::bad_answer_length);
  EXPECT_EQ(link.emulator.Requests().size(), 1u);  // not retried
  EXPECT_EQ(block, Bytes(10, 0x77));               // nothing stored
}

TEST(MemoryOperations, NothingToMoveSendsNothing) {
  EmulatorLink link;
  Progress progress;
  EXPECT_EQ(link.scanner.WriteMemory(SETTINGS_ADDRESS, nullptr, 0, Record, &progress, 128), SI::no_error);
  EXPECT_EQ(link.scanner.ReadMemory(SETTINGS_ADDRESS, nullptr, 0, Record, &progress, 128), SI::no_error);
  EXPECT_TRUE(link.emulator.Requests().empty());
  EXPECT_TRUE(progress.done.empty());
}

TEST(MemoryOperations, StopsAtTheFirstFailingBlock) {
  EmulatorLink link;
  Fault flash{FaultKind::flash_write_error};
  flash.address = SETTINGS_ADDRESS + 200;
  link.emulator.AddFault(flash);
  const Bytes before = link.emulator.ReadMemory(SETTINGS_ADDRESS, 300);
  Bytes image(300, 0x11);
  Progress progress;
  EXPECT_EQ(link.scanner.WriteMemory(SETTINGS_ADDRESS, image.data(), 300, Record, &progress, 128),
            SI::flash_write_error);
  EXPECT_EQ(progress.done, (std::vector<std::uint32_t>{128}));
  EXPECT_EQ(link.emulator.Requests().size(), 2u);
  const Bytes after = link.emulator.ReadMemory(SETTINGS_ADDRESS, 300);
  EXPECT_EQ(Bytes(after.begin(), after.begin() + 128), Bytes(128, 0x11));
  EXPECT_EQ(Bytes(after.begin() + 128, after.end()), Bytes(before.begin() + 128, before.end()));
  EXPECT_EQ(ThrownText([&] { SI::CheckError(SI::flash_write_error); }), "(147) Ошибка записи во флеш-память");
}

TEST(MemoryOperations, AddressesOutsideTheMemoryAreRefused) {
  EmulatorLink link;
  std::uint8_t byte = 0;
  EXPECT_EQ(link.scanner.ReadBlock(0x1000, &byte, 1), SI::address_out_of_range);
  EXPECT_EQ(link.scanner.WriteBlock(SETTINGS_ADDRESS + ScannerEmulator::kMemorySize, &byte, 1),
            SI::address_out_of_range);
}

TEST(SettingsArea, HeaderOfTheImageIsReadAtItsAddress) {
  struct Case {
    std::uint16_t size;
    std::uint8_t version;
  };
  const Case cases[] = {{176, 1}, {268, 1}, {300, 1}, {268, 0xFF}, {268, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    EmulatorConfig config;
    config.image_size = c.size;
    config.version = c.version;
    EmulatorLink link(config);
    std::uint8_t version = 0;
    std::uint8_t size[2] = {};
    ASSERT_EQ(link.scanner.ReadMemory(SETTINGS_ADDRESS, &version, 1), SI::no_error);
    ASSERT_EQ(link.scanner.ReadMemory(SETTINGS_ADDRESS + 1, size, 2), SI::no_error);
    EXPECT_EQ(version, c.version);
    EXPECT_EQ(size[0] | (size[1] << 8), c.size);
  }
}

TEST(SettingsArea, EmulatorImageHoldsTheModelDefaults) {
  EmulatorConfig config;
  config.model = 156;
  const Bytes image = EmulatorImage(config);
  SetCurrentModel(156);
  std::uint8_t defaults[kPlacementSize] = {};
  InitPlacement(defaults, nullptr);
  ResetProcessState();
  ASSERT_EQ(image.size(), kPlacementSize);
  EXPECT_EQ(Bytes(image.begin() + 3, image.end()), Bytes(defaults + 3, defaults + kPlacementSize));
}

// ---- ChangeSpeed

TEST(ChangeSpeedOperation, SameIndexSendsOnlyTheQuery) {
  EmulatorLink link;
  ChangeSpeed(link.scanner, 2, false);
  EXPECT_EQ(link.emulator.Requests(), (std::vector<Request>{{0xA1}}));
  EXPECT_EQ(link.port.GetSpeed(), 9600u);
}

TEST(ChangeSpeedOperation, MovesScannerAndPortAndChecksTheLink) {
  EmulatorLink link;
  ChangeSpeed(link.scanner, 6, false);
  EXPECT_EQ(link.port.GetSpeed(), 115200u);
  EXPECT_EQ(link.emulator.Speed(), 115200u);
  const auto requests = link.emulator.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[2], (Bytes{0xA1, 6}));
  EXPECT_EQ(requests[3], (Bytes{0x9E, 0}));
  // And back again from the new speed.
  ChangeSpeed(link.scanner, 0, false);
  EXPECT_EQ(link.port.GetSpeed(), 2400u);
  EXPECT_EQ(link.emulator.Speed(), 2400u);
}

TEST(ChangeSpeedOperation, AcknowledgedButUnansweredLeavesThePortAtTheNewSpeed) {
  EmulatorLink link;
  link.emulator.AddFault({FaultKind::keep_old_speed});
  EXPECT_EQ(ThrownText([&] { ChangeSpeed(link.scanner, 5, false); }), "Ошибка смены скорости");
  EXPECT_EQ(link.port.GetSpeed(), 57600u);
  EXPECT_EQ(link.emulator.Speed(), 9600u);
}

TEST(ChangeSpeedOperation, RefusedChangePutsThePortBack) {
  EmulatorLink link;
  Fault refuse{FaultKind::status, SI::cmd_speed, -1, SI::bad_parameters};
  refuse.skip = 1;  // the query is answered
  link.emulator.AddFault(refuse);
  EXPECT_EQ(ThrownText([&] { ChangeSpeed(link.scanner, 4, false); }), "Ошибка смены скорости");
  EXPECT_EQ(link.port.GetSpeed(), 9600u);
  DeviceInfo info;
  EXPECT_EQ(link.scanner.GetDeviceInfo(&info), SI::no_error);
}

TEST(ChangeSpeedOperation, InTheFlaggedModeOnlyTheSettingChanges) {
  EmulatorConfig config;
  config.state[0] = kModeFlagMask;
  EmulatorLink link(config);
  link.emulator.AddFault({FaultKind::keep_old_speed});
  ChangeSpeed(link.scanner, 3, false);
  EXPECT_EQ(link.port.GetSpeed(), 9600u);
  EXPECT_EQ(link.emulator.Requests().size(), 3u);  // query, state, set
}

TEST(ChangeSpeedOperation, UnsupportedSpeedCommand) {
  EmulatorLink link;
  link.emulator.AddFault({FaultKind::status, SI::cmd_speed, -1, SI::not_supported});
  EXPECT_NO_THROW(ChangeSpeed(link.scanner, 4, true));
  EXPECT_EQ(link.emulator.Requests().size(), 1u);
  EXPECT_EQ(ThrownText([&] { ChangeSpeed(link.scanner, 4, false); }), "(8) Команда не поддерживается");
  EXPECT_EQ(link.port.GetSpeed(), 9600u);
}

TEST(ChangeSpeedOperation, SilentScannerIsNoConnection) {
  EmulatorLink link(EmulatorConfig{}, 30);
  link.emulator.AddFault({FaultKind::silence});
  EXPECT_EQ(ThrownText([&] { ChangeSpeed(link.scanner, 4, false); }), "(-1) Нет связи");
}

// ---- SwitchDeviceMode

class SwitchDeviceModeTest : public ::testing::Test {
 protected:
  ManualClock clock;
  ScopedClock use{clock};
};

TEST_F(SwitchDeviceModeTest, OnWaitsForTheReadinessBit) {
  EmulatorConfig config;
  config.ready_delay_ms = 700;
  EmulatorLink link(config);
  const std::uint32_t start = clock.TickCount();
  SwitchDeviceMode(link.scanner, true);
  const std::uint32_t waited = clock.TickCount() - start;
  EXPECT_GE(waited, 700u);
  EXPECT_LT(waited, 900u);
  const Bytes state = link.emulator.State();
  EXPECT_EQ(state[0] & kModeFlagMask, kModeFlagMask);
  EXPECT_EQ(state[1] & kModeFlagMask, kModeFlagMask);
  EXPECT_EQ(link.emulator.Requests()[0], (Bytes{0x9F, 0x02, 0x02, 0x00, 0x00}));
}

TEST_F(SwitchDeviceModeTest, OffNeedsNoReadiness) {
  EmulatorConfig config;
  config.state[0] = config.state[1] = kModeFlagMask;
  config.ready_delay_ms = 100000;
  EmulatorLink link(config);
  SwitchDeviceMode(link.scanner, false);
  EXPECT_EQ(link.emulator.Requests()[0], (Bytes{0x9F, 0, 0, 0, 0}));
  EXPECT_EQ(clock.Sleeps(), (std::vector<std::uint32_t>{100}));
}

TEST_F(SwitchDeviceModeTest, ScannerSilentForTwoSecondsIsWaitedFor) {
  EmulatorLink link(EmulatorConfig{}, 30);
  Fault silent{FaultKind::silence, SI::cmd_device_state};
  silent.skip = 1;  // the mode is set, then the scanner goes quiet
  silent.duration_ms = 2000;
  link.emulator.AddFault(silent);
  SwitchDeviceMode(link.scanner, true);
  EXPECT_GE(clock.TickCount(), 2000u);
  EXPECT_LT(clock.TickCount(), 5000u);
}

TEST_F(SwitchDeviceModeTest, NeverReadyGivesNoConnectionAfterFiveSeconds) {
  EmulatorConfig config;
  config.ready_delay_ms = 60000;
  EmulatorLink link(config);
  EXPECT_EQ(ThrownText([&] { SwitchDeviceMode(link.scanner, true); }), "(-1) Нет связи");
  EXPECT_EQ(clock.TickCount(), 5000u);
  EXPECT_EQ(link.emulator.Requests().size(), 51u);  // the set and 50 polls
}

TEST_F(SwitchDeviceModeTest, ScannerErrorsEndTheSwitch) {
  {
    EmulatorLink link;
    link.emulator.AddFault({FaultKind::status, SI::cmd_device_state, -1, SI::not_supported_in_mode});
    EXPECT_EQ(ThrownText([&] { SwitchDeviceMode(link.scanner, true); }),
              "(115) Команда не поддерживается в данном режиме");
    EXPECT_EQ(link.emulator.Requests().size(), 1u);
  }
  {
    EmulatorLink link;
    Fault poll_error{FaultKind::status, SI::cmd_device_state, -1, SI::bad_parameters};
    poll_error.skip = 1;
    link.emulator.AddFault(poll_error);
    EXPECT_EQ(ThrownText([&] { SwitchDeviceMode(link.scanner, true); }), "(4) Некорректные параметры в команде");
    EXPECT_EQ(link.emulator.Requests().size(), 2u);
  }
}

// ---- texts and predicates

TEST(ModelTexts, LongShortAndUnknown) {
  struct Case {
    std::uint8_t model;
    bool short_form;
    const char* text;
  };
  const Case cases[] = {
      /* 0 */ {100, false, "Стационарный сканер \"Gran S1\""},
      /* 1 */ {100, true, "Gran S1"},
      /* 2 */ {150, false, "Ручной сканер \"Luch H1\""},
      /* 3 */ {207, false, "Встраиваемый сканер \"Iskra E6\""},
      /* 4 */ {211, false, "Стационарный сканер \"Gran S5\""},
      /* 5 */ {77, false, "Неизвестная модель (77)"},
      /* 6 */ {77, true, "Неизвестная модель (77)"},
      /* 7 */ {0, false, "Неизвестная модель (0)"},
      /* 8 */ {212, true, "Неизвестная модель (212)"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(ModelText(cases[row].model, cases[row].short_form), cases[row].text);
  }
}

TEST(ModelTexts, EveryKnownCodeHasItsKindAndAName) {
  std::set<std::string> names;
  auto check = [&](int from, int to, const std::string& kind) {
    for (int code = from; code <= to; ++code) {
      SCOPED_TRACE(code);
      const std::string name = ModelText(static_cast<std::uint8_t>(code), true);
      EXPECT_EQ(ModelText(static_cast<std::uint8_t>(code), false), kind + " \"" + name + "\"");
      names.insert(name);
    }
  };
  check(100, 100, "Стационарный сканер");
  check(150, 159, "Ручной сканер");
  check(200, 207, "Встраиваемый сканер");
  check(208, 211, "Стационарный сканер");
  EXPECT_EQ(names.size(), 23u);
}

TEST(ModelPredicates, BluetoothAndUnset) {
  const std::set<int> bluetooth = {0, 156, 157, 159, 208};
  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(HasBluetooth(static_cast<std::uint8_t>(code)), bluetooth.count(code) == 1);
    EXPECT_EQ(IsModelUnset(static_cast<std::uint8_t>(code)), code == 0);
  }
}

TEST(VersionTexts, MajorDotMinor) {
  EXPECT_EQ(VersionText(0x0102), "1.2");
  EXPECT_EQ(VersionText(0x0A00), "10.0");
  EXPECT_EQ(VersionText(0x073C), "7.60");
  EXPECT_EQ(VersionText(0xFFFF), "255.255");
}

TEST(Speeds, TableAndLookup) {
  EXPECT_EQ(std::vector<std::uint32_t>(std::begin(SpeedTable), std::end(SpeedTable)),
            (std::vector<std::uint32_t>{2400, 4800, 9600, 19200, 38400, 57600, 115200}));
  EXPECT_EQ(SpeedIndexOf(9600), 2);
  EXPECT_EQ(SpeedIndexOf(9601), -1);
}

}  // namespace
}  // namespace tavrik
