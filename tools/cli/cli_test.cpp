// tavrik-cli as a user runs it: a child process, the emulator on a real pty.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/test_cli_run.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using cli_testing::Cli;
using cli_testing::CliRun;
using cli_testing::Lines;

class CliTest : public cli_testing::CliFileTest {};

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"image", "--colour"},
      {"probe"},                                     // no port
      {"probe", "--port", "/dev/x", "--speed", "1234"},  // not a table speed
      {"probe", "--port", "/dev/x", "--timeout", "50"},  // below 100 ms
      {"defaults", "--model", "300", "-o", "x.qdx"},
      {"defaults", "--model"},
      {"aztec", "--choice", "39"},
      {"image", "a.qdx", "b.qdx"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.empty() ? std::string("(none)") : args[0] + (args.size() > 1 ? " " + args[1] : ""));
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Использование"), std::string::npos);
  }
  EXPECT_EQ(Cli({"--help"}).status, 0);
}

TEST_F(CliTest, ImageDefaultsAndBarcodes) {
  const CliRun image = Cli({"image", "--model", "204"});
  ASSERT_EQ(image.status, 0) << image.err;
  const auto lines = Lines(image.out);
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[0].substr(0, 8), "01 0C 01");
  EXPECT_EQ(lines[5].substr(14 * 3, 2), "00") << "byte 94: uart for model 204";
  EXPECT_EQ(lines[16].size(), 12u * 3 - 1);

  ASSERT_EQ(Cli({"defaults", "--model", "204", "-o", Path("d.qdx")}).status, 0);
  Settings read{};
  ASSERT_EQ(ReadSettingsFile(Path("d.qdx"), read), FileResult::ok);
  SetCurrentModel(204);
  Settings expected{};
  LoadDefaults(expected);
  EXPECT_TRUE(read == expected);

  // The image of a file is the file's image.
  const CliRun from_file = Cli({"image", Path("d.qdx")});
  EXPECT_EQ(from_file.out, image.out);
  const CliRun missing = Cli({"image", Path("none.qdx")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Ошибка открытия файла"), std::string::npos);

  const CliRun barcodes = Cli({"barcodes", Path("d.qdx"), "-o", Path("scan.emf")});
  ASSERT_EQ(barcodes.status, 0) << barcodes.err;
  for (const char* name : {"scan_Old.emf", "scan_New.emf"}) {
    std::ifstream f(Path(name), std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(f)), {});
    ASSERT_GT(bytes.size(), 100u) << name;
    EXPECT_EQ(bytes[0], 1) << "EMR_HEADER first";
    EXPECT_EQ(std::string(bytes.begin() + 40, bytes.begin() + 44), " EMF");
  }
}

TEST_F(CliTest, AztecPrintsTheMatrixRows) {
  const CliRun r = Cli({"aztec", "--init", "--choice", "2"}, std::string(292, 'A'));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto rows = Lines(r.out);
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    EXPECT_EQ(row.size(), rows.size());
    EXPECT_EQ(row.find_first_not_of("01"), std::string::npos);
  }
  const CliRun empty = Cli({"aztec"}, "");
  EXPECT_EQ(empty.status, 1);
  EXPECT_FALSE(empty.err.empty());
}

TEST_F(CliTest, DeviceCommandsAgainstTheEmulator) {
  EmulatorConfig c;
  c.model = 156;
  c.firmware = 0x0203;
  c.image_size = 300;
  ScannerEmulator scanner(c);
  const std::string port = scanner.PortPath();

  const CliRun probe = Cli({"probe", "--port", port});
  EXPECT_EQ(probe.status, 0) << probe.err;
  EXPECT_EQ(probe.out, ModelText(156, false) + " (v.2.3)\n");

  // Without a terminal the question is answered No.
  const CliRun declined = Cli({"load", "--port", port, "-o", Path("l.qdx")});
  EXPECT_EQ(declined.status, 1);
  EXPECT_NE(declined.err.find("Продолжить выполнение?"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("l.qdx")));

  const CliRun load = Cli({"load", "--port", port, "--yes", "-o", Path("l.qdx")});
  ASSERT_EQ(load.status, 0) << load.err;
  Settings loaded{};
  SetCurrentModel(156);
  ASSERT_EQ(ReadSettingsFile(Path("l.qdx"), loaded), FileResult::ok);
  Settings expected{};
  SettingsFromPlacement(expected, EmulatorImage(c).data());
  EXPECT_TRUE(loaded == expected);

  // Save an edited file back: the scanner takes it, keeping bytes past 268.
  loaded.volume = 2;
  ASSERT_EQ(WriteSettingsFile(Path("s.qdx"), loaded), FileResult::ok);
  const Bytes tail_before = scanner.ReadMemory(SETTINGS_ADDRESS + 268, 32);
  const CliRun save = Cli({"save", "--port", port, "--yes", Path("s.qdx")});
  ASSERT_EQ(save.status, 0) << save.err;
  EXPECT_EQ(scanner.ReadMemory(SETTINGS_ADDRESS + 51, 1)[0], 2);
  EXPECT_EQ(scanner.ReadMemory(SETTINGS_ADDRESS + 268, 32), tail_before);

  const CliRun speed = Cli({"set-speed", "--port", port, "--from", "9600", "--to", "57600"});
  EXPECT_EQ(speed.status, 0) << speed.err;
  EXPECT_EQ(speed.out, "57600\n");
  EXPECT_EQ(scanner.Speed(), 57600u);
  EXPECT_EQ(Cli({"probe", "--port", port, "--speed", "57600"}).status, 0);

  scanner.AddFault({FaultKind::silence});
  const CliRun silent = Cli({"probe", "--port", port, "--speed", "57600", "--timeout", "100"});
  EXPECT_EQ(silent.status, 1);
  EXPECT_EQ(silent.out, "Устройство не обнаружено\n");
  const CliRun failed = Cli({"load", "--port", port, "--speed", "57600", "--timeout", "100", "--yes", "-o", Path("x.qdx")});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("(-1) Нет связи"), std::string::npos);

  const CliRun missing = Cli({"probe", "--port", "/dev/tavrik-no-such-port"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("COM-порт недоступен"), std::string::npos);
}

}  // namespace
}  // namespace tavrik
