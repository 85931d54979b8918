// The connection logic: port list, probe, check, search, speed change, the
// defaults action and the standard exception handler.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ScriptedDialogs.h"
#include "device/ComDevice.h"
#include "device/ScannerInterface.h"
#include "settings/init_settings_def.h"
#include "device/testing/ScannerEmulator.h"
#include "transfers/ConnectionParams.h"
#include "transfers/DeviceSearch.h"
#include "transfers/ExceptionReport.h"
#include "transfers/SettingsActions.h"
#include "testsupport/TempDir.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;

class ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    ResetConnectionParams();
  }
  void TearDown() override {
    ResetProcessState();
    ResetConnectionParams();
  }
  ScriptedDialogs dialogs_;
};

TEST(NaturalSort, DigitRunsCompareByValue) {
  std::vector<std::string> names = {"ttyACM10", "ttyUSB0", "ttyACM2", "ttyACM0", "ttyS10", "ttyS9", "ttyACM1"};
  std::sort(names.begin(), names.end(), NaturalLess);
  EXPECT_EQ(names, (std::vector<std::string>{"ttyACM0", "ttyACM1", "ttyACM2", "ttyACM10", "ttyS9", "ttyS10", "ttyUSB0"}));
  EXPECT_FALSE(NaturalLess("ttyACM2", "ttyACM2"));
  EXPECT_TRUE(NaturalLess("COM2", "COM10"));
  EXPECT_TRUE(NaturalLess("ttyACM99999999999999999998", "ttyACM99999999999999999999")) << "no overflow";
}

// A fake sysfs tree: entries with and without a device link, legacy ports
// with and without a UART, and nodes that exist or not.
TEST(PortList, FromAFakeSysfsTree) {
  const test::TempDir temp("tavrik-sysfs");
  const fs::path root = temp.path(), tty = root / "class/tty", dev = root / "dev";
  fs::create_directories(tty);
  fs::create_directories(dev);
  struct Entry {
    const char* name;
    bool device_link;
    const char* type;  // ttyS only
    bool node;
    bool listed;
  };
  const Entry entries[] = {
      /*0*/ {"ttyACM10", true, nullptr, true, true},
      /*1*/ {"ttyACM2", true, nullptr, true, true},
      /*2*/ {"ttyACM0", true, nullptr, true, true},
      /*3*/ {"ttyUSB0", true, nullptr, true, true},
      /*4*/ {"ttyS0", true, "4", true, true},       // a real UART
      /*5*/ {"ttyS1", true, "0", true, false},      // a placeholder without a UART
      /*6*/ {"tty5", false, nullptr, true, false},  // a virtual console: no device
      /*7*/ {"ttyACM3", true, nullptr, false, false},  // unplugged: no node
  };
  for (const Entry& e : entries) {
    fs::create_directories(tty / e.name);
    if (e.device_link) fs::create_directory_symlink(root, tty / e.name / "device");
    if (e.type) std::ofstream(tty / e.name / "type") << e.type << "\n";
    if (e.node) fs::create_symlink("/dev/null", dev / e.name);  // a character device
  }
  // A regular file is no port.
  fs::create_directories(tty / "ttyACM7");
  fs::create_directory_symlink(root, tty / "ttyACM7" / "device");
  std::ofstream(dev / "ttyACM7") << "x";

  const auto ports = EnumSerialPorts(tty.string(), dev.string());
  const std::string d = dev.string() + "/";
  EXPECT_EQ(ports, (std::vector<std::string>{d + "ttyACM0", d + "ttyACM2", d + "ttyACM10", d + "ttyS0", d + "ttyUSB0"}));
  EXPECT_TRUE(EnumSerialPorts((root / "missing").string(), dev.string()).empty());
  fs::remove_all(root);
}

TEST_F(ConnectionTest, CheckConnectionStoresTheIdentity) {
  EmulatorConfig c;
  c.model = 150;
  c.firmware = 0x0103;
  ScannerEmulator scanner(c);
  ConnectionParams().port = scanner.PortPath();
  const CheckOutcome found = CheckConnection();
  EXPECT_TRUE(found.found);
  EXPECT_EQ(found.text, ModelText(150, false) + " (v.1.3)");
  EXPECT_EQ(found.text.rfind("Ручной сканер \"", 0), 0u);
  EXPECT_EQ(CurrentModel(), 150);
  EXPECT_EQ(CurrentFirmwareVersion(), 0x0103);
  EXPECT_TRUE(dialogs_.shown.empty());

  // The wrong speed is silence on the line: no box, no identity change.
  ConnectionParams().speed = 19200;
  ConnectionParams().timeout = 100;
  SetCurrentModel(0);
  const CheckOutcome silent = CheckConnection();
  EXPECT_FALSE(silent.found);
  EXPECT_EQ(silent.text, kNotFoundText);
  EXPECT_EQ(CurrentModel(), 0);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(ConnectionTest, ProbeOfABusyPortShowsThePortMessage) {
  ScannerEmulator scanner;
  CComDevice holder;
  OpenDevice(&holder, scanner.PortPath(), 9600, 100);
  DeviceInfo info;
  EXPECT_FALSE(ProbeDevice(scanner.PortPath(), 9600, 100, &info));
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "COM-порт занят другим приложением");
  EXPECT_EQ(dialogs_.shown[0].caption, "Внимание");
  EXPECT_EQ(dialogs_.shown[0].icon, Icon::error);
  EXPECT_TRUE(dialogs_.shown[0].ownerless);
}

TEST_F(ConnectionTest, SearchFindsTheFirstPortAndSpeedThatAnswer) {
  EmulatorConfig fast, slow;
  fast.speed = 115200;
  fast.model = 208;
  fast.firmware = 0x0A00;
  slow.speed = 4800;
  ScannerEmulator a(fast), b(slow);
  std::vector<std::string> texts;
  const SearchOutcome outcome =
      SearchDevice({a.PortPath(), b.PortPath()}, [&](const std::string& t) { texts.push_back(t); });
  ASSERT_TRUE(outcome.found);
  EXPECT_EQ(outcome.port, a.PortPath());
  EXPECT_EQ(outcome.speed, 115200u);
  EXPECT_EQ(outcome.speed_index, 6);
  EXPECT_EQ(outcome.text, "Найден  " + ModelText(208, false) + "(v.10.0)");
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_EQ(texts.front(), "Поиск на " + a.PortPath() + " (2400)...");
  EXPECT_EQ(texts.back(), "Поиск на " + a.PortPath() + " (115200)...");
  EXPECT_EQ(ConnectionParams().timeout, kSearchTimeout);
  EXPECT_EQ(ConnectionParams().port, a.PortPath());
  EXPECT_EQ(CurrentModel(), 0) << "a search does not store the identity";

  // Starting with the slow one: found on the first port at 4800.
  texts.clear();
  const SearchOutcome second = SearchDevice({b.PortPath(), a.PortPath()}, [&](const std::string& t) { texts.push_back(t); });
  ASSERT_TRUE(second.found);
  EXPECT_EQ(second.port, b.PortPath());
  EXPECT_EQ(second.speed, 4800u);
  EXPECT_EQ(texts.size(), 2u);
}

TEST_F(ConnectionTest, SearchWithoutAScanner) {
  ScannerEmulator a, b;
  a.AddFault({FaultKind::silence});
  b.AddFault({FaultKind::silence});
  std::vector<std::string> texts;
  const SearchOutcome outcome =
      SearchDevice({a.PortPath(), b.PortPath()}, [&](const std::string& t) { texts.push_back(t); });
  EXPECT_FALSE(outcome.found);
  EXPECT_EQ(outcome.text, "Устройство не обнаружено");
  ASSERT_EQ(texts.size(), 14u);
  EXPECT_EQ(texts[7], "Поиск на " + b.PortPath() + " (2400)...");
  EXPECT_EQ(ConnectionParams().speed, 115200u) << "the last probe's speed";
  EXPECT_TRUE(dialogs_.shown.empty());

  EXPECT_EQ(SearchDevice({}).text, "Устройство не обнаружено");
  // A port that cannot be opened: its message once per speed.
  SearchDevice({"/dev/tavrik-no-such-port"});
  EXPECT_EQ(dialogs_.shown.size(), 7u);
  EXPECT_EQ(dialogs_.shown[0].text, "COM-порт недоступен");
}

TEST_F(ConnectionTest, ApplySpeed) {
  ScannerEmulator scanner;
  ConnectionParams().port = scanner.PortPath();
  ConnectionParams().timeout = 200;

  // The same speed: only the speed query goes out.
  SpeedOutcome same = ApplySpeed(9600, 2);
  EXPECT_TRUE(same.ok);
  EXPECT_EQ(same.port_speed, 9600u);
  ASSERT_EQ(scanner.Requests().size(), 1u);
  EXPECT_EQ(scanner.Requests()[0], (Request{CScannerInterface::cmd_speed}));

  // A new speed that the scanner takes.
  SpeedOutcome changed = ApplySpeed(9600, 6);
  EXPECT_TRUE(changed.ok);
  EXPECT_EQ(changed.port_speed, 115200u);
  EXPECT_EQ(scanner.Speed(), 115200u);
  EXPECT_TRUE(dialogs_.shown.empty());

  // Acknowledged but not answered at the new speed: the port stays there.
  scanner.AddFault({FaultKind::keep_old_speed});
  SpeedOutcome lost = ApplySpeed(115200, 3);
  EXPECT_FALSE(lost.ok);
  EXPECT_EQ(lost.port_speed, 19200u);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Ошибка смены скорости"});
  EXPECT_EQ(dialogs_.shown[0].icon, Icon::error);
  EXPECT_EQ(dialogs_.shown[0].caption, "");

  // A port that cannot be opened.
  dialogs_.shown.clear();
  ConnectionParams().port = "/dev/tavrik-no-such-port";
  SpeedOutcome missing = ApplySpeed(9600, 6);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.port_speed, 0u);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"COM-порт недоступен"});
}

TEST_F(ConnectionTest, SetDefaults) {
  // No model chosen.
  EXPECT_FALSE(SetDefaults(kNoModel));
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "Необходимо выбрать тип устройства");
  EXPECT_EQ(dialogs_.shown[0].icon, Icon::exclamation);
  EXPECT_EQ(dialogs_.shown[0].caption, "");

  // Declined: model put back, settings kept.
  SetCurrentModel(150);
  CurrentSettings().volume = 1;
  const Settings before = CurrentSettings();
  dialogs_.shown.clear();
  dialogs_.answers = {Answer::no};
  EXPECT_FALSE(SetDefaults(204));
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "Настройки на всех вкладках будут сброшены на заводские для сканера: " +
                                        ModelText(204, false) + "\n\nПродолжить выполнение?");
  EXPECT_EQ(dialogs_.shown[0].default_answer, Answer::no);
  EXPECT_EQ(CurrentModel(), 150);
  EXPECT_TRUE(CurrentSettings() == before);

  // Accepted: the model's defaults, and the model stays chosen.
  dialogs_.answers = {Answer::yes};
  EXPECT_TRUE(SetDefaults(204));
  EXPECT_EQ(CurrentModel(), 204);
  EXPECT_EQ(CurrentSettings().barcode_interface, uart);
  EXPECT_EQ(CurrentSettings().illumination_mode, 1);
  EXPECT_EQ(CurrentSettings().volume, 8);
}

TEST_F(ConnectionTest, HandleExceptionClassifies) {
  struct Case {
    const char* why;
    void (*raise)();
    const char* text;
  };
  const Case cases[] = {
      {"object_description", [] { throw object_description("(-1) Нет связи"); }, "(-1) Нет связи"},
      {"port error: its own message first", [] { throw CComDevice::CException(EBUSY); },
       "COM-порт занят другим приложением"},
      {"std::exception", [] { throw std::runtime_error("boom"); }, "boom"},
      {"anything else", [] { throw 42; }, "Неизвестное исключение"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    dialogs_.shown.clear();
    try {
      c.raise();
    } catch (...) {
      HandleException(show_exception_mode);
    }
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].text, c.text);
    EXPECT_EQ(dialogs_.shown[0].caption, "Внимание");
    EXPECT_EQ(dialogs_.shown[0].icon, Icon::error);
  }
}

TEST(HandleExceptionDeathTest, OutsideACatchBlockDoesNotEndTheProgram) {
  // Debug builds stop at the caller's mistake; release builds go on with the unknown text.
  EXPECT_DEBUG_DEATH(EXPECT_EQ(CurrentExceptionText(), kUnknownExceptionText), "catch block");
}

}  // namespace
}  // namespace tavrik
