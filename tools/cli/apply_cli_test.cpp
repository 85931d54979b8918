// apply and probe --json of tavrik-cli, run as a child process against
// emulated scanners on real ptys: what reaches the scanner's memory, and what
// never does.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/test_cli_run.h"

namespace tavrik {
namespace {

using cli_testing::Cli;
using cli_testing::CliRun;
using cli_testing::Lines;
using Bytes = std::vector<std::uint8_t>;

std::size_t WriteRequests(const ScannerEmulator& scanner) {
  std::size_t n = 0;
  for (const Request& r : scanner.Requests()) n += r[0] == CScannerInterface::cmd_write_block;
  return n;
}

class ApplyCliTest : public cli_testing::CliFileTest {
 protected:
  std::string Write(const std::string& name, const Settings& s) {
    EXPECT_EQ(WriteSettingsFile(Path(name), s), FileResult::ok);
    return Path(name);
  }
  static Settings DefaultsOf(std::uint8_t model) {
    SetCurrentModel(model);
    Settings s{};
    LoadDefaults(s);
    return s;
  }
  static Bytes Memory(const ScannerEmulator& scanner, std::uint32_t size) {
    return scanner.ReadMemory(SETTINGS_ADDRESS, size);
  }
};

// An older scanner with the short layout: only the fields its image holds are
// compared and written; its lens values stay; a second run writes nothing.
TEST_F(ApplyCliTest, ShortImageTakesTheFileOnceAndKeepsItsLens) {
  EmulatorConfig config;
  config.model = 156;
  config.image_size = kShortPlacementSize;
  ScannerEmulator scanner(config);
  const Bytes lens = {0x64, 0x00, 0xCE, 0xFF, 0x02};  // 100, -50, 2
  scanner.WriteMemory(SETTINGS_ADDRESS + 14, lens);

  Settings wanted = DefaultsOf(156);
  wanted.code39_enabled = false;
  wanted.lens_upper = 300;
  wanted.gs1_ai_brackets = !wanted.gs1_ai_brackets;  // past the short image: not the scanner's
  const std::string file = Write("approved.qdx", wanted);

  const CliRun checked = Cli({"apply", "--port", scanner.PortPath(), "--yes", "--check", file});
  ASSERT_EQ(checked.status, 0) << checked.err;
  EXPECT_EQ(checked.out, "code39_enabled: true -> false\n");
  EXPECT_EQ(WriteRequests(scanner), 0u);

  const CliRun applied = Cli({"apply", "--port", scanner.PortPath(), "--yes", file, "volume=3"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  EXPECT_EQ(applied.out, "code39_enabled: true -> false\nvolume: 8 -> 3\n");
  const Bytes image = Memory(scanner, kShortPlacementSize);
  EXPECT_EQ(image[5], 0);
  EXPECT_EQ(Bytes(image.begin() + 14, image.begin() + 19), lens);
  EXPECT_EQ(image[1] | (image[2] << 8), static_cast<int>(kShortPlacementSize));

  const std::size_t writes = WriteRequests(scanner);
  EXPECT_GT(writes, 0u);
  const CliRun again = Cli({"apply", "--port", scanner.PortPath(), "--yes", "--json", file, "volume=3"});
  ASSERT_EQ(again.status, 0) << again.err;
  const nlohmann::json j = nlohmann::json::parse(again.out);
  EXPECT_EQ(j.at("changed"), false);
  EXPECT_EQ(j.at("written"), false);
  EXPECT_TRUE(j.at("changes").empty());
  EXPECT_EQ(WriteRequests(scanner), writes);
  EXPECT_EQ(Memory(scanner, kShortPlacementSize), image);
}

TEST_F(ApplyCliTest, RefusedCommandLinesNeverOpenThePort) {
  ScannerEmulator scanner;
  const std::string file = Write("a.qdx", DefaultsOf(0));
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      // 1: neither a file nor a change
      {{}, 2, "нужен файл настроек или хотя бы одно ИМЯ=ЗНАЧЕНИЕ"},
      // 2: two files
      {{file, file}, 2, "лишний аргумент"},
      // 3: an unknown field next to a good one
      {{"code39_enabled=false", "nosuch=1"}, 2, "nosuch: нет такого поля"},
      // 4: a value outside the page's range
      {{"redecode_timeout=100000 ms"}, 2, "ничего не записано"},
      // 5: a file that is not there
      {{Path("missing.qdx")}, 1, "missing.qdx: "},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i + 1));
    std::vector<std::string> args = {"apply", "--port", scanner.PortPath(), "--yes"};
    args.insert(args.end(), cases[i].args.begin(), cases[i].args.end());
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, cases[i].status);
    EXPECT_NE(r.err.find(cases[i].message), std::string::npos) << r.err;
  }
  EXPECT_TRUE(scanner.Requests().empty());
}

TEST_F(ApplyCliTest, JsonFailureCarriesTheToolsMessage) {
  const std::string file = Write("a.qdx", DefaultsOf(0));
  struct Case {
    EmulatorConfig config;
    bool silent;
    const char* message;
  };
  EmulatorConfig bad_version;
  bad_version.version = 0xFF;
  const Case cases[] = {
      // 1: no scanner answers
      {{}, true, "Нет связи"},
      // 2: a settings area the scanner marks invalid (a warning, not an error box)
      {bad_version, false, "некорректную версию настроек"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i + 1));
    ScannerEmulator scanner(cases[i].config);
    if (cases[i].silent) scanner.AddFault({FaultKind::silence});
    const CliRun r = Cli({"apply", "--port", scanner.PortPath(), "--timeout", "100", "--yes", "--json", file});
    EXPECT_EQ(r.status, 1);
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j.at("failed"), true);
    EXPECT_EQ(j.at("changed"), false);
    EXPECT_NE(j.at("msg").get<std::string>().find(cases[i].message), std::string::npos) << r.out;
    EXPECT_EQ(WriteRequests(scanner), 0u);
  }
}

TEST_F(ApplyCliTest, ProbeJsonNamesModelAndFirmwarePerPort) {
  EmulatorConfig config;
  config.model = 156;
  config.firmware = 0x0207;
  ScannerEmulator scanner(config);
  const CliRun r = Cli({"probe", "--json", "--port", scanner.PortPath(), "--port", Path("none")});
  EXPECT_EQ(r.status, 1);
  const nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0].at("ok"), true);
  EXPECT_EQ(j[0].at("model"), 156);
  EXPECT_EQ(j[0].at("firmware"), "2.7");
  EXPECT_EQ(j[0].at("device"), "Ручной сканер \"Luch H4 BT\" (v.2.7)");
  EXPECT_EQ(j[1].at("port"), Path("none"));
  EXPECT_EQ(j[1].at("ok"), false);
  EXPECT_FALSE(j[1].at("msg").get<std::string>().empty());
  // One port alone gives the same array.
  EXPECT_EQ(nlohmann::json::parse(Cli({"probe", "--json", "--port", scanner.PortPath()}).out).size(), 1u);
}

}  // namespace
}  // namespace tavrik
