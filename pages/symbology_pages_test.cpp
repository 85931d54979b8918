// The symbology and decoder pages against the settings record: which control
// moves which field, the radio positions, the millisecond conversions with
// their clamps, the order in which a refused page has stored, and that a page
// loaded and stored unchanged leaves the record as it was.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "core/ScriptedDialogs.h"
#include "pages/DialogUnits.h"
#include "pages/PageTable.h"
#include "pages/test_parent.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

// The templates of the pages.
enum : int {
  kEanUpc = 202,
  k2of5I = 209,
  kCode39 = 211,
  kCode128 = 212,
  kSymbolics = 213,
  kAztec = 222,
  kPdf417 = 232,
  kDataMatrix = 236,
  kQrCode = 239,
  kOcr = 240,
  kPharmacode = 241,
  kCode93 = 242,
  kDataBar = 243,
  kCodabar = 244,
};

// A numeric field of the record, whatever its width.
struct FieldRef {
  std::int64_t (*get)(const Settings&);
  void (*set)(Settings&, std::int64_t);
};
template <auto Member>
constexpr FieldRef Field() {
  return {[](const Settings& s) -> std::int64_t { return s.*Member; },
          [](Settings& s, std::int64_t v) {
            using T = std::remove_reference_t<decltype(s.*Member)>;
            s.*Member = static_cast<T>(v);
          }};
}

// The number edits' fields.
constexpr FieldRef kAddon = Field<&Settings::addon_timeout>();
constexpr FieldRef kRedecode = Field<&Settings::redecode_timeout>();
constexpr FieldRef kAppend = Field<&Settings::structured_append_timeout>();
constexpr FieldRef kDelay = Field<&Settings::inter_barcode_delay>();
constexpr FieldRef kPharmacodeMin = Field<&Settings::pharmacode_min_value>();

// Every check box of the pages, in binding order.
struct CheckRow {
  int page;
  int id;
  const char16_t* caption;
  bool Settings::*field;
};
constexpr CheckRow kChecks[] = {
    /* 1 */ {k2of5I, 1027, u"Распознавать Interleaved 2 of 5", &Settings::i2of5_enabled},
    /* 2 */ {k2of5I, 1023, u"Используется контр. знак Interleaved 2 of 5", &Settings::i2of5_check_digit},
    /* 3 */ {k2of5I, 1024, u"Передавать контр. знак Interleaved 2 of 5", &Settings::i2of5_send_check_digit},
    /* 4 */ {kCode39, 1027, u"Распознавать Code 39", &Settings::code39_enabled},
    /* 5 */ {kCode39, 1023, u"Используется контр. знак Code 39", &Settings::code39_check_digit},
    /* 6 */ {kCode39, 1024, u"Передавать контр. знак Code 39", &Settings::code39_send_check_digit},
    /* 7 */ {kCode128, 1027, u"Распознавать Code 128", &Settings::code128_enabled},
    /* 8 */ {kCode93, 1027, u"Распознавать Code 93", &Settings::code93_enabled},
    /* 9 */ {kCodabar, 1027, u"Распознавать Codabar", &Settings::codabar_enabled},
    /* 10 */ {kCodabar, 1139, u"Нотация ABCD для крайних символов", &Settings::codabar_abcd_notation},
    /* 11 */ {kCodabar, 1208, u"Передавать крайние символы", &Settings::codabar_send_start_stop},
    /* 12 */ {kDataBar, 1132, u"Распознавать GS1 DataBar 14", &Settings::databar14_enabled},
    /* 13 */ {kDataBar, 1212, u"Распознавание низких GS1 DataBar", &Settings::databar_low_enabled},
    /* 14 */ {kAztec, 1027, u"Распознавать Aztec Code", &Settings::aztec_enabled},
    /* 15 */ {kAztec, 1083, u"Распознавать Aztec Runes", &Settings::aztec_runes_enabled},
    /* 16 */ {kDataMatrix, 1027, u"Распознавать Data Matrix", &Settings::datamatrix_enabled},
    /* 17 */ {kDataMatrix, 1211, u"Распознавание прямоугольных сильно вытянутых DMRE", &Settings::dmre_enabled},
    /* 18 */ {kQrCode, 1113, u"Распознавать QR Code", &Settings::qrcode_enabled},
    /* 19 */ {kQrCode, 1112, u"Распознавать Micro QR Code", &Settings::micro_qr_enabled},
    /* 20 */ {kPdf417, 1115, u"Распознавать PDF417", &Settings::pdf417_enabled},
    /* 21 */ {kPdf417, 1114, u"Распознавать MicroPDF417", &Settings::micro_pdf417_enabled},
    /* 22 */ {kPdf417, 1116, u"Упрощённая проверка ошибок в PDF417", &Settings::pdf417_simplified_check},
    /* 23 */ {kOcr, 1117, u"Распознавание документов путешественника ICAO (MRZ)", &Settings::ocr_mrz_enabled},
    /* 24 */ {kOcr, 1118, u"Распознавать паспорт гражданина РФ (доп. опция)", &Settings::ocr_ru_passport_enabled},
    /* 25 */ {kOcr, 1120, u"Распознавать номер паспорта гражданина РФ (доп. опция)", &Settings::ocr_ru_passport_number_enabled},
    /* 26 */ {kOcr, 1119, u"Распознавать реквизиты финансовых документов (доп. опция)", &Settings::ocr_financial_enabled},
    /* 27 */ {kOcr, 1135, u"Распознавать номера алкогольных акцизных марок (доп. опция)", &Settings::ocr_excise_stamp_enabled},
    /* 28 */ {kOcr, 1136, u"Распознавать ограниченную пробелами строку (доп. опция)", &Settings::ocr_spaced_string_enabled},
    /* 29 */ {kOcr, 1137, u"Распознавать артикульные номера IKEA (доп. опция)", &Settings::ocr_article_number_enabled},
    /* 30 */ {kOcr, 1121, u"Передача данных с паспортов граждан РФ кириллицей", &Settings::ocr_ru_passport_cyrillic},
    /* 31 */ {kOcr, 1134, u"Текст перевёрнут сверху вниз", &Settings::ocr_upside_down},
    /* 32 */ {kPharmacode, 1027, u"Распознавать Pharmacode", &Settings::pharmacode_enabled},
    /* 33 */ {kPharmacode, 1124, u"Увеличенные свободные зоны", &Settings::pharmacode_wide_quiet_zones},
    /* 34 */ {kEanUpc, 1005, u"Распознавать UPC-A", &Settings::upca_enabled},
    /* 35 */ {kEanUpc, 1006, u"Распознавать UPC-E", &Settings::upce_enabled},
    /* 36 */ {kEanUpc, 1007, u"Распознавать EAN-13", &Settings::ean13_enabled},
    /* 37 */ {kEanUpc, 1008, u"Распознавать EAN-8", &Settings::ean8_enabled},
    /* 38 */ {kEanUpc, 1012, u"Передавать контр. знак UPC-A", &Settings::upca_send_check_digit},
    /* 39 */ {kEanUpc, 1013, u"Передавать контр. знак UPC-E", &Settings::upce_send_check_digit},
    /* 40 */ {kEanUpc, 1014, u"Передавать контр. знак EAN-13", &Settings::ean13_send_check_digit},
    /* 41 */ {kEanUpc, 1015, u"Передавать контр. знак EAN-8", &Settings::ean8_send_check_digit},
    /* 42 */ {kEanUpc, 1010, u"Преобразовывать UPC-E в UPC-A", &Settings::upce_to_upca},
    /* 43 */ {kEanUpc, 1009, u"Преобразовывать UPC-A в EAN-13", &Settings::upca_to_ean13},
    /* 44 */ {kEanUpc, 1011, u"Преобразовывать EAN-8 в EAN-13", &Settings::ean8_to_ean13},
    /* 45 */ {kEanUpc, 1016, u"Распознавать 2-х разрядный доп. символ", &Settings::addon2_enabled},
    /* 46 */ {kEanUpc, 1017, u"Распознавать 5-ти разрядный доп. символ", &Settings::addon5_enabled},
    /* 47 */ {kEanUpc, 1018, u"Доп. символ необходим", &Settings::addon_required},
    /* 48 */ {kSymbolics, 1133, u"Распознавать ШК только в центре зоны сканирования", &Settings::centre_only},
    /* 49 */ {kSymbolics, 1061, u"Использовать", &Settings::structured_append},
    /* 50 */ {kSymbolics, 1134, u"Включить считывание с экрана *", &Settings::screen_reading},
    /* 51 */ {kSymbolics, 1135, u"Передача номера назначения ECI", &Settings::eci_transmit},
    /* 52 */ {kSymbolics, 1213, u"Включение скобок вокруг GS1 Application Identifiers", &Settings::gs1_ai_brackets},
};

// The radio groups: the buttons in position order and the field of the position.
struct RadioRow {
  int page;
  std::vector<int> ids;
  std::vector<const char16_t*> captions;
  FieldRef field;
};
const std::vector<RadioRow>& RadioRows() {
  static const std::vector<RadioRow> rows = {
      /* 1 */ {kEanUpc, {1213, 1214, 1215},
               {u"Не передавать", u"Только системный символ", u"Код страны и системный символ"},
               Field<&Settings::upca_preamble>()},
      /* 2 */ {kEanUpc, {1216, 1217, 1218},
               {u"Не передавать", u"Только системный символ", u"Код страны и системный символ"},
               Field<&Settings::upce_preamble>()},
      /* 3 */ {kSymbolics, {1052, 1053, 1054},
               {u"Не передавать", u"Передавать всегда", u"Передавать при наличии в ШК спец. символов"},
               Field<&Settings::symbology_id_mode>()},
      /* 4 */ {kPharmacode, {1122, 1123, 1127, 1128},
               {u"Слева направо", u"Справа налево", u"Сверху вниз", u"Снизу вверх"},
               Field<&Settings::pharmacode_direction>()},
  };
  return rows;
}

// The texts beside the controls: group box titles, the labels and notes of
// the number edits, the page's own notes.
struct TextRow {
  int page;
  bool group_box;
  const char16_t* text;
};
constexpr TextRow kTexts[] = {
    /* 1 */ {kEanUpc, true, u"Передача преамбулы UPC-A"},
    /* 2 */ {kEanUpc, true, u"Передача преамбулы UPC-E"},
    /* 3 */ {kEanUpc, false, u"Таймаут доп. символа (мс):"},
    /* 4 */ {kEanUpc, false, u"макс. 12750 мс"},
    /* 5 */ {kSymbolics, true, u"Идентификатор символики"},
    /* 6 */ {kSymbolics, true, u"Структурированное соединение (Structured Append)"},
    /* 7 */ {kSymbolics, false, u"Таймаут повторного декодирования (мс):"},
    /* 8 */ {kSymbolics, false, u"макс. 12750 мс"},
    /* 9 */ {kSymbolics, false, u"Таймаут (мс):"},
    /* 10 */ {kSymbolics, false, u"мин. 500 мс, макс. 127500 мс"},
    /* 11 */ {kSymbolics, false, u"Задержка между посылками штрих-кодов (мс):"},
    /* 12 */ {kSymbolics, false, u"макс. 5000 мс"},
    /* 13 */ {kSymbolics, false,
              u"* Настройка применима только для стационарных сканеров. Не рекомендуется к "
              u"использованию из-за понижения скорости распознавания печатных ШК. Альтернативно "
              u"считать ШК с экрана можно по нажатию на 1-ю кнопку сканера"},
    /* 14 */ {kPharmacode, true, u"Направление считывания"},
    /* 15 */ {kPharmacode, false, u"Минимальное закодированное значение:"},
    /* 16 */ {kPharmacode, false, u"мин. 3, макс. 131070"},
};

constexpr int kNumberEdits[][2] = {
    {kEanUpc, 1138}, {kSymbolics, 1084}, {kSymbolics, 1095}, {kSymbolics, 1201},
    {kPharmacode, 1125}};

struct PageCaption {
  int page;
  const char16_t* caption;
};
constexpr PageCaption kPages[] = {
    {kEanUpc, u"UPC/EAN"},        {k2of5I, u"Interleaved 2 of 5"},
    {kCode39, u"Code 39"},        {kCode128, u"Code 128"},
    {kSymbolics, u"Декодеры штрих-кодов"}, {kAztec, u"Aztec Code"},
    {kPdf417, u"PDF417"},         {kDataMatrix, u"Data Matrix"},
    {kQrCode, u"QR Code"},        {kOcr, u"OCR"},
    {kPharmacode, u"Pharmacode"}, {kCode93, u"Code 93"},
    {kDataBar, u"GS1 DataBar"},   {kCodabar, u"Codabar"},
};

class SymbologyPagesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }
  void TearDown() override { ResetProcessState(); }

  // The page of a template, created at the page area of the main window in its font.
  CPageT& Make(int template_id) {
    const PageEntry* entry = FindPageEntry(template_id);
    Q_ASSERT(entry);
    pages_.push_back(entry->create());
    CPageT& page = *pages_.back();
    parent_.page = &page;
    page.SetParentDlg(&parent_);
    page.setFont(DialogFont());
    page.Create(nullptr, QRect(0, 0, 411, 460));
    return page;
  }
  static void Type(CPageT& page, int id, const char* text) {
    auto* edit = page.ControlAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(QString::fromUtf8(text));
  }
  static QString Shown(CPageT& page, int id) { return page.ControlAs<QLineEdit>(id)->text(); }

  ScriptedDialogs dialogs_;
  NoParent parent_;
  std::vector<std::unique_ptr<CPageT>> pages_;
};

TEST_F(SymbologyPagesTest, PagesCarryTheirCaptionsControlsAndTexts) {
  for (const PageCaption& p : kPages) {
    SCOPED_TRACE(p.page);
    CPageT& page = Make(p.page);
    EXPECT_EQ(page.TemplateId(), p.page);
    EXPECT_EQ(page.Caption(), QString::fromUtf16(p.caption));
    int row = 0;
    for (const CheckRow& c : kChecks) {
      ++row;
      if (c.page != p.page) continue;
      SCOPED_TRACE(::testing::Message() << "check row " << row);
      auto* box = page.ControlAs<QCheckBox>(c.id);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->property(kCaptionProperty).toString(), QString::fromUtf16(c.caption));
      EXPECT_EQ(box->accessibleName(), QString::fromUtf16(c.caption));
    }
    row = 0;
    for (const RadioRow& r : RadioRows()) {
      ++row;
      if (r.page != p.page) continue;
      SCOPED_TRACE(::testing::Message() << "radio row " << row);
      for (std::size_t i = 0; i < r.ids.size(); ++i) {
        auto* radio = page.ControlAs<QRadioButton>(r.ids[i]);
        ASSERT_NE(radio, nullptr) << r.ids[i];
        EXPECT_EQ(radio->property(kCaptionProperty).toString(), QString::fromUtf16(r.captions[i]));
        EXPECT_EQ(page.StartsGroup(radio), i == 0) << "only the first button has the group style";
      }
    }
    row = 0;
    for (const TextRow& t : kTexts) {
      ++row;
      if (t.page != p.page) continue;
      SCOPED_TRACE(::testing::Message() << "text row " << row);
      const QString text = QString::fromUtf16(t.text);
      bool found = false;
      if (t.group_box) {
        for (auto* box : page.findChildren<QGroupBox*>()) found |= box->title() == text;
      } else {
        for (auto* label : page.findChildren<QLabel*>()) found |= label->text() == text;
      }
      EXPECT_TRUE(found) << qPrintable(text);
    }
  }
}

TEST_F(SymbologyPagesTest, EveryCheckBoxMovesItsOwnField) {
  int row = 0;
  for (const CheckRow& c : kChecks) {
    SCOPED_TRACE(::testing::Message() << "check row " << ++row);
    CPageT& page = Make(c.page);
    // Only this field set: only this box shows checked.
    Settings& s = CurrentSettings();
    for (const CheckRow& other : kChecks) s.*other.field = false;
    s.*c.field = true;
    page.Load();
    for (const CheckRow& other : kChecks) {
      if (other.page != c.page) continue;
      EXPECT_EQ(page.ControlAs<QCheckBox>(other.id)->isChecked(), other.id == c.id) << other.id;
    }
    // Only this box checked: only this field stored true.
    for (const CheckRow& other : kChecks) s.*other.field = other.page != c.page;
    page.ControlAs<QCheckBox>(c.id)->setChecked(true);
    for (const CheckRow& other : kChecks) {
      if (other.page == c.page && other.id != c.id) {
        page.ControlAs<QCheckBox>(other.id)->setChecked(false);
      }
    }
    ASSERT_TRUE(page.Store());
    for (const CheckRow& other : kChecks) {
      const bool expected = other.page != c.page || other.id == c.id;
      EXPECT_EQ(s.*other.field, expected) << "page " << other.page << ", control " << other.id;
    }
  }
}

TEST_F(SymbologyPagesTest, RadioGroupsShowAndStoreTheirPositions) {
  int row = 0;
  for (const RadioRow& r : RadioRows()) {
    SCOPED_TRACE(::testing::Message() << "radio row " << ++row);
    CPageT& page = Make(r.page);
    Settings& s = CurrentSettings();
    for (std::size_t position = 0; position < r.ids.size(); ++position) {
      SCOPED_TRACE(::testing::Message() << "position " << position);
      r.field.set(s, static_cast<std::int64_t>(position));
      page.Load();
      for (std::size_t i = 0; i < r.ids.size(); ++i) {
        EXPECT_EQ(page.ControlAs<QRadioButton>(r.ids[i])->isChecked(), i == position) << r.ids[i];
      }
      // Click the next button round: the store writes its position.
      const std::size_t next = (position + 1) % r.ids.size();
      auto* button = page.ControlAs<QRadioButton>(r.ids[next]);
      QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
      ASSERT_TRUE(page.Store());
      EXPECT_EQ(r.field.get(s), static_cast<std::int64_t>(next));
    }
    // A position no button stands for (a damaged record) shows none and is
    // kept as it is, rather than stored as "none checked".
    r.field.set(s, 7);
    page.Load();
    for (int id : r.ids) EXPECT_FALSE(page.ControlAs<QRadioButton>(id)->isChecked()) << id;
    ASSERT_TRUE(page.Store());
    EXPECT_EQ(r.field.get(s), 7);
  }
}

TEST_F(SymbologyPagesTest, NumbersAreCheckedAsTypedAndStoredInTheirUnits) {
  struct Case {
    int page;
    int id;
    FieldRef field;
    const char* typed;
    bool ok;
    std::int64_t stored;  // the field afterwards; it holds 9 before each row
  };
  const Case cases[] = {
      /* 1 */ {kEanUpc, 1138, kAddon, "49", false, 9},
      /* 2 */ {kEanUpc, 1138, kAddon, "50", true, 1},
      /* 3 */ {kEanUpc, 1138, kAddon, "74", true, 1},
      /* 4 */ {kEanUpc, 1138, kAddon, "75", true, 2},  // halves up
      /* 5 */ {kEanUpc, 1138, kAddon, "12750", true, 255},
      /* 6 */ {kEanUpc, 1138, kAddon, "12751", false, 9},
      /* 7 */ {kEanUpc, 1138, kAddon, "", false, 9},
      /* 8 */ {kSymbolics, 1084, kRedecode, "0", true, 0},
      /* 9 */ {kSymbolics, 1084, kRedecode, "24", true, 0},
      /* 10 */ {kSymbolics, 1084, kRedecode, "25", true, 1},
      /* 11 */ {kSymbolics, 1084, kRedecode, "12750", true, 255},
      /* 12 */ {kSymbolics, 1084, kRedecode, "12751", false, 9},
      /* 13 */ {kSymbolics, 1095, kAppend, "499", false, 9},
      /* 14 */ {kSymbolics, 1095, kAppend, "500", true, 1},
      /* 15 */ {kSymbolics, 1095, kAppend, "749", true, 1},
      /* 16 */ {kSymbolics, 1095, kAppend, "750", true, 2},
      /* 17 */ {kSymbolics, 1095, kAppend, "127500", true, 255},
      /* 18 */ {kSymbolics, 1095, kAppend, "127501", false, 9},
      /* 19 */ {kSymbolics, 1201, kDelay, "0", true, 0},
      /* 20 */ {kSymbolics, 1201, kDelay, "5000", true, 5000},
      /* 21 */ {kSymbolics, 1201, kDelay, "5001", false, 9},
      /* 22 */ {kSymbolics, 1201, kDelay, "65545", false, 9},  // would narrow to 9
      /* 23 */ {kPharmacode, 1125, kPharmacodeMin, "2", false, 9},
      /* 24 */ {kPharmacode, 1125, kPharmacodeMin, "3", true, 3},
      /* 25 */ {kPharmacode, 1125, kPharmacodeMin, "131070", true, 131070},
      /* 26 */ {kPharmacode, 1125, kPharmacodeMin, "131071", false, 9},
      /* 27 */ {kPharmacode, 1125, kPharmacodeMin, "4294967305", false, 9},  // beyond 32 bits
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    CPageT& page = Make(c.page);
    Settings& s = CurrentSettings();
    c.field.set(s, 9);
    page.Load();
    Type(page, c.id, c.typed);
    dialogs_.beeps = 0;
    EXPECT_EQ(page.Store(), c.ok);
    EXPECT_EQ(c.field.get(s), c.stored);
    EXPECT_EQ(dialogs_.beeps, c.ok ? 0 : 1);
    if (!c.ok) {
      EXPECT_EQ(page.focusWidget(), page.Control(c.id)) << "the refused edit has the focus";
    }
  }
}

TEST_F(SymbologyPagesTest, LoadClampsTheRecordIntoWhatThePageCanShow) {
  struct Case {
    int page;
    int id;
    FieldRef field;
    std::int64_t record;    // before the load
    const char* shown;
    std::int64_t clamped;   // in the record after the load, and after a store of it
  };
  const Case cases[] = {
      /* 1 */ {kEanUpc, 1138, kAddon, 0, "50", 1},  // an old file
      /* 2 */ {kEanUpc, 1138, kAddon, 1, "50", 1},
      /* 3 */ {kEanUpc, 1138, kAddon, 255, "12750", 255},
      /* 4 */ {kSymbolics, 1084, kRedecode, 0, "0", 0},
      /* 5 */ {kSymbolics, 1084, kRedecode, 255, "12750", 255},
      /* 6 */ {kSymbolics, 1095, kAppend, 0, "500", 1},
      /* 7 */ {kSymbolics, 1095, kAppend, 255, "127500", 255},
      /* 8 */ {kSymbolics, 1201, kDelay, 6000, "5000", 5000},
      /* 9 */ {kSymbolics, 1201, kDelay, 65535, "5000", 5000},
      /* 10 */ {kSymbolics, 1201, kDelay, 5000, "5000", 5000},
      /* 11 */ {kPharmacode, 1125, kPharmacodeMin, 131070, "131070", 131070},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    CPageT& page = Make(c.page);
    Settings& s = CurrentSettings();
    c.field.set(s, c.record);
    page.Load();
    EXPECT_EQ(Shown(page, c.id), QString::fromUtf8(c.shown));
    EXPECT_EQ(c.field.get(s), c.clamped) << "the clamp is written back on load";
    const Settings loaded = s;
    ASSERT_TRUE(page.Store());
    EXPECT_EQ(c.field.get(s), c.clamped);
    EXPECT_TRUE(s == loaded) << "nothing else moves";
  }
}

TEST_F(SymbologyPagesTest, ARefusedNumberLeavesTheBindingsAfterItAndTheConversionsUnstored) {
  struct Case {
    int page;
    int id;  // the edit that is refused
    std::vector<int> stored;  // the boxes stored before it
    std::vector<int> kept;    // the boxes after it
  };
  const Case cases[] = {
      /* 1 */ {kEanUpc, 1138,
               {1005, 1006, 1007, 1008, 1012, 1013, 1014, 1015, 1010, 1009, 1011, 1016, 1017},
               {1018}},
      /* 2 */ {kSymbolics, 1084, {}, {1133, 1061, 1134, 1135, 1213}},
      /* 3 */ {kSymbolics, 1095, {}, {1133, 1061, 1134, 1135, 1213}},
      /* 4 */ {kSymbolics, 1201, {}, {1133, 1061, 1134, 1135, 1213}},
      /* 5 */ {kPharmacode, 1125, {1027, 1124}, {}},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    CPageT& page = Make(c.page);
    Settings& s = CurrentSettings();
    const Settings before = s;
    page.Load();
    // Every box flipped, every radio group moved, every other number valid
    // and changed, and the one edit refused.
    for (const CheckRow& box : kChecks) {
      if (box.page == c.page) page.ControlAs<QCheckBox>(box.id)->toggle();
    }
    for (const RadioRow& r : RadioRows()) {
      if (r.page != c.page) continue;
      const std::int64_t next = (r.field.get(s) + 1) % static_cast<std::int64_t>(r.ids.size());
      page.ControlAs<QRadioButton>(r.ids[static_cast<std::size_t>(next)])->setChecked(true);
    }
    for (const auto& [edit_page, edit] : kNumberEdits) {
      if (edit_page == c.page) Type(page, edit, "1050");
    }
    Type(page, c.id, c.page == kPharmacode ? "2" : "999999");
    EXPECT_FALSE(page.Store());
    for (const CheckRow& box : kChecks) {
      if (box.page != c.page) continue;
      const bool was_stored = std::find(c.stored.begin(), c.stored.end(), box.id) != c.stored.end();
      const bool was_kept = std::find(c.kept.begin(), c.kept.end(), box.id) != c.kept.end();
      ASSERT_TRUE(was_stored != was_kept) << "every box of the page is in one list: " << box.id;
      EXPECT_EQ(s.*box.field, was_stored ? !(before.*box.field) : before.*box.field) << box.id;
    }
    // Radio positions and converted numbers are written only by a whole store.
    for (const RadioRow& r : RadioRows()) {
      if (r.page == c.page) {
        EXPECT_EQ(r.field.get(s), r.field.get(before)) << r.ids[0];
      }
    }
    for (const FieldRef& number : {kAddon, kRedecode, kAppend, kDelay, kPharmacodeMin}) {
      EXPECT_EQ(number.get(s), number.get(before));
    }
  }
}

TEST_F(SymbologyPagesTest, LoadThenStoreLeavesARecordOfNonDefaultValuesUnchanged) {
  // Every check box field flipped from its default, and these values besides.
  struct Value {
    FieldRef field;
    std::int64_t value;
  };
  struct Case {
    int page;
    std::vector<Value> values;
  };
  const Case cases[] = {
      /* 1 */ {kEanUpc, {{Field<&Settings::upca_preamble>(), 2},
                         {Field<&Settings::upce_preamble>(), 0},
                         {kAddon, 37}}},
      /* 2 */ {k2of5I, {}},
      /* 3 */ {kCodabar, {}},
      /* 4 */ {kCode39, {}},
      /* 5 */ {kCode93, {}},
      /* 6 */ {kCode128, {}},
      /* 7 */ {kDataBar, {}},
      /* 8 */ {kPharmacode, {{Field<&Settings::pharmacode_direction>(), 3},
                             {kPharmacodeMin, 131070}}},
      /* 9 */ {kPdf417, {}},
      /* 10 */ {kAztec, {}},
      /* 11 */ {kDataMatrix, {}},
      /* 12 */ {kQrCode, {}},
      /* 13 */ {kOcr, {}},
      /* 14 */ {kSymbolics, {{Field<&Settings::symbology_id_mode>(), 2},
                             {kRedecode, 7},
                             {kAppend, 255},
                             {kDelay, 1234}}},
  };
  const Settings defaults = CurrentSettings();
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    CPageT& page = Make(c.page);
    Settings& s = CurrentSettings();
    s = defaults;
    for (const CheckRow& box : kChecks) {
      if (box.page == c.page) s.*box.field = !(defaults.*box.field);
    }
    for (const Value& v : c.values) {
      v.field.set(s, v.value);
      EXPECT_NE(v.field.get(defaults), v.value) << "a value other than the default";
    }
    const Settings before = s;
    page.Load();
    EXPECT_TRUE(page.Store());
    EXPECT_TRUE(s == before);
  }
}

TEST_F(SymbologyPagesTest, NumberEditsTakeDigitsOnly) {
  for (const auto& [template_id, id] : kNumberEdits) {
    SCOPED_TRACE(id);
    CPageT& page = Make(template_id);
    auto* edit = page.ControlAs<QLineEdit>(id);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1a-2 3"));
    EXPECT_EQ(edit->text(), QStringLiteral("123"));
    EXPECT_FALSE(edit->accessibleName().isEmpty()) << "named by its label";
  }
}

// Every control lies inside the page, shows its whole text and overlaps no other.
TEST_F(SymbologyPagesTest, EveryTextIsReadableAtThePageSize) {
  for (const PageCaption& p : kPages) {
    SCOPED_TRACE(p.page);
    CPageT& page = Make(p.page);
    page.show();
    page.layout()->activate();
    QApplication::processEvents();
    std::vector<QWidget*> leaves;
    for (QWidget* w : page.findChildren<QWidget*>()) {
      if (!w->isVisibleTo(&page) || qobject_cast<QGroupBox*>(w)) continue;
      const bool shows_text = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) ||
                              qobject_cast<QLineEdit*>(w);
      if (!shows_text) continue;
      leaves.push_back(w);
    }
    auto page_rect = [&page](QWidget* w) {
      return QRect(w->mapTo(&page, QPoint(0, 0)), w->size());
    };
    for (QWidget* w : leaves) {
      const QRect r = page_rect(w);
      const QString name = w->objectName() + u' ' + w->accessibleName();
      EXPECT_TRUE(page.rect().contains(r)) << qPrintable(name);
      if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap()) {
        EXPECT_GE(r.height(), label->heightForWidth(r.width())) << qPrintable(label->text());
      } else if (!qobject_cast<QLineEdit*>(w)) {  // an edit is as wide as its numbers
        EXPECT_GE(r.width(), w->sizeHint().width()) << qPrintable(name);
        EXPECT_GE(r.height(), w->minimumSizeHint().height()) << qPrintable(name);
      }
      for (QWidget* other : leaves) {
        if (other != w) {
          EXPECT_FALSE(r.intersects(page_rect(other))) << qPrintable(name);
        }
      }
    }
    // Every control reaches the keyboard: a radio group through its one tab
    // stop (the arrows move inside it), every other control by itself.
    for (QWidget* control : page.Controls()) {
      if (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QLineEdit*>(control)) continue;
      const std::string name = control->objectName().toStdString();
      EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
      bool reachable = control->focusPolicy() & Qt::TabFocus;
      if (auto* radio = qobject_cast<QRadioButton*>(control)) {
        for (QAbstractButton* other : radio->group()->buttons()) {
          reachable |= (other->focusPolicy() & Qt::TabFocus) != 0;
        }
      }
      EXPECT_TRUE(reachable) << name;
    }
    page.hide();
  }
}

}  // namespace
}  // namespace tavrik
