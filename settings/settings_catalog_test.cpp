// The settings catalogue against the record it describes and against itself.

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>

#include "settings/SettingsCatalog.h"

namespace tavrik {
namespace {

TEST(SettingsCatalog, EveryMemberOfTheRecordHasExactlyOneRow) {
  // Every byte of a record set to 1 (a valid bool), then every row's member
  // cleared: a member without a row keeps its 1 and the record differs from
  // the zero one. Two rows on one member would overlap, which the offsets show.
  Settings s;
  std::memset(&s, 1, sizeof s);
  std::size_t covered = 0;
  for (const SettingRow& row : SettingsCatalog()) {
    SCOPED_TRACE(row.name);
    std::memset(reinterpret_cast<std::uint8_t*>(&s) + row.member, 0, FieldWidth(row.type));
    covered += FieldWidth(row.type);
    EXPECT_EQ(FindSettingByMember(row.member), &row);
    EXPECT_EQ(FindSetting(row.name), &row);
  }
  EXPECT_EQ(s, Settings{});
  EXPECT_LE(covered, sizeof(Settings));
  EXPECT_EQ(&SettingOf(&Settings::redecode_timeout), FindSetting("redecode_timeout"));
  EXPECT_EQ(&SettingOf(&Settings::currency_suffix_pos), FindSetting("currency_suffix_pos"));
  EXPECT_EQ(FindSetting("no_such_field"), nullptr);
}

TEST(SettingsCatalog, NotesBesideTheEditsAgreeWithTheRanges) {
  // "мин. 500 мс, макс. 127500 мс": the numbers the user reads are the range's.
  const std::regex min_text("мин\\. ([0-9]+)");
  const std::regex max_text("макс\\. ([0-9]+)");
  int notes = 0;
  for (const SettingRow& row : SettingsCatalog()) {
    if (!*row.note) continue;
    SCOPED_TRACE(row.name);
    ++notes;
    ASSERT_TRUE(row.HasRange());
    const std::string note = row.note;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(note, m, max_text));
    EXPECT_EQ(std::stoll(m[1]), row.range.max);
    if (std::regex_search(note, m, min_text)) {
      EXPECT_EQ(std::stoll(m[1]), row.range.min);
    }
    if (std::string(row.range.typed_unit) == "ms") {
      EXPECT_NE(note.find("мс"), std::string::npos);
    }
    if (std::string(row.range.typed_unit) == "s") {
      EXPECT_NE(note.find("сек"), std::string::npos);
    }
  }
  EXPECT_EQ(notes, 8);
}

TEST(SettingsCatalog, ChoicesStandForValuesOfTheRange) {
  for (const SettingRow& row : SettingsCatalog()) {
    if (row.choices.empty()) continue;
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(row.HasRange());
    EXPECT_EQ(static_cast<std::int64_t>(row.choices.size()), row.range.max - row.range.min + 1);
    for (const Choice& c : row.choices) {
      EXPECT_GE(c.value, row.range.min);
      EXPECT_LE(c.value, row.range.max);
      EXPECT_EQ(ChoiceText(row, c.value).empty(), false);
    }
  }
}

TEST(SettingsCatalog, PagesCaptionsAndChoicesAsTheToolPrintsThem) {
  struct Case {
    const char* name;
    const char* page;
    const char* caption;
    std::int64_t value;
    const char* choice;
  };
  const Case cases[] = {
      /* 1 */ {"code39_enabled", "Code 39", "Распознавать Code 39", 1, ""},
      /* 2 */ {"structured_append", "Декодеры штрих-кодов",
               "Структурированное соединение (Structured Append): Использовать", 0, ""},
      /* 3 */ {"redecode_timeout", "Декодеры штрих-кодов", "Таймаут повторного декодирования (мс)", 12, ""},
      // radio values stand for buttons out of their order
      /* 4 */ {"illumination_mode", "Подсветка", "Режим работы подсветки", 0,
               "Автоматически, без подсветки во время ожидания ШК на подставке"},
      /* 5 */ {"illumination_mode", "Подсветка", "Режим работы подсветки", 7, ""},
      // a tab page is named after its host; a caption over two lines reads as one
      /* 6 */ {"bt_fast_keystrokes", "Интерфейс с ПК / Bluetooth",
               "Количество нажатий клавиш без задержки (только для Bluetooth HID)", 0, ""},
      /* 7 */ {"uart_parity", "Интерфейс с ПК / UART (RS232)", "Четность", 2, "Even"},
      /* 8 */ {"barcode_suffix_ascii", "Префиксы/Суффиксы", "Штрих-коды: Суффиксы (ASCII)", 0, ""},
      /* 9 */ {"barcode_interface", "Интерфейс с ПК", "Интерфейс с ПК: Штрих-коды", 0, ""},
      /* 10 */ {"lens_upper", "", "", 0, ""},
      /* 11 */ {"up_button_message", "Сообщение от верхней кнопки", "", 0, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++n);
    const SettingRow* row = FindSetting(c.name);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(PagePath(row->page), c.page);
    EXPECT_EQ(FieldCaption(*row), c.caption);
    EXPECT_EQ(ChoiceText(*row, c.value), c.choice);
  }
}

TEST(SettingsCatalog, ControlsAreFoundOnTheirOwnPage) {
  // The same id stands for other controls on other pages.
  EXPECT_STREQ(FindSettingByControl(page_id::code128, 1027)->name, "code128_enabled");
  EXPECT_STREQ(FindSettingByControl(page_id::pharmacode, 1027)->name, "pharmacode_enabled");
  EXPECT_STREQ(FindSettingByControl(page_id::ean_upc, 1214)->name, "upca_preamble");
  EXPECT_STREQ(FindSettingByControl(page_id::symbolics, 1213)->name, "gs1_ai_brackets");
  EXPECT_EQ(FindSettingByControl(page_id::code128, 1028), nullptr);
  EXPECT_EQ(FindPageTitle(9999), nullptr);
  EXPECT_EQ(PagePath(9999), "");
}

TEST(SettingsCatalog, NumbersReadAndWriteInTheFieldsWidth) {
  Settings s{};
  struct Case {
    const char* name;
    std::int64_t written;
    std::int64_t read;
  };
  const Case cases[] = {
      /* 1 */ {"lens_lower", -180, -180},
      /* 2 */ {"pharmacode_min_value", 131070, 131070},
      /* 3 */ {"bt_pin", 70000, 70000 - 65536},  // cut to 16 bits
      /* 4 */ {"code128_enabled", 5, 1},
      /* 5 */ {"volume", 256, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SettingRow& row = *FindSetting(c.name);
    SetFieldNumber(row, c.written, s);
    EXPECT_EQ(FieldNumber(row, s), c.read);
  }
}

}  // namespace
}  // namespace tavrik
