// The serial port over real pseudo-terminals.

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "device/ComDevice.h"
#include "device/test_pty.h"

namespace tavrik {
namespace {

using testing::RawPty;

std::string OpenFailure(const std::string& path) {
  CComDevice port;
  try {
    port.Open(path);
  } catch (const object_description& error) {
    EXPECT_FALSE(port.IsOpen());
    return error.GetText();
  }
  return "(opened)";
}

TEST(PortErrorText, MapsErrnoToThePortMessages) {
  struct Case {
    int error_number;
    const char* text;
  };
  const Case cases[] = {
      /* 0 */ {ENOENT, "COM-порт недоступен"},
      /* 1 */ {ENXIO, "COM-порт недоступен"},  // a device node without a device
      /* 2 */ {ENODEV, "COM-порт недоступен"},
      /* 3 */ {EBUSY, "COM-порт занят другим приложением"},  // TIOCEXCL of another opener
      /* 4 */ {EWOULDBLOCK, "COM-порт занят другим приложением"},  // the lock of another opener
      /* 5 */ {EACCES, "Доступ к COM-порту заблокирован"},
      /* 6 */ {EPERM, "Доступ к COM-порту заблокирован"},
      /* 7 */ {31, "Ошибка открытия COM-порта (31)"},
      /* 8 */ {ENOTTY, "Ошибка открытия COM-порта (25)"},  // not a serial port
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(PortErrorText(cases[row].error_number), cases[row].text);
    EXPECT_TRUE(IsPortErrorText(PortErrorText(cases[row].error_number)));
  }
  // Not the trouble of a port that would not open.
  for (const char* text : {"COM-порт не задан", "Устройство не обнаружено", "(-1) Нет связи", "Ошибка открытия COM-порта (",
                           "Ошибка смены скорости"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(IsPortErrorText(text));
  }
}

TEST(ComDeviceOpen, ReportsEveryKindOfBadPort) {
  RawPty pty;
  CComDevice holder;
  holder.Open(pty.Path());

  const std::string file = ::testing::TempDir() + "/not_a_port.txt";
  std::ofstream(file) << "text";
  struct Case {
    std::string path;
    std::string text;
  };
  const Case cases[] = {
      /* 0 */ {"", "COM-порт не задан"},
      /* 1 */ {"/dev/ttyTavrikMissing", "COM-порт недоступен"},
      /* 2 */ {pty.Path(), "COM-порт занят другим приложением"},  // held by `holder`
      /* 3 */ {file, "Ошибка открытия COM-порта (25)"},          // a regular file is no tty
      /* 4 */ {"/tmp", "Ошибка открытия COM-порта (21)"},         // EISDIR
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(OpenFailure(cases[row].path), cases[row].text);
  }
  // The refused opener must not have broken the holder's port.
  EXPECT_TRUE(holder.IsOpen());
  holder.WriteByte(0x41);
  EXPECT_EQ(pty.Receive(1), std::vector<std::uint8_t>{0x41});
  std::remove(file.c_str());
}

TEST(ComDeviceOpen, PortErrorIsCaughtAsEveryBase) {
  auto open_missing = [] {
    CComDevice port;
    port.Open("/dev/ttyTavrikMissing");
  };
  EXPECT_THROW(open_missing(), CComDevice::CException);
  EXPECT_THROW(open_missing(), CBasicDevice::CException);
  EXPECT_THROW(open_missing(), std::exception);
  EXPECT_THROW(open_missing(), object_description);
  try {
    open_missing();
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "COM-порт недоступен");
  }
}

TEST(ComDeviceOpen, SetsARaw9600LineWhateverTheLineHadBefore) {
  RawPty pty;
  termios before = pty.Line();
  cfsetospeed(&before, B115200);
  cfsetispeed(&before, B115200);
  before.c_lflag |= ICANON | ECHO;
  before.c_iflag |= IXON | ICRNL;
  before.c_cflag |= CRTSCTS | PARENB;
  pty.SetLine(before);

  CComDevice port;
  port.Open(pty.Path());
  EXPECT_EQ(port.GetSpeed(), 9600u);
  EXPECT_EQ(port.GetPortName(), pty.Path());
  const termios line = pty.Line();
  EXPECT_EQ(cfgetospeed(&line), B9600);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY | ICRNL), 0u);
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(line.c_cc[VMIN], 1);
  EXPECT_EQ(line.c_cc[VTIME], 0);

  // Raw: bytes that a terminal would translate pass unchanged both ways.
  const std::vector<std::uint8_t> bytes = {0x0D, 0x0A, 0x03, 0x11, 0x13, 0x7F, 0x00, 0xFF};
  port.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  EXPECT_EQ(pty.Receive(bytes.size()), bytes);
  pty.Send(bytes);
  std::vector<std::uint8_t> got(bytes.size());
  port.Read(got.data(), static_cast<std::uint32_t>(got.size()));
  EXPECT_EQ(got, bytes);
}

TEST(ComDeviceOpen, ReopenClosesTheOldPortFirst) {
  RawPty first;
  CComDevice port;
  port.Open(first.Path());
  EXPECT_THROW(port.Open("/dev/ttyTavrikMissing"), CComDevice::CException);
  EXPECT_FALSE(port.IsOpen());
  // The old port was released: lock and exclusive mode are gone.
  CComDevice other;
  EXPECT_NO_THROW(other.Open(first.Path()));

  RawPty second;
  other.Open(second.Path());
  EXPECT_EQ(other.GetPortName(), second.Path());
  EXPECT_NO_THROW(port.Open(first.Path()));
}

TEST(ComDeviceOpen, ClosingReleasesThePortForTheNextAction) {
  RawPty pty;
  for (int action = 0; action < 3; ++action) {
    CComDevice port;
    ASSERT_NO_THROW(port.Open(pty.Path())) << action;
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    port.Close();  // twice is harmless
  }
}

TEST(ComDeviceSpeed, SetsAndReportsBaudRates) {
  RawPty pty;
  CComDevice port;
  port.Open(pty.Path());
  for (std::uint32_t baud : {2400u, 4800u, 19200u, 38400u, 57600u, 115200u, 9600u}) {
    port.SetSpeed(baud);
    EXPECT_EQ(port.GetSpeed(), baud);
  }
}

TEST(ComDeviceSpeed, UnknownRateFailsAndKeepsThePortAsItWas) {
  RawPty pty;
  CComDevice port;
  port.Open(pty.Path());
  port.SetSpeed(19200);
  try {
    port.SetSpeed(12345);
    FAIL() << "no error";
  } catch (const object_description& error) {
    EXPECT_EQ(error.GetText(), "Ошибка открытия COM-порта (22)");
  }
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(port.GetSpeed(), 19200u);
}

TEST(OpenDevice, OpensThenSetsSpeedAndTimeout) {
  RawPty pty;
  CComDevice port;
  OpenDevice(&port, pty.Path(), 57600, 250);
  EXPECT_EQ(port.GetSpeed(), 57600u);
  EXPECT_EQ(port.GetTimeout(), 250u);
}

TEST(OpenDevice, FailedSpeedLeavesThePortOpenForTheDestructor) {
  RawPty pty;
  {
    CComDevice port;
    EXPECT_THROW(OpenDevice(&port, pty.Path(), 1234, 100), CComDevice::CException);
    EXPECT_TRUE(port.IsOpen());
  }
  CComDevice next;
  EXPECT_NO_THROW(next.Open(pty.Path()));
}

TEST(ComDeviceTransfer, ShortReadFailsAndLosesWhatCame) {
  RawPty pty;
  CComDevice port;
  OpenDevice(&port, pty.Path(), 9600, 50);
  pty.Send(std::vector<std::uint8_t>(10, 0x33));
  std::uint8_t buffer[256];
  EXPECT_THROW(port.Read(buffer, sizeof buffer), CBasicDevice::CException);
  // The 10 bytes are gone: the next read sees only what comes after them.
  pty.Send({0x44});
  EXPECT_EQ(port.ReadByte(), 0x44);
}

TEST(ComDeviceTransfer, ReadOfASilentLineTimesOut) {
  RawPty pty;
  CComDevice port;
  OpenDevice(&port, pty.Path(), 9600, 30);
  EXPECT_THROW(port.ReadByte(), CBasicDevice::CException);
  EXPECT_TRUE(port.IsOpen());
  // A transfer failure has no text of its own; a handler that shows what()
  // shows the generic one.
  try {
    port.ReadByte();
    ADD_FAILURE() << "no time-out";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "Unknown exception");
  }
}

TEST(ComDeviceTransfer, ReadGathersBytesThatComeInPieces) {
  RawPty pty;
  CComDevice port;
  OpenDevice(&port, pty.Path(), 9600, 2000);
  std::thread sender([&] {
    for (std::uint8_t b = 0; b < 5; ++b) {
      pty.Send({b, static_cast<std::uint8_t>(b + 100)});
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  std::uint8_t buffer[10];
  port.Read(buffer, sizeof buffer);
  sender.join();
  const std::vector<std::uint8_t> expected = {0, 100, 1, 101, 2, 102, 3, 103, 4, 104};
  EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 10), expected);
}

TEST(ComDeviceTransfer, HangUpMidReadFailsAtOnce) {
  RawPty pty;
  CComDevice port;
  OpenDevice(&port, pty.Path(), 9600, 10000);
  pty.Send({1, 2, 3});
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  pty.CloseMaster();
  std::uint8_t buffer[10];
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(port.Read(buffer, sizeof buffer), CBasicDevice::CException);
  // Not a time-out: a pulled cable ends the read when it happens.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_THROW(port.WriteByte(0), CBasicDevice::CException);
}

TEST(ComDeviceTransfer, PurgeInputDropsWhatWaits) {
  RawPty pty;
  CComDevice port;
  OpenDevice(&port, pty.Path(), 9600, 200);
  pty.Send({9, 9, 9});
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  port.ClearError();
  port.PurgeInput();
  port.PurgeOutput();
  pty.Send({7});
  EXPECT_EQ(port.ReadByte(), 7);
}

}  // namespace
}  // namespace tavrik
