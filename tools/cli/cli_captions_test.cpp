// show and diff with --captions: each field with its page and caption as the
// window shows them, and the plain output untouched without the flag.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "settings/SettingsCatalog.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "tools/cli/test_cli_run.h"

namespace tavrik {
namespace {

using cli_testing::Cli;
using cli_testing::CliRun;
using cli_testing::Lines;

class CliCaptionsTest : public cli_testing::CliFileTest {
 protected:
  std::string Write(const std::string& name, const Settings& s) {
    EXPECT_EQ(WriteSettingsFile(Path(name), s), FileResult::ok);
    return Path(name);
  }
  static Settings Defaults() {
    SetCurrentModel(0);
    Settings s{};
    LoadDefaults(s);
    return s;
  }
};

TEST_F(CliCaptionsTest, ShowPutsPageAndCaptionBehindEachShownField) {
  Settings s = Defaults();
  s.code39_enabled = false;
  s.illumination_mode = 1;
  const std::string file = Write("c.qdx", s);
  const CliRun plain = Cli({"show", file});
  const CliRun captioned = Cli({"show", "--captions", file});
  ASSERT_EQ(captioned.status, 0) << captioned.err;
  const std::vector<std::string> a = Lines(plain.out);
  const std::vector<std::string> b = Lines(captioned.out);
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(b[i]);
    // The captioned line is the plain one and a comment, or the plain one.
    ASSERT_EQ(b[i].substr(0, a[i].size()), a[i]);
    const std::string comment = b[i].substr(a[i].size());
    EXPECT_TRUE(comment.empty() || comment.starts_with("    # ")) << comment;
  }
  const auto has = [&](const std::string& line) {
    for (const std::string& l : b) {
      if (l == line) return true;
    }
    return false;
  };
  EXPECT_TRUE(has("version = 1"));
  EXPECT_TRUE(has("code39_enabled = false    # Code 39: Распознавать Code 39"));
  EXPECT_TRUE(has("illumination_mode = 1    # Подсветка: Режим работы подсветки = Всегда включена"));
  EXPECT_TRUE(has("redecode_timeout = 12 (600 ms)    # Декодеры штрих-кодов: Таймаут повторного декодирования (мс)"));
  EXPECT_TRUE(has("uart_parity = 0    # Интерфейс с ПК / UART (RS232): Четность = None"));
  EXPECT_TRUE(has("lens_upper = 180")) << "no page shows the lens values";
}

TEST_F(CliCaptionsTest, JsonCaptionsMakeEachFieldAnObject) {
  const std::string file = Write("d.qdx", Defaults());
  const CliRun r = Cli({"show", "--json", "--captions", file});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j.at("version"), 1);
  EXPECT_EQ(j.size(), 2 + SettingsCatalog().size());
  const nlohmann::json& code39 = j.at("code39_enabled");
  EXPECT_EQ(code39.at("value"), true);
  EXPECT_EQ(code39.at("page"), "Code 39");
  EXPECT_EQ(code39.at("caption"), "Распознавать Code 39");
  EXPECT_EQ(j.at("bt_fast_keystrokes").at("caption"),
            "Количество нажатий клавиш без задержки (только для Bluetooth HID)");
  EXPECT_TRUE(j.at("opaque_135").at("page").is_null());
  EXPECT_EQ(j.at("opaque_135").at("value"), true);
  // Without the flag the values stay plain.
  EXPECT_EQ(nlohmann::json::parse(Cli({"show", "--json", file}).out).at("code39_enabled"), true);
}

TEST_F(CliCaptionsTest, DiffNamesThePageAndCaptionOfEachDifference) {
  Settings s = Defaults();
  s.aim_brightness = 3;
  s.volume = 2;
  const std::string a = Write("a.qdx", Defaults());
  const std::string b = Write("b.qdx", s);
  const CliRun plain = Cli({"diff", a, b});
  const CliRun captioned = Cli({"diff", "--captions", a, b});
  EXPECT_EQ(plain.status, 1);
  EXPECT_EQ(captioned.status, 1);
  EXPECT_EQ(plain.out, "volume: 8 -> 2\naim_brightness: 8 -> 3\n");
  EXPECT_EQ(captioned.out,
            "volume: 8 -> 2    # Управление звуком: Громкость\n"
            "aim_brightness: 8 -> 3    # Прицельные светодиоды: Яркость прицельных светодиодов\n");
}

}  // namespace
}  // namespace tavrik
