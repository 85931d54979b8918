// The frame format and the transaction, against the scanner emulator and a bare
// pty on real pseudo-terminals.

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "device/Clock.h"
#include "device/ScannerInterface.h"
#include "device/test_link.h"
#include "device/test_pty.h"

namespace tavrik {
namespace {

using testing::EmulatorLink;
using testing::RawPty;
using Bytes = std::vector<std::uint8_t>;
using SI = CScannerInterface;

TEST(Frames, WorkedRequestsGoOutAsTheScannerExpects) {
  EmulatorLink link;
  std::uint8_t index = 0;
  ASSERT_EQ(link.scanner.GetSpeedIndex(&index), SI::no_error);
  EXPECT_EQ(link.emulator.LineBytes(), (Bytes{0x02, 0x01, 0xA1, 0xA0}));

  link.emulator.ClearRequests();
  DeviceInfo info;
  ASSERT_EQ(link.scanner.GetDeviceInfo(&info), SI::no_error);
  EXPECT_EQ(link.emulator.LineBytes(), (Bytes{0x02, 0x02, 0x9E, 0x01, 0x9D}));
}

TEST(Frames, WorkedResponseIsTakenApart) {
  RawPty pty;
  CComDevice port;
  OpenDevice(&port, pty.Path(), 9600, 200);
  SI scanner(&port);
  pty.Send({0x02, 0x02, 0xA1, 0x00, 0xA3});
  std::uint8_t payload[256];
  std::uint32_t size = sizeof payload;
  scanner.ReceiveFrame(payload, &size);
  EXPECT_EQ(Bytes(payload, payload + size), (Bytes{0xA1, 0x00}));
}

TEST(Frames, FullPayloadOf256BytesHasLengthByteZeroBothWays) {
  EmulatorLink link;
  // A write block of 251 bytes fills the request payload: code, address, data.
  Bytes block(SI::max_w_block_size);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7 + 2);
  ASSERT_EQ(link.scanner.WriteBlock(SETTINGS_ADDRESS + 16, block.data(), 251), SI::no_error);
  const Bytes sent = link.emulator.LineBytes();
  ASSERT_EQ(sent.size(), 259u);
  EXPECT_EQ(sent[1], 0x00);
  EXPECT_EQ(link.emulator.ReadMemory(SETTINGS_ADDRESS + 16, 251), block);

  // A read block of 254 bytes fills the response payload: echo, status, data.
  Bytes back(SI::max_r_block_size);
  ASSERT_EQ(link.scanner.ReadBlock(SETTINGS_ADDRESS + 16, back.data(), 254), SI::no_error);
  EXPECT_EQ(Bytes(back.begin(), back.begin() + 251), block);
  EXPECT_EQ(Bytes(back.begin() + 251, back.end()), link.emulator.ReadMemory(SETTINGS_ADDRESS + 267, 3));
}

TEST(Frames, LengthByteZeroOnTheLineMeans256) {
  RawPty pty;
  CComDevice port;
  OpenDevice(&port, pty.Path(), 9600, 200);
  SI scanner(&port);
  Bytes frame = {0x02, 0x00};
  std::uint8_t check = 0;
  for (int i = 0; i < 256; ++i) {
    frame.push_back(static_cast<std::uint8_t>(i));
    check ^= static_cast<std::uint8_t>(i);
  }
  frame.push_back(check);
  pty.Send(frame);
  std::uint8_t payload[256];
  std::uint32_t size = sizeof payload;
  scanner.ReceiveFrame(payload, &size);
  ASSERT_EQ(size, 256u);
  EXPECT_EQ(payload[0], 0);
  EXPECT_EQ(payload[255], 255);

  // A smaller capacity cuts the payload silently.
  pty.Send(frame);
  std::uint8_t small[4];
  std::uint32_t small_size = sizeof small;
  scanner.ReceiveFrame(small, &small_size);
  EXPECT_EQ(small_size, 4u);
  EXPECT_EQ(Bytes(small, small + 4), (Bytes{0, 1, 2, 3}));
}

TEST(Frames, MalformedInputFailsWithoutReadingPastAnything) {
  struct Case {
    Bytes line;
    bool ok;
    Bytes payload;  // of a frame taken
    const char* why;
  };
  const Case cases[] = {
      /* 0 */ {{0x02, 0x02, 0xA1, 0x00, 0xA3}, true, {0xA1, 0x00}, "well formed"},
      /* 1 */ {{0x55, 0x02, 0x02, 0xA1, 0x00, 0xA3}, true, {0xA1, 0x00}, "one stray byte is noise"},
      /* 2 */ {{0x55, 0x66, 0x02, 0x02, 0xA1, 0x00, 0xA3}, false, {}, "two stray bytes"},
      /* 3 */ {{0x02, 0x02, 0xA1, 0x00, 0x00}, false, {}, "wrong check byte"},
      /* 4 */ {{0x02, 0x05, 0xA1, 0x00}, false, {}, "payload cut short"},
      /* 5 */ {{0x02, 0x00, 0x01}, false, {}, "256 announced, 1 sent"},
      /* 6 */ {{0x02}, false, {}, "start only"},
      /* 7 */ {{}, false, {}, "silence"},
      /* 8 */ {{0x02, 0x01, 0x02, 0x03}, true, {0x02}, "0x02 inside the payload is data"},
  };
  // A second frame right behind a good one: it must still be on the line.
  const Bytes next = {0x02, 0x01, 0x5A, 0x5B};
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(cases[row].why);
    RawPty pty;
    CComDevice port;
    OpenDevice(&port, pty.Path(), 9600, 30);
    SI scanner(&port);
    Bytes line = cases[row].line;
    if (cases[row].ok) line.insert(line.end(), next.begin(), next.end());
    if (!line.empty()) pty.Send(line);
    std::uint8_t payload[256];
    std::uint32_t size = sizeof payload;
    if (!cases[row].ok) {
      EXPECT_THROW(scanner.ReceiveFrame(payload, &size), CBasicDevice::CException);
      continue;
    }
    ASSERT_NO_THROW(scanner.ReceiveFrame(payload, &size));
    ASSERT_EQ(size, cases[row].payload.size());
    EXPECT_EQ(Bytes(payload, payload + size), cases[row].payload);
    size = sizeof payload;
    ASSERT_NO_THROW(scanner.ReceiveFrame(payload, &size)) << "the frame behind was read into the first";
    EXPECT_EQ(Bytes(payload, payload + size), (Bytes{0x5A}));
  }
}

TEST(Frames, RandomLineNoiseNeverBreaksTheReceiver) {
  RawPty pty;
  CComDevice port;
  OpenDevice(&port, pty.Path(), 9600, 5);
  SI scanner(&port);
  std::mt19937 random(4);
  for (int round = 0; round < 40; ++round) {
    Bytes noise(random() % 300);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random() % 4 == 0 ? 0x02 : random());
    port.PurgeInput();
    if (!noise.empty()) pty.Send(noise);
    std::uint8_t payload[8];
    std::uint32_t size = sizeof payload;
    try {
      scanner.ReceiveFrame(payload, &size);
      EXPECT_LE(size, sizeof payload);
    } catch (const CBasicDevice::CException&) {
    }
  }
}

// Transactions under the scanner's faults: one row per fault.
struct FaultCase {
  const char* why;
  Fault fault;
  std::int32_t result;
  std::size_t requests;  // sent by the one transaction
  std::size_t pauses;    // 60 ms busy pauses
};

class CommandUnderFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CommandUnderFault, GivesTheExpectedResult) {
  const FaultCase& c = GetParam();
  ManualClock clock;
  ScopedClock use(clock);
  EmulatorLink link(EmulatorConfig{}, 100);
  link.emulator.AddFault(c.fault);
  DeviceInfo info;
  info.model = 99;
  const std::int32_t result = link.scanner.GetDeviceInfo(&info);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(link.emulator.Requests().size(), c.requests);
  EXPECT_EQ(clock.Sleeps(), std::vector<std::uint32_t>(c.pauses, SI::busy_pause_ms));
  if (result == SI::no_error) {
    EXPECT_EQ(info.model, 150);
    EXPECT_EQ(info.firmware_version, 0x0103);
  } else {
    EXPECT_EQ(info.model, 99) << "data stored on failure";
  }
}

constexpr std::uint8_t kInfo = SI::cmd_device_info;
INSTANTIATE_TEST_SUITE_P(
    Faults, CommandUnderFault,
    ::testing::Values(
        FaultCase{"no fault", {FaultKind::status, 0x01, -1, 0}, SI::no_error, 1, 0},
        FaultCase{"silence: three attempts", {FaultKind::silence}, SI::no_connection, 3, 0},
        FaultCase{"silence once, then an answer", {FaultKind::silence, 0, 1}, SI::no_error, 2, 0},
        FaultCase{"foreign echo three times", {FaultKind::foreign_echo}, SI::no_connection, 3, 0},
        FaultCase{"foreign echo once", {FaultKind::foreign_echo, 0, 1}, SI::no_error, 2, 0},
        FaultCase{"not ready three times", {FaultKind::not_ready, kInfo, 3}, SI::no_connection, 3, 3},
        FaultCase{"not ready, then success", {FaultKind::not_ready, kInfo, 1}, SI::no_error, 2, 1},
        FaultCase{"one stray byte tolerated", {FaultKind::stray_bytes, 0, -1, 1}, SI::no_error, 1, 0},
        FaultCase{"two stray bytes are not", {FaultKind::stray_bytes, 0, -1, 2}, SI::no_connection, 3, 0},
        FaultCase{"bad check drains, retry works", {FaultKind::bad_check, 0, 1}, SI::no_error, 2, 0},
        FaultCase{"bad check every time", {FaultKind::bad_check}, SI::no_connection, 3, 0},
        FaultCase{"one data byte too many", {FaultKind::extra_data_byte}, SI::bad_answer_length, 1, 0},
        FaultCase{"one data byte too few", {FaultKind::missing_data_byte}, SI::bad_answer_length, 1, 0},
        FaultCase{"status passes through", {FaultKind::status, kInfo, -1, 115}, SI::not_supported_in_mode, 1, 0},
        FaultCase{"unknown status passes through", {FaultKind::status, kInfo, -1, 200}, 200, 1, 0},
        FaultCase{"line hangs up mid-answer", {FaultKind::hang_up, 0, 1, 4}, SI::no_connection, 1, 0}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return "row" + std::to_string(info.index); });

TEST(Command, SingleByteAnswerIsABadLength) {
  EmulatorLink link;
  // A status-only answer without its status: just the echo.
  link.emulator.AddFault({FaultKind::missing_data_byte});
  EXPECT_EQ(link.scanner.SetPressed(true), SI::bad_answer_length);
  EXPECT_EQ(link.emulator.Requests().size(), 1u);
}

TEST(Command, LeftoversOfABadAnswerAreNotTakenForTheNext) {
  EmulatorLink link;
  // Two stray bytes spoil the first answer; its frame must not pass for the
  // answer of the next attempt.
  link.emulator.AddFault({FaultKind::stray_bytes, 0, 1, 2});
  link.emulator.AddFault({FaultKind::foreign_echo, 0, 1});
  DeviceInfo info;
  EXPECT_EQ(link.scanner.GetDeviceInfo(&info), SI::no_error);
  EXPECT_EQ(link.emulator.Requests().size(), 3u);
}

TEST(Command, WrongLineSpeedIsSilence) {
  EmulatorLink link;
  link.port.SetSpeed(19200);
  DeviceInfo info;
  EXPECT_EQ(link.scanner.GetDeviceInfo(&info), SI::no_connection);
  EXPECT_TRUE(link.emulator.Requests().empty());
  EXPECT_GT(link.emulator.DroppedBytes(), 0u);
  link.port.SetSpeed(9600);
  EXPECT_EQ(link.scanner.GetDeviceInfo(&info), SI::no_error);
}

// A device without a line: it records every call and hands out scripted input,
// for the order of the calls and for what a device may throw.
class ScriptedDevice : public CBasicDevice {
 public:
  std::vector<std::string> calls;
  Bytes written;
  Bytes input;
  std::size_t next = 0;
  // When set, every read throws this instead of reading.
  std::function<void()> fail_read;

  bool IsOpen() const override { return true; }
  void Write(const std::uint8_t* data, std::uint32_t size) override {
    calls.push_back("Write " + std::to_string(size));
    written.insert(written.end(), data, data + size);
  }
  void WriteByte(std::uint8_t byte) override {
    calls.push_back("WriteByte");
    written.push_back(byte);
  }
  void Read(std::uint8_t* data, std::uint32_t size) override {
    calls.push_back("Read " + std::to_string(size));
    if (fail_read) fail_read();
    if (input.size() - next < size) {
      next = input.size();
      throw CException();
    }
    std::memcpy(data, input.data() + next, size);
    next += size;
  }
  std::uint8_t ReadByte() override {
    calls.push_back("ReadByte");
    if (fail_read) fail_read();
    if (next == input.size()) throw CException();
    return input[next++];
  }
  void ClearError() override { calls.push_back("ClearError"); }
  void PurgeInput() override { calls.push_back("PurgeInput"); }
  void PurgeOutput() override { calls.push_back("PurgeOutput"); }
};

TEST(Frames, SentAsStartLengthPayloadAndCheckByte) {
  ScriptedDevice device;
  SI scanner(&device);
  const std::uint8_t request[] = {0x9E, 0x01};
  scanner.SendFrame(request, sizeof request);
  EXPECT_EQ(device.calls, (std::vector<std::string>{"WriteByte", "WriteByte", "Write 2", "WriteByte"}));
  EXPECT_EQ(device.written, (Bytes{0x02, 0x02, 0x9E, 0x01, 0x9D}));

  device.calls.clear();
  device.written.clear();
  const Bytes full(256, 0x02);  // 0x02 in the payload is not escaped
  scanner.SendFrame(full.data(), 256);
  EXPECT_EQ(device.calls, (std::vector<std::string>{"WriteByte", "WriteByte", "Write 256", "WriteByte"}));
  ASSERT_EQ(device.written.size(), 259u);
  EXPECT_EQ(device.written[1], 0x00);
  EXPECT_EQ(device.written[258], 0x00);  // 0 XOR 256 times 0x02
}

TEST(Command, OneAttemptClearsAndPurgesThenSendsThenReceives) {
  ScriptedDevice device;
  device.input = {0x02, 0x02, 0xA1, 0x00, 0xA3};
  SI scanner(&device);
  EXPECT_EQ(scanner.SetSpeedIndex(3), SI::no_error);
  const std::vector<std::string> expected = {"ClearError", "PurgeInput", "PurgeOutput", "WriteByte", "WriteByte",
                                             "Write 2",    "WriteByte",  "ReadByte",    "ReadByte",  "Read 2",
                                             "ReadByte"};
  EXPECT_EQ(device.calls, expected);
  EXPECT_EQ(device.written, (Bytes{0x02, 0x02, 0xA1, 0x03, 0xA0}));
}

TEST(Command, WhateverTheDeviceThrowsStaysInsideTheTransaction) {
  const std::vector<std::function<void()>> failures = {
      [] { throw CBasicDevice::CException(); },
      [] { throw object_description("no std::exception at all"); },
      [] { throw 7; },
  };
  for (std::size_t row = 0; row < failures.size(); ++row) {
    SCOPED_TRACE(row);
    ScriptedDevice device;
    device.fail_read = failures[row];
    SI scanner(&device);
    DeviceInfo info;
    std::int32_t result = SI::no_error;
    EXPECT_NO_THROW(result = scanner.GetDeviceInfo(&info));
    EXPECT_EQ(result, SI::no_connection);
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "ClearError"), SI::attempts);
  }
}

// Sizes and values that break a caller's contract: an assertion in a debug
// build; a release build refuses them without a byte on the line.
class ContractDeathTest : public ::testing::Test {
 protected:
  ScriptedDevice device;
  SI scanner{&device};
  std::uint8_t buffer[300] = {};
};

#ifdef NDEBUG
#define EXPECT_REFUSED(statement, result, assertion) EXPECT_EQ(statement, result)
#else
#define EXPECT_REFUSED(statement, result, assertion) EXPECT_DEATH(statement, assertion)
#endif

TEST_F(ContractDeathTest, BadSizesAreRefused) {
  EXPECT_REFUSED(scanner.WriteBlock(SETTINGS_ADDRESS, buffer, 252), SI::bad_parameters,
                 "block_size <= max_w_block_size");
  EXPECT_REFUSED(scanner.WriteBlock(SETTINGS_ADDRESS, buffer, 0), SI::bad_parameters, "block_size > 0");
  EXPECT_REFUSED(scanner.ReadBlock(SETTINGS_ADDRESS, buffer, 255), SI::bad_parameters,
                 "block_size <= max_r_block_size");
  EXPECT_REFUSED(scanner.ReadBlock(SETTINGS_ADDRESS, buffer, 0), SI::bad_parameters, "block_size > 0");
  EXPECT_REFUSED(scanner.Command(0x9D, buffer, 255, nullptr, 0), SI::bad_parameters, "rsize <= max_size - 2");
  EXPECT_REFUSED(scanner.Command(0x9C, nullptr, 0, buffer, 256), SI::bad_parameters, "ssize <= max_size - 1");
  EXPECT_REFUSED(scanner.SetSpeedIndex(7), SI::bad_parameters, "speed < speeds_size");
  EXPECT_TRUE(device.calls.empty());
}

TEST_F(ContractDeathTest, SpeedIndexOutsideTheTableIsASpeedChangeError) {
#ifdef NDEBUG
  try {
    ChangeSpeed(scanner, 7, false);
    ADD_FAILURE() << "nothing thrown";
  } catch (const object_description& error) {
    EXPECT_EQ(error.GetText(), "Ошибка смены скорости");
  }
  EXPECT_TRUE(device.calls.empty());
#else
  EXPECT_DEATH(ChangeSpeed(scanner, 7, false), "index < speeds_size");
#endif
}

TEST(ResultTexts, CheckErrorThrowsCodeAndName) {
  struct Case {
    std::int32_t code;
    const char* text;
  };
  const Case cases[] = {
      /* 0 */ {-3, "(-3) Неверное значение в ответе"},
      /* 1 */ {-2, "(-2) Неверная длина ответа"},
      /* 2 */ {-1, "(-1) Нет связи"},
      /* 3 */ {2, "(2) Команда не может быть выполнена в данный момент"},
      /* 4 */ {4, "(4) Некорректные параметры в команде"},
      /* 5 */ {8, "(8) Команда не поддерживается"},
      /* 6 */ {115, "(115) Команда не поддерживается в данном режиме"},
      /* 7 */ {144, "(144) Неправильный размер блока"},
      /* 8 */ {145, "(145) Адрес вышел из допустимого диапазона"},
      /* 9 */ {146, "(146) Ошибка выравнивания блока"},
      /* 10 */ {147, "(147) Ошибка записи во флеш-память"},
      /* 11 */ {200, "(200) Неизвестная ошибка"},
      /* 12 */ {-7, "(-7) Неизвестная ошибка"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(row);
    try {
      SI::CheckError(cases[row].code);
      ADD_FAILURE() << "nothing thrown";
    } catch (const object_description& error) {
      EXPECT_EQ(error.GetText(), cases[row].text);
    }
  }
  EXPECT_NO_THROW(SI::CheckError(SI::no_error));
  EXPECT_STREQ(SI::ErrorName(0), "Ошибок нет");
}

}  // namespace
}  // namespace tavrik
