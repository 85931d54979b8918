// show, diff, set and the many-port commands of tavrik-cli, run as a user
// runs them: a child process, settings files in a temporary folder, emulated
// scanners on real ptys.

#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
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

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using cli_testing::Cli;
using cli_testing::CliRun;
using cli_testing::Lines;

Bytes FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), {});
}

// name -> text of `show` output.
std::map<std::string, std::string> ShownFields(const std::string& out) {
  std::map<std::string, std::string> fields;
  for (const std::string& line : Lines(out)) {
    const std::size_t eq = line.find(" = ");
    if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 3);
  }
  return fields;
}

class FleetCliTest : public cli_testing::CliFileTest {
 protected:
  // The defaults of model 0, as the tool reads files.
  static Settings Defaults() {
    SetCurrentModel(0);
    Settings s{};
    LoadDefaults(s);
    return s;
  }
  // A file a shop might use: a few fields away from the defaults.
  static Settings Changed() {
    Settings s = Defaults();
    s.code128_enabled = false;
    s.redecode_timeout = 5;
    s.barcode_interface = usb_cdc;
    s.up_button_message = {3, {0x1B, 0x41, 0xFF}};
    s.bt_power_off_minutes = 60000;
    return s;
  }
  std::string Write(const std::string& name, const Settings& s) {
    EXPECT_EQ(WriteSettingsFile(Path(name), s), FileResult::ok);
    return Path(name);
  }
  static Settings Read(const std::string& path) {
    Settings s = Defaults();
    EXPECT_EQ(ReadSettingsFile(path, s), FileResult::ok);
    return s;
  }
};

TEST_F(FleetCliTest, ShowListsEveryFieldInImageOrderInTheFormsAPersonReads) {
  const CliRun r = Cli({"show", Write("d.qdx", Defaults())});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2 + ImageFields().size());
  EXPECT_EQ(lines[0], "version = 1");
  EXPECT_EQ(lines[1], "size = 268");
  for (std::size_t i = 0; i < ImageFields().size(); ++i)
    EXPECT_EQ(lines[2 + i].substr(0, lines[2 + i].find(" = ")), ImageFields()[i].name) << "line " << i + 2;

  const auto fields = ShownFields(r.out);
  const std::map<std::string, std::string> expected = {
      {"code128_enabled", "true"},
      {"redecode_timeout", "12 (600 ms)"},
      {"structured_append_timeout", "60 (30000 ms)"},
      {"inter_barcode_delay", "100 ms"},
      {"sleep_timeout", "2 s"},
      {"bt_power_off_minutes", "30 min"},
      {"barcode_interface", "2 (USB HID)"},
      {"barcode_suffix_ascii", "0x0D    0x0A"},
      {"barcode_prefix_ascii", ""},
      {"lens_lower", "-180"},
      {"pharmacode_min_value", "31"},
  };
  for (const auto& [name, text] : expected) EXPECT_EQ(fields.at(name), text) << name;

  // The model's defaults are what the file holds.
  EXPECT_EQ(Cli({"show", "--model", "0"}).out, r.out);
}

TEST_F(FleetCliTest, ShowJsonParsesBackToTheFile) {
  const Settings changed = Changed();
  const CliRun r = Cli({"show", "--json", Write("c.qdx", changed)});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_TRUE(j.is_object());
  EXPECT_EQ(j.size(), 2 + ImageFields().size());
  EXPECT_EQ(j.at("version"), 1);
  EXPECT_EQ(j.at("size"), 268);
  EXPECT_EQ(j.at("code128_enabled"), false);
  EXPECT_EQ(j.at("redecode_timeout"), 5);
  EXPECT_EQ(j.at("barcode_interface"), 1);
  EXPECT_EQ(j.at("up_button_message"), nlohmann::json({0x1B, 0x41, 0xFF}));
  EXPECT_EQ(j.at("bt_power_off_minutes"), 60000);
  EXPECT_EQ(j.at("lens_lower"), -180);
  // Every field: the JSON value rebuilds the record.
  Settings rebuilt = Defaults();
  for (const FieldSpec& f : ImageFields()) {
    SCOPED_TRACE(f.name);
    const nlohmann::json& v = j.at(f.name);
    auto* p = reinterpret_cast<std::uint8_t*>(&rebuilt) + f.member;
    switch (f.type) {
      case FieldType::boolean: {
        ASSERT_TRUE(v.is_boolean());
        const bool b = v.get<bool>();
        std::memcpy(p, &b, 1);
        break;
      }
      case FieldType::byte_seq: {
        ASSERT_TRUE(v.is_array());
        auto* seq = reinterpret_cast<ByteSeq*>(p);
        seq->length = static_cast<std::uint8_t>(v.size());
        for (std::size_t i = 0; i < v.size(); ++i) seq->data[i] = v[i].get<std::uint8_t>();
        break;
      }
      default: {
        ASSERT_TRUE(v.is_number_integer());
        const auto n = v.get<std::int64_t>();
        std::memcpy(p, &n, FieldWidth(f.type));  // little-endian host
      }
    }
  }
  EXPECT_TRUE(rebuilt == changed);
}

TEST_F(FleetCliTest, DiffBothWaysAndAgainstDefaults) {
  const std::string a = Write("a.qdx", Defaults());
  const std::string b = Write("b.qdx", Changed());

  const CliRun same = Cli({"diff", a, a});
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(Cli({"diff", a, "--model", "0"}).status, 0) << "a default file equals the defaults";

  const CliRun forward = Cli({"diff", a, b});
  EXPECT_EQ(forward.status, 1) << forward.err;
  EXPECT_EQ(forward.out,
            "code128_enabled: true -> false\n"
            "redecode_timeout: 12 (600 ms) -> 5 (250 ms)\n"
            "barcode_interface: 2 (USB HID) -> 1 (USB CDC)\n"
            "bt_power_off_minutes: 30 min -> 60000 min\n"
            "up_button_message:  -> 0x1B    0x41    0xFF\n");
  const CliRun backward = Cli({"diff", b, "--model", "0"});
  EXPECT_EQ(backward.status, 1);
  EXPECT_EQ(Lines(backward.out)[0], "code128_enabled: false -> true");
  EXPECT_EQ(Lines(backward.out).size(), 5u);

  const CliRun models = Cli({"diff", "--model", "0", "--model", "204"});
  EXPECT_EQ(models.status, 1);
  EXPECT_NE(models.out.find("barcode_interface: 2 (USB HID) -> 0 (UART (RS232))\n"), std::string::npos);
  EXPECT_NE(models.out.find("trigger_mode: 4 -> 2\n"), std::string::npos);

  const CliRun missing = Cli({"diff", a, Path("none.qdx")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("Ошибка открытия файла"), std::string::npos);
  EXPECT_EQ(Cli({"diff", a}).status, 2);
  EXPECT_EQ(Cli({"diff", a, b, b}).status, 2);
}

TEST_F(FleetCliTest, SetChangesFieldsByNameInTheFormsShowPrints) {
  struct Case {
    const char* assignment;
    void (*expect)(const Settings&);
  };
  const Case cases[] = {
      /*0*/ {"code128_enabled=false", [](const Settings& s) { EXPECT_FALSE(s.code128_enabled); }},
      /*1*/ {"aztec_enabled=true", [](const Settings& s) { EXPECT_TRUE(s.aztec_enabled); }},
      /*2*/ {"redecode_timeout=250 ms", [](const Settings& s) { EXPECT_EQ(s.redecode_timeout, 5); }},
      /*3*/ {"redecode_timeout=7", [](const Settings& s) { EXPECT_EQ(s.redecode_timeout, 7); }},
      /*4*/ {"addon_timeout=8 (400 ms)", [](const Settings& s) { EXPECT_EQ(s.addon_timeout, 8); }},
      /*5*/ {"structured_append_timeout=750ms", [](const Settings& s) { EXPECT_EQ(s.structured_append_timeout, 2); }},
      /*6*/ {"barcode_interface=usb_cdc", [](const Settings& s) { EXPECT_EQ(s.barcode_interface, usb_cdc); }},
      /*7*/ {"barcode_interface=BT SPP", [](const Settings& s) { EXPECT_EQ(s.barcode_interface, bt_spp); }},
      /*8*/ {"currency_interface=0 (UART (RS232))", [](const Settings& s) { EXPECT_EQ(s.currency_interface, uart); }},
      /*9*/ {"barcode_suffix_ascii=0x0D 0x0A 0x09",
             [](const Settings& s) { EXPECT_EQ(s.barcode_suffix_ascii, (ByteSeq{3, {0x0D, 0x0A, 0x09}})); }},
      /*10*/ {"up_button_message=", [](const Settings& s) { EXPECT_EQ(s.up_button_message.length, 0); }},
      /*11*/ {"bt_pin=9999", [](const Settings& s) { EXPECT_EQ(s.bt_pin, 9999); }},
      /*12*/ {"lens_lower=-200", [](const Settings& s) { EXPECT_EQ(s.lens_lower, -200); }},
      /*13*/ {"hid_key_delay=120 ms", [](const Settings& s) { EXPECT_EQ(s.hid_key_delay, 120); }},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row << ": " << cases[row].assignment);
    const std::string path = Write("s.qdx", Defaults());
    const CliRun r = Cli({"set", path, cases[row].assignment});
    ASSERT_EQ(r.status, 0) << r.err;
    cases[row].expect(Read(path));
  }

  // Several at once into another file; the source stays as it was.
  const std::string source = Write("src.qdx", Defaults());
  const Bytes before = FileBytes(source);
  const CliRun r = Cli({"set", source, "volume=3", "barcode_interface=USB CDC", "-o", Path("out.qdx")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FileBytes(source), before);
  const Settings out = Read(Path("out.qdx"));
  EXPECT_EQ(out.volume, 3);
  EXPECT_EQ(out.barcode_interface, usb_cdc);
}

TEST_F(FleetCliTest, SetTakesBackEveryLineThatShowPrints) {
  const std::string changed = Write("c.qdx", Changed());
  std::vector<std::string> args = {"set", Write("d.qdx", Defaults())};
  for (const auto& [name, text] : ShownFields(Cli({"show", changed}).out)) {
    if (name != "version" && name != "size") args.push_back(name + "=" + text);
  }
  const CliRun r = Cli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FileBytes(Path("d.qdx")), FileBytes(changed));
}

TEST_F(FleetCliTest, SetRefusesBadValuesAndWritesNothing) {
  struct Case {
    std::vector<std::string> assignments;
    std::vector<std::string> messages;  // each must appear on stderr
  };
  const Case cases[] = {
      /*0*/ {{"addon_timeout=49 ms"}, {"addon_timeout", "50..12750 ms"}},
      /*1*/ {{"addon_timeout=0"}, {"addon_timeout", "1..255"}},
      /*2*/ {{"redecode_timeout=256"}, {"redecode_timeout", "0..12750 ms"}},
      /*3*/ {{"volume=9"}, {"volume", "0..8"}},
      /*4*/ {{"bt_pin=10000"}, {"bt_pin", "0..9999"}},
      /*5*/ {{"bt_power_off_minutes=0 min"}, {"bt_power_off_minutes", "1..60000 min"}},
      /*6*/ {{"hid_key_delay=125 ms"}, {"hid_key_delay", "шаг 10"}},
      /*7*/ {{"sleep_timeout=300"}, {"sleep_timeout", "0..255 s"}},
      /*8*/ {{"opaque_138=256"}, {"opaque_138", "0..255"}},  // no page range: the field's width
      /*9*/ {{"code128_enabled=maybe"}, {"code128_enabled", "true"}},
      /*10*/ {{"barcode_interface=USB HIDX"}, {"barcode_interface"}},
      /*11*/ {{"barcode_interface=2 (USB CDC)"}, {"barcode_interface"}},  // the halves disagree
      /*12*/ {{"barcode_suffix_ascii=0x0D,0x0A"}, {"barcode_suffix_ascii"}},
      /*13*/ {{"up_button_message=1 2 3 4 5 6 7 8 9 10 11"}, {"up_button_message"}},
      /*14*/ {{"no_such_field=1"}, {"no_such_field"}},
      /*15*/ {{"volume=3", "volume_typo=3", "bt_pin=-1"}, {"volume_typo", "bt_pin"}},  // one bad: none written
  };
  const std::string path = Write("s.qdx", Defaults());
  const Bytes before = FileBytes(path);
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row << ": " << cases[row].assignments[0]);
    for (const bool to_other : {false, true}) {
      std::vector<std::string> args = {"set", path};
      args.insert(args.end(), cases[row].assignments.begin(), cases[row].assignments.end());
      if (to_other) args.insert(args.end(), {"-o", Path("out.qdx")});
      const CliRun r = Cli(args);
      EXPECT_EQ(r.status, 2);
      for (const std::string& m : cases[row].messages) EXPECT_NE(r.err.find(m), std::string::npos) << m << "\n" << r.err;
      EXPECT_EQ(FileBytes(path), before);
      EXPECT_FALSE(fs::exists(Path("out.qdx")));
    }
  }
  EXPECT_EQ(Cli({"set", path}).status, 2) << "no assignment";
  EXPECT_EQ(Cli({"set", path, "volume"}).status, 2) << "no =";
  EXPECT_EQ(Cli({"set", Path("none.qdx"), "volume=1"}).status, 1);
  EXPECT_FALSE(fs::exists(Path("none.qdx")));
}

// Scanners on a hub: four emulators, each with its own settings and interface.
class FleetSaveTest : public FleetCliTest {
 protected:
  void Start(int count) {
    for (int i = 0; i < count; ++i) {
      EmulatorConfig c;
      c.model = static_cast<std::uint8_t>(150 + i);
      c.firmware = static_cast<std::uint16_t>(0x0100 + i);
      configs_.push_back(c);
      scanners_.push_back(std::make_unique<ScannerEmulator>(c));
    }
  }
  // What a single save of `file` leaves in scanner i: the file's settings with
  // the scanner's own header and lens values.
  Bytes Expected(std::size_t i, const Settings& file) const {
    Bytes image = EmulatorImage(configs_[i]);
    Settings scanner{};
    SettingsFromPlacement(scanner, image.data());
    Settings outgoing = file;
    outgoing.lens_upper = scanner.lens_upper;
    outgoing.lens_lower = scanner.lens_lower;
    outgoing.lens_frequency = scanner.lens_frequency;
    SettingsToPlacement(image.data(), &outgoing);
    return image;
  }
  Bytes Memory(std::size_t i) const { return scanners_[i]->ReadMemory(SETTINGS_ADDRESS, kPlacementSize); }

  std::vector<EmulatorConfig> configs_;
  std::vector<std::unique_ptr<ScannerEmulator>> scanners_;
};

TEST_F(FleetSaveTest, ParallelSaveToFourOfWhichOneIsSilent) {
  Start(4);
  scanners_[2]->AddFault({FaultKind::silence});
  const Settings file = Changed();
  const std::string path = Write("approved.qdx", file);
  std::vector<std::string> args = {"save", "--yes"};
  for (const auto& s : scanners_) args.insert(args.end(), {"--port", s->PortPath()});
  args.push_back(path);

  const CliRun r = Cli(args);
  EXPECT_EQ(r.status, 1) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u) << r.out;
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(testing::Message() << "port " << i);
    const std::string port = scanners_[i]->PortPath();
    if (i == 2) {
      EXPECT_EQ(lines[i], port + "\t-\tУстройство не обнаружено");
      EXPECT_EQ(Memory(i), EmulatorImage(configs_[i])) << "the silent scanner is not written";
    } else {
      EXPECT_EQ(lines[i], port + "\t" + ModelText(configs_[i].model, false) + " (v.1." + std::to_string(i) + ")\tok");
      EXPECT_EQ(Memory(i), Expected(i, file));
      // Its questions were answered by --yes and its notice reported, under its port.
      EXPECT_NE(r.err.find(port + ": Внимание: После сохранения настроек будут изменены"), std::string::npos) << r.err;
    }
  }
}

TEST_F(FleetSaveTest, ManyPortsWithoutYesAreRefusedBeforeAnyPortIsTouched) {
  Start(2);
  const std::string path = Write("approved.qdx", Changed());
  const CliRun r = Cli({"save", "--port", scanners_[0]->PortPath(), "--port", scanners_[1]->PortPath(), path});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--yes"), std::string::npos);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_TRUE(scanners_[i]->Requests().empty());
    EXPECT_EQ(Memory(i), EmulatorImage(configs_[i]));
  }
  EXPECT_EQ(Cli({"save", "--yes", "--port", "/dev/a", "--port", "/dev/a", path}).status, 2) << "a port twice";
  EXPECT_EQ(Cli({"save", "--yes", "--port", "/dev/a", "--port", "/dev/b", Path("none.qdx")}).status, 1);
}

// --all finds the ports as the port list does: a tty class tree whose entries
// have a device, and a character device of the same name.
TEST_F(FleetSaveTest, ProbeAndSearchAllReportEveryPort) {
  Start(2);
  scanners_[1]->AddFault({FaultKind::silence});
  const fs::path tty = dir_ / "class-tty", dev = dir_ / "dev";
  std::vector<std::string> names;
  for (std::size_t i = 0; i < 2; ++i) {
    const std::string name = "ttyACM" + std::to_string(i);
    fs::create_directories(tty / name / "device");
    fs::create_directories(dev);
    fs::create_symlink(scanners_[i]->PortPath(), dev / name);
    names.push_back((dev / name).string());
  }
  const std::vector<std::string> env = {"TAVRIK_TTY_CLASS_DIR=" + tty.string(), "TAVRIK_DEV_DIR=" + dev.string()};

  const CliRun probe = Cli({"probe", "--all"}, "", env);
  EXPECT_EQ(probe.status, 1) << probe.err;
  EXPECT_EQ(probe.out, names[0] + "\t" + ModelText(150, false) + " (v.1.0)\tok\n" + names[1] +
                           "\t-\tУстройство не обнаружено\n");

  scanners_[1]->ClearFaults();
  const CliRun search = Cli({"search", "--all"}, "", env);
  EXPECT_EQ(search.status, 0) << search.err;
  EXPECT_EQ(search.out, names[0] + " 9600\t" + ModelText(150, false) + " (v.1.0)\tok\n" + names[1] + " 9600\t" +
                            ModelText(151, false) + " (v.1.1)\tok\n");

  EXPECT_EQ(Cli({"probe", "--all", "--port", names[0]}, "", env).status, 2);
  const CliRun none = Cli({"search", "--all"}, "", {"TAVRIK_TTY_CLASS_DIR=" + (dir_ / "empty").string()});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "");
}

}  // namespace
}  // namespace tavrik
