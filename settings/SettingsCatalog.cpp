#include "settings/SettingsCatalog.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace tavrik {
namespace {

template <class M>
consteval FieldType TypeOfMember() {
  if constexpr (std::is_same_v<M, bool>) return FieldType::boolean;
  else if constexpr (std::is_same_v<M, std::uint8_t>) return FieldType::u8;
  else if constexpr (std::is_same_v<M, std::int16_t>) return FieldType::i16;
  else if constexpr (std::is_same_v<M, std::uint16_t>) return FieldType::u16;
  else if constexpr (std::is_same_v<M, std::uint32_t>) return FieldType::u32;
  else if constexpr (std::is_same_v<M, ByteSeq>) return FieldType::byte_seq;
}

// Stops the build when a row's type is not its member's.
template <class M>
consteval FieldType Checked(FieldType written) {
  if (written != TypeOfMember<M>()) throw "the row's type is not the member's type";
  return written;
}

// A row under construction: the image columns first, then what the old form and
// the page make of it.
struct Row : SettingRow {
  constexpr Row Range(std::int64_t min, std::int64_t max, std::uint32_t unit = 1, std::uint32_t step = 1,
                      const char* typed = "", const char* stored = "") const {
    Row r = *this;
    r.range = {name, min, max, unit, step, typed, stored};
    return r;
  }
  constexpr Row Cmd(std::uint8_t code, CommandForm form, std::uint8_t rank) const {
    Row r = *this;
    r.command = {code, form, rank, false};
    return r;
  }
  constexpr Row Lens() const {
    Row r = *this;
    r.command.lens = true;
    return r;
  }
  constexpr Row On(int page_template, ControlKind kind, int id, const char* text, const char* in_group = "",
                   std::span<const Choice> buttons = {}, const char* beside = "") const {
    Row r = *this;
    r.page = page_template;
    r.control = kind;
    r.control_id = id;
    r.caption = text;
    r.group = in_group;
    r.choices = buttons;
    r.note = beside;
    return r;
  }
  constexpr Row Check(int page_template, int id, const char* text, const char* in_group = "") const {
    return On(page_template, ControlKind::check, id, text, in_group);
  }
  constexpr Row Radio(int page_template, const char* title, std::span<const Choice> buttons) const {
    return On(page_template, ControlKind::radio, buttons.front().id, title, "", buttons);
  }
  constexpr Row Edit(int page_template, int id, const char* label, const char* note, const char* in_group = "") const {
    return On(page_template, ControlKind::number_edit, id, label, in_group, {}, note);
  }
  constexpr Row Clamped(int page_template, int id, const char* label, const char* note,
                        const char* in_group = "") const {
    return On(page_template, ControlKind::clamped_edit, id, label, in_group, {}, note);
  }
  constexpr Row Combo(int page_template, int id, const char* label, std::span<const Choice> entries = {}) const {
    return On(page_template, ControlKind::combo, id, label, "", entries);
  }
  constexpr Row TrackBar(int page_template, int id, const char* title) const {
    return On(page_template, ControlKind::track_bar, id, title);
  }
};

#define TAVRIK_ROW(member, image_offset, type, rule, value)                                                 \
  Row {                                                                                                      \
    SettingRow {                                                                                             \
      #member, image_offset, Checked<decltype(Settings::member)>(FieldType::type), offsetof(Settings, member), \
          rule, value, {}, {}                                                                                \
    }                                                                                                        \
  }

using enum CommandForm;
using enum Rule;
namespace id = page_id;

// Radio buttons and list entries, with the values they stand for.
constexpr Choice kSymbologyId[] = {
    {1052, "Не передавать", 0}, {1053, "Передавать всегда", 1}, {1054, "Передавать при наличии в ШК спец. символов", 2}};
constexpr Choice kUpcaPreamble[] = {
    {1213, "Не передавать", 0}, {1214, "Только системный символ", 1}, {1215, "Код страны и системный символ", 2}};
constexpr Choice kUpcePreamble[] = {
    {1216, "Не передавать", 0}, {1217, "Только системный символ", 1}, {1218, "Код страны и системный символ", 2}};
constexpr Choice kPharmacodeDirection[] = {
    {1122, "Слева направо", 0}, {1123, "Справа налево", 1}, {1127, "Сверху вниз", 2}, {1128, "Снизу вверх", 3}};
constexpr Choice kDataBits[] = {{0, "8", 0}, {0, "7", 1}};
constexpr Choice kParity[] = {{0, "None", 0}, {0, "Odd", 1}, {0, "Even", 2}};
constexpr Choice kStopBits[] = {{0, "1", 0}, {0, "2", 1}};
// Russia is the only layout the scanner knows.
constexpr Choice kKeyboardType[] = {{0, "Россия", 0}};
constexpr Choice kCodePage[] = {{0, "Windows 1251", 0}, {0, "MS-DOS 866 (CP866)", 1}, {0, "UTF-8", 2}};
constexpr Choice kConfigBarcodes[] = {
    {1108, "Запрещены", 0},
    {1109, "Разрешены всегда", 1},
    {1110, "Разрешены после вкл. питания, до первого чтения обычного ШК-да", 2}};
constexpr Choice kGoodReadSound[] = {
    {2000, "Звук 1", 0}, {2001, "Звук 2", 1}, {2002, "Звук 3", 2}, {2003, "Звук 4", 3}, {2004, "Звук 5", 4}};
constexpr Choice kAimMode[] = {
    {1104, "Всегда выключены", 0}, {1105, "Всегда включены", 1}, {1106, "Включаются автоматически", 2}};
// The modes of a scanner on its stand stand apart on the page, yet they are
// positions 3 and 4 of the same group.
constexpr Choice kTriggerMode[] = {{1173, "По курку или по команде", 0},
                                   {1174, "По детектору движения", 1},
                                   {1175, "Непрерывно", 2},
                                   {1189, "Непрерывно при установке на подставку ", 3},
                                   {1191, "По детектору движения при установке на подставку", 4}};
constexpr Choice kCurrencyStart[] = {{1180, "Автоматически", 0},
                                     {1181, "По двойному нажатию на курок", 1},
                                     {1192, "Только по нажатию на верхнюю кнопку", 2},
                                     {1193, "Только по команде по интерфейсу", 3}};
// The buttons stand from dark to bright; the scanner numbers the modes otherwise.
constexpr Choice kIlluminationMode[] = {
    {1102, "Всегда выключена", 2},
    {1101, "Всегда включена", 1},
    {1100, "Автоматически, без подсветки во время ожидания ШК на подставке", 0},
    {1104, "Автоматически, с подсветкой во время ожидания ШК на подставке", 3}};
constexpr Choice kDenominations[] = {
    {1186, "Не передавать", 0}, {1185, "Передавать", 1}, {1187, "Передавать только если считался серийный номер", 2}};
constexpr Choice kSerials[] = {{1190, "Не передавать", 0}, {1189, "Передавать", 1}, {1191, "Передавать без повторов", 2}};

// Texts and controls that several rows share.
constexpr char kStructuredAppend[] = "Структурированное соединение (Structured Append)";
constexpr char kPinPairing[] = "BT-сопряжение в режиме ввода PIN-кода сканером";
constexpr char kInterfaceGroup[] = "Интерфейс с ПК";
constexpr char kBarcodes[] = "Штрих-коды   ";
constexpr char kCurrency[] = "Детектор валют   ";
constexpr char kPrefixes[] = "Префиксы:";
constexpr char kSuffixes[] = "Суффиксы:";
// The prefix/suffix edits show the set of the class their interface selects.
constexpr int kBarcodePrefixEdit = 1050;
constexpr int kBarcodeSuffixEdit = 1051;
constexpr int kCurrencyPrefixEdit = 1052;
constexpr int kCurrencySuffixEdit = 1053;
constexpr auto kSeq = ControlKind::sequence_edit;

// One row per field, in image order. Time fields store milliseconds in coarser
// units to fit a byte; the user types milliseconds and the pages convert.
constexpr SettingRow kCatalog[] = {
    TAVRIK_ROW(symbology_id_mode, 3, u8, constant, 0).Range(0, 2).Cmd(1, byte, 1)
        .Radio(id::symbolics, "Идентификатор символики", kSymbologyId),
    TAVRIK_ROW(i2of5_enabled, 4, boolean, constant, 1).Cmd(2, flag, 7)
        .Check(id::i2of5, 1027, "Распознавать Interleaved 2 of 5"),
    TAVRIK_ROW(code39_enabled, 5, boolean, constant, 1).Cmd(3, flag, 8)
        .Check(id::code39, 1027, "Распознавать Code 39"),
    TAVRIK_ROW(code128_enabled, 6, boolean, constant, 1).Cmd(4, flag, 9)
        .Check(id::code128, 1027, "Распознавать Code 128"),
    TAVRIK_ROW(ean13_enabled, 7, boolean, constant, 1).Cmd(5, flag, 10)
        .Check(id::ean_upc, 1007, "Распознавать EAN-13"),
    TAVRIK_ROW(ean8_enabled, 8, boolean, constant, 1).Cmd(6, flag, 11)
        .Check(id::ean_upc, 1008, "Распознавать EAN-8"),
    TAVRIK_ROW(upce_enabled, 9, boolean, constant, 1).Cmd(7, flag, 12)
        .Check(id::ean_upc, 1006, "Распознавать UPC-E"),
    TAVRIK_ROW(i2of5_check_digit, 10, boolean, constant, 1).Cmd(8, flag, 31)
        .Check(id::i2of5, 1023, "Используется контр. знак Interleaved 2 of 5"),
    TAVRIK_ROW(i2of5_send_check_digit, 11, boolean, constant, 0).Cmd(9, flag, 32)
        .Check(id::i2of5, 1024, "Передавать контр. знак Interleaved 2 of 5"),
    TAVRIK_ROW(code39_check_digit, 12, boolean, constant, 0).Cmd(10, flag, 33)
        .Check(id::code39, 1023, "Используется контр. знак Code 39"),
    TAVRIK_ROW(code39_send_check_digit, 13, boolean, constant, 0).Cmd(11, flag, 34)
        .Check(id::code39, 1024, "Передавать контр. знак Code 39"),
    // The lens values: no page edits them, and a save to a scanner keeps the scanner's.
    TAVRIK_ROW(lens_upper, 14, i16, constant, 180).Cmd(133, number, 77).Lens(),
    TAVRIK_ROW(lens_lower, 16, i16, constant, -180).Cmd(134, number, 78).Lens(),
    TAVRIK_ROW(lens_frequency, 18, u8, constant, 4).Cmd(130, number, 79).Lens(),
    TAVRIK_ROW(sleep_timeout, 19, u8, constant, 2).Range(0, 255, 1, 1, "s", "s").Cmd(144, number, 80)
        .Edit(id::power, 1033, "Время перехода в спящий режим (сек.):", "макс. 255 сек"),
    TAVRIK_ROW(sleep_dim_illumination, 20, boolean, constant, 1).Cmd(145, flag, 81)
        .Check(id::power, 1032, "Уменьшать яркость осветителя в спящем режиме"),
    TAVRIK_ROW(barcode_prefix_hid, 21, byte_seq, constant, kSeqEmpty).Cmd(112, sequence, 73)
        .On(id::prefixes_suffixes, kSeq, kBarcodePrefixEdit, kPrefixes, kBarcodes),
    TAVRIK_ROW(barcode_suffix_hid, 32, byte_seq, d4, 0).Cmd(120, sequence, 74)
        .On(id::prefixes_suffixes, kSeq, kBarcodeSuffixEdit, kSuffixes, kBarcodes),
    TAVRIK_ROW(upca_enabled, 43, boolean, constant, 1).Cmd(12, flag, 13)
        .Check(id::ean_upc, 1005, "Распознавать UPC-A"),
    TAVRIK_ROW(upca_send_check_digit, 44, boolean, constant, 1).Cmd(13, flag, 37)
        .Check(id::ean_upc, 1012, "Передавать контр. знак UPC-A"),
    TAVRIK_ROW(upce_send_check_digit, 45, boolean, constant, 1).Cmd(14, flag, 38)
        .Check(id::ean_upc, 1013, "Передавать контр. знак UPC-E"),
    TAVRIK_ROW(ean13_send_check_digit, 46, boolean, constant, 1).Cmd(15, flag, 39)
        .Check(id::ean_upc, 1014, "Передавать контр. знак EAN-13"),
    TAVRIK_ROW(ean8_send_check_digit, 47, boolean, constant, 1).Cmd(16, flag, 40)
        .Check(id::ean_upc, 1015, "Передавать контр. знак EAN-8"),
    TAVRIK_ROW(upce_to_upca, 48, boolean, constant, 0).Cmd(17, flag, 41)
        .Check(id::ean_upc, 1010, "Преобразовывать UPC-E в UPC-A"),
    TAVRIK_ROW(upca_to_ean13, 49, boolean, constant, 0).Cmd(18, flag, 42)
        .Check(id::ean_upc, 1009, "Преобразовывать UPC-A в EAN-13"),
    TAVRIK_ROW(ean8_to_ean13, 50, boolean, constant, 0).Cmd(19, flag, 43)
        .Check(id::ean_upc, 1011, "Преобразовывать EAN-8 в EAN-13"),
    TAVRIK_ROW(volume, 51, u8, constant, 8).Range(0, 8).Cmd(161, number, 83)
        .TrackBar(id::sound, 1057, "Громкость"),
    TAVRIK_ROW(aztec_enabled, 52, boolean, constant, 0).Cmd(20, flag, 14)
        .Check(id::aztec, 1027, "Распознавать Aztec Code"),
    TAVRIK_ROW(structured_append, 53, boolean, constant, 1).Cmd(21, flag, 4)
        .Check(id::symbolics, 1061, "Использовать", kStructuredAppend),
    TAVRIK_ROW(aztec_runes_enabled, 54, boolean, constant, 0).Cmd(22, flag, 48)
        .Check(id::aztec, 1083, "Распознавать Aztec Runes"),
    TAVRIK_ROW(redecode_timeout, 55, u8, constant, 12).Range(0, 12750, 50, 1, "ms", "50 ms").Cmd(23, number, 3)
        .Clamped(id::symbolics, 1084, "Таймаут повторного декодирования (мс):", "макс. 12750 мс"),
    TAVRIK_ROW(pdf417_enabled, 56, boolean, constant, 1).Cmd(24, flag, 15)
        .Check(id::pdf417, 1115, "Распознавать PDF417"),
    TAVRIK_ROW(trigger_mode, 57, u8, d6, 0).Range(0, 4).Cmd(176, byte, 88)
        .Radio(id::trigger, "Запуск сканирования", kTriggerMode),
    TAVRIK_ROW(structured_append_timeout, 58, u8, constant, 60).Range(500, 127500, 500, 1, "ms", "500 ms")
        .Cmd(25, number, 5)
        .Clamped(id::symbolics, 1095, "Таймаут (мс):", "мин. 500 мс, макс. 127500 мс", kStructuredAppend),
    // Stored codes, not radio positions.
    TAVRIK_ROW(illumination_mode, 59, u8, d8, 0).Range(0, 3).Cmd(184, byte, 86)
        .Radio(id::illumination, "Режим работы подсветки", kIlluminationMode),
    TAVRIK_ROW(pharmacode_enabled, 60, boolean, constant, 0).Cmd(26, flag, 16)
        .Check(id::pharmacode, 1027, "Распознавать Pharmacode"),
    TAVRIK_ROW(datamatrix_enabled, 61, boolean, d2, 0).Cmd(27, flag, 17)
        .Check(id::datamatrix, 1027, "Распознавать Data Matrix"),
    TAVRIK_ROW(illumination_brightness, 62, u8, constant, 8).Range(0, 8).Cmd(185, number, 87)
        .TrackBar(id::illumination, 1103, "Яркость подсветки"),
    TAVRIK_ROW(config_barcodes_mode, 63, u8, d5, 0).Range(0, 2).Cmd(152, byte, 82)
        .Radio(id::configuration, "Настроечные ШК", kConfigBarcodes),
    TAVRIK_ROW(aim_mode, 64, u8, constant, 2).Range(0, 2).Cmd(168, byte, 84)
        .Radio(id::aim_leds, "Режим работы прицельных светодиодов", kAimMode),
    TAVRIK_ROW(aim_brightness, 65, u8, constant, 8).Range(0, 8).Cmd(169, number, 85)
        .TrackBar(id::aim_leds, 1107, "Яркость прицельных светодиодов"),
    TAVRIK_ROW(qrcode_enabled, 66, boolean, d2, 0).Cmd(28, flag, 18)
        .Check(id::qrcode, 1113, "Распознавать QR Code"),
    TAVRIK_ROW(micro_qr_enabled, 67, boolean, constant, 0).Cmd(29, flag, 19)
        .Check(id::qrcode, 1112, "Распознавать Micro QR Code"),
    TAVRIK_ROW(micro_pdf417_enabled, 68, boolean, constant, 0).Cmd(30, flag, 20)
        .Check(id::pdf417, 1114, "Распознавать MicroPDF417"),
    TAVRIK_ROW(pdf417_simplified_check, 69, boolean, constant, 1).Cmd(31, flag, 49)
        .Check(id::pdf417, 1116, "Упрощённая проверка ошибок в PDF417"),
    TAVRIK_ROW(ocr_mrz_enabled, 70, boolean, constant, 0).Cmd(32, flag, 21)
        .Check(id::ocr, 1117, "Распознавание документов путешественника ICAO (MRZ)"),
    TAVRIK_ROW(ocr_ru_passport_enabled, 71, boolean, constant, 0).Cmd(33, flag, 22)
        .Check(id::ocr, 1118, "Распознавать паспорт гражданина РФ (доп. опция)"),
    TAVRIK_ROW(ocr_ru_passport_cyrillic, 72, boolean, constant, 0).Cmd(34, flag, 50)
        .Check(id::ocr, 1121, "Передача данных с паспортов граждан РФ кириллицей"),
    TAVRIK_ROW(pharmacode_direction, 73, u8, constant, 1).Range(0, 3).Cmd(35, byte, 52)
        .Radio(id::pharmacode, "Направление считывания", kPharmacodeDirection),
    TAVRIK_ROW(pharmacode_wide_quiet_zones, 74, boolean, constant, 1).Cmd(36, flag, 53)
        .Check(id::pharmacode, 1124, "Увеличенные свободные зоны"),
    TAVRIK_ROW(pharmacode_min_value, 75, u32, constant, 31).Range(3, 131070).Cmd(37, number, 54)
        .Edit(id::pharmacode, 1125, "Минимальное закодированное значение:", "мин. 3, макс. 131070"),
    TAVRIK_ROW(code93_enabled, 79, boolean, constant, 1).Cmd(38, flag, 23)
        .Check(id::code93, 1027, "Распознавать Code 93"),
    TAVRIK_ROW(ocr_financial_enabled, 80, boolean, constant, 0).Cmd(39, flag, 24)
        .Check(id::ocr, 1119, "Распознавать реквизиты финансовых документов (доп. опция)"),
    TAVRIK_ROW(databar14_enabled, 81, boolean, d3, 0).Cmd(40, flag, 25)
        .Check(id::databar, 1132, "Распознавать GS1 DataBar 14"),
    TAVRIK_ROW(centre_only, 82, boolean, constant, 0).Cmd(41, flag, 6)
        .Check(id::symbolics, 1133, "Распознавать ШК только в центре зоны сканирования"),
    TAVRIK_ROW(ocr_ru_passport_number_enabled, 83, boolean, constant, 0).Cmd(42, flag, 26)
        .Check(id::ocr, 1120, "Распознавать номер паспорта гражданина РФ (доп. опция)"),
    TAVRIK_ROW(ocr_upside_down, 84, boolean, constant, 0).Cmd(43, flag, 51)
        .Check(id::ocr, 1134, "Текст перевёрнут сверху вниз"),
    TAVRIK_ROW(ocr_excise_stamp_enabled, 85, boolean, constant, 0).Cmd(44, flag, 27)
        .Check(id::ocr, 1135, "Распознавать номера алкогольных акцизных марок (доп. опция)"),
    TAVRIK_ROW(ocr_spaced_string_enabled, 86, boolean, constant, 0).Cmd(45, flag, 28)
        .Check(id::ocr, 1136, "Распознавать ограниченную пробелами строку (доп. опция)"),
    TAVRIK_ROW(ocr_article_number_enabled, 87, boolean, constant, 0).Cmd(46, flag, 29)
        .Check(id::ocr, 1137, "Распознавать артикульные номера IKEA (доп. опция)"),
    TAVRIK_ROW(addon2_enabled, 88, boolean, constant, 0).Cmd(47, flag, 44)
        .Check(id::ean_upc, 1016, "Распознавать 2-х разрядный доп. символ"),
    TAVRIK_ROW(addon5_enabled, 89, boolean, constant, 0).Cmd(48, flag, 45)
        .Check(id::ean_upc, 1017, "Распознавать 5-ти разрядный доп. символ"),
    TAVRIK_ROW(addon_timeout, 90, u8, constant, 6).Range(50, 12750, 50, 1, "ms", "50 ms").Cmd(49, number, 46)
        .Clamped(id::ean_upc, 1138, "Таймаут доп. символа (мс):", "макс. 12750 мс"),
    TAVRIK_ROW(addon_required, 91, boolean, constant, 0).Cmd(50, flag, 47)
        .Check(id::ean_upc, 1018, "Доп. символ необходим"),
    TAVRIK_ROW(codabar_enabled, 92, boolean, constant, 0).Cmd(51, flag, 30)
        .Check(id::codabar, 1027, "Распознавать Codabar"),
    TAVRIK_ROW(codabar_abcd_notation, 93, boolean, constant, 1).Cmd(52, flag, 55)
        .Check(id::codabar, 1139, "Нотация ABCD для крайних символов"),
    TAVRIK_ROW(barcode_interface, 94, u8, d1, 0).Range(0, 8).Cmd(100, byte, 61)
        .On(id::interfaces, ControlKind::interface_combo, 1169, "Штрих-коды:", kInterfaceGroup),
    TAVRIK_ROW(currency_interface, 95, u8, constant, 2).Range(0, 8).Cmd(109, byte, 62)
        .On(id::interfaces, ControlKind::interface_combo, 1171, "Детектор валют:", kInterfaceGroup),
    // An index into the speed table; the page lists the speeds themselves.
    TAVRIK_ROW(uart_speed, 96, u8, constant, 2).Range(0, 6).Cmd(96, byte, 57)
        .Combo(id::uart_tab, 1152, "Скорость (бод):"),
    TAVRIK_ROW(uart_data_bits, 97, u8, constant, 0).Range(0, 1).Cmd(97, byte, 58)
        .Combo(id::uart_tab, 1155, "Размер данных (бит):", kDataBits),
    TAVRIK_ROW(uart_parity, 98, u8, constant, 0).Range(0, 2).Cmd(98, byte, 59)
        .Combo(id::uart_tab, 1157, "Четность:", kParity),
    TAVRIK_ROW(uart_stop_bits, 99, u8, constant, 0).Range(0, 1).Cmd(99, byte, 60)
        .Combo(id::uart_tab, 1159, "Стоп-биты:", kStopBits),
    TAVRIK_ROW(hid_poll_interval, 100, u8, constant, 3).Range(1, 16, 1, 1, "ms", "ms").Cmd(101, byte, 63)
        .Combo(id::hid_tab, 1162, "Интервал опроса HID (мс):"),
    // A plain byte command: delays above 255 ms go as 255, the longest it carries.
    TAVRIK_ROW(hid_key_delay, 101, i16, constant, 0).Range(0, 500, 1, 10, "ms", "ms").Cmd(102, byte, 64)
        .Combo(id::hid_tab, 1165, "Задержка нажатий клавиш (мс):"),
    TAVRIK_ROW(hid_ignore_caps_lock, 103, boolean, constant, 0).Cmd(103, flag, 65)
        .Check(id::hid_tab, 1166, "Игнорировать CAPS LOCK"),
    TAVRIK_ROW(hid_ignore_unknown, 104, boolean, constant, 0).Cmd(104, flag, 66)
        .Check(id::hid_tab, 1170, "Игнорировать неизвестные символы"),
    TAVRIK_ROW(hid_alt_sequence, 105, boolean, constant, 0).Cmd(105, flag, 67)
        .Check(id::hid_tab, 1168, "Использовать Alt последовательность"),
    TAVRIK_ROW(hid_alt_leading_zero, 106, boolean, constant, 0).Cmd(106, flag, 68)
        .Check(id::hid_tab, 1169, "Добавлять 0 перед кодом в Alt последовательности"),
    TAVRIK_ROW(hid_fast_keypad, 107, boolean, constant, 0).Cmd(107, flag, 69)
        .Check(id::hid_tab, 1171,
               "Не использовать Alt последовательность для символов, характерных для выбранного типа клавиатуры"),
    TAVRIK_ROW(cdc_static_port, 108, boolean, constant, 1).Cmd(108, flag, 72)
        .Check(id::usb_cdc_tab, 1151, "Статический адрес COM порта"),
    TAVRIK_ROW(currency_prefix_hid, 109, byte_seq, constant, kSeqEmpty).Cmd(114, sequence, 75)
        .On(id::prefixes_suffixes, kSeq, kCurrencyPrefixEdit, kPrefixes, kCurrency),
    TAVRIK_ROW(currency_suffix_hid, 120, byte_seq, constant, kSeqEnter).Cmd(122, sequence, 76)
        .On(id::prefixes_suffixes, kSeq, kCurrencySuffixEdit, kSuffixes, kCurrency),
    TAVRIK_ROW(currency_start_mode, 131, u8, d7, 0).Range(0, 3).Cmd(177, byte, 89)
        .Radio(id::validation, "Запуск режима детектора валюты", kCurrencyStart),
    TAVRIK_ROW(currency_denominations, 132, u8, constant, 0).Range(0, 2).Cmd(192, byte, 90)
        .Radio(id::validation, "Номиналы банкнот", kDenominations),
    TAVRIK_ROW(currency_serials, 133, u8, constant, 0).Range(0, 2).Cmd(193, byte, 91)
        .Radio(id::validation, "Серийные номера банкнот", kSerials),
    TAVRIK_ROW(currency_exit_timeout, 134, u8, constant, 5).Range(0, 255, 1, 1, "s", "s").Cmd(194, byte, 92)
        .Edit(id::validation, 1183, "Время выхода из режима детектора валюты (сек):", "макс. 255 сек"),
    // Carried unchanged; no page edits it.
    TAVRIK_ROW(opaque_135, 135, boolean, constant, 1),
    TAVRIK_ROW(upce_preamble, 136, u8, constant, 1).Range(0, 2).Cmd(54, byte, 35)
        .Radio(id::ean_upc, "Передача преамбулы UPC-E", kUpcePreamble),
    TAVRIK_ROW(upca_preamble, 137, u8, constant, 1).Range(0, 2).Cmd(53, byte, 36)
        .Radio(id::ean_upc, "Передача преамбулы UPC-A", kUpcaPreamble),
    TAVRIK_ROW(opaque_138, 138, u8, constant, 255),
    TAVRIK_ROW(opaque_139, 139, u8, constant, 255),
    TAVRIK_ROW(hid_keyboard_type, 140, u8, constant, 0).Range(0, 0).Cmd(110, byte, 70)
        .Combo(id::hid_tab, 1172, "Тип клавиатуры:", kKeyboardType),
    TAVRIK_ROW(barcode_code_page, 141, u8, constant, 0).Range(0, 2).Cmd(111, byte, 71)
        .Combo(id::hid_tab, 1174, "Кодовая страница ШК:", kCodePage),
    TAVRIK_ROW(codabar_send_start_stop, 142, boolean, constant, 1).Cmd(56, flag, 56)
        .Check(id::codabar, 1208, "Передавать крайние символы"),
    TAVRIK_ROW(opaque_144, 144, u8, constant, 2),
    TAVRIK_ROW(opaque_145, 145, u8, constant, 0),
    TAVRIK_ROW(opaque_146, 146, u8, constant, 255),
    TAVRIK_ROW(eci_transmit, 147, boolean, constant, 1).Cmd(55, flag, 2)
        .Check(id::symbolics, 1135, "Передача номера назначения ECI"),
    TAVRIK_ROW(dmre_enabled, 148, boolean, constant, 0)
        .Check(id::datamatrix, 1211, "Распознавание прямоугольных сильно вытянутых DMRE"),
    TAVRIK_ROW(hid_ctrl_x, 149, boolean, constant, 0)
        .Check(id::hid_tab, 1209,
               "Использовать преобразование управляющих символов таблицы ASCII в последовательность нажатий "
               "Ctrl + X  *"),
    TAVRIK_ROW(databar_low_enabled, 150, boolean, constant, 0)
        .Check(id::databar, 1212, "Распознавание низких GS1 DataBar"),
    TAVRIK_ROW(bt_pin, 151, u16, constant, kBtPinDefault).Range(0, 9999)
        .Clamped(id::bluetooth_tab, 1207, "PIN-код", ""),
    TAVRIK_ROW(bt_fast_keystrokes, 153, u8, constant, 0).Range(0, 250)
        .Combo(id::bluetooth_tab, 1176, "Количество нажатий клавиш без задержки \n(только для Bluetooth HID)"),
    // A second pairing flag of the image: it travels with the page but is never shown.
    TAVRIK_ROW(bt_pin_pairing_hidden, 154, boolean, constant, 0)
        .On(id::bluetooth_tab, ControlKind::hidden_check, 1208, kPinPairing),
    TAVRIK_ROW(bt_store_offline, 155, boolean, constant, 0)
        .Check(id::bluetooth_tab, 1063, "Хранить штрих-коды, отсканированные при отсутствии связи по Bluetooth"),
    TAVRIK_ROW(bt_pin_pairing, 156, boolean, constant, 0).Check(id::bluetooth_tab, 1202, kPinPairing),
    TAVRIK_ROW(bt_link_beep, 157, boolean, constant, 1)
        .Check(id::bluetooth_tab, 1204, "Звуковой сигнал при включении / потере связи по Bluetooth"),
    TAVRIK_ROW(bt_auto_reconnect, 158, boolean, constant, 1)
        .Check(id::bluetooth_tab, 1203, "Автоматическое восстановление Bluetooth-соединения"),
    TAVRIK_ROW(bt_le_ack, 159, boolean, constant, 0)
        .Check(id::bluetooth_tab, 1205,
               "Ожидать подтверждений об успешной доставке данных, отправленных по Bluetooth LE"),
    TAVRIK_ROW(bt_power_off_minutes, 160, u16, constant, 30).Range(1, 60000, 1, 1, "min", "min")
        .Edit(id::power, 1200,
              "Время простоя аккумуляторного сканера с активным BT-сопряжением до выключения питания (мин.)",
              "мин. 1, макс. 60000"),
    // The edit has no label of its own: the page's title names it.
    TAVRIK_ROW(up_button_message, 162, byte_seq, constant, kSeqEmpty).On(id::up_button, kSeq, 1210, ""),
    TAVRIK_ROW(stand_beep, 173, boolean, constant, 1)
        .Check(id::sound, 1194, "Звуковой сигнал при установке / снятии сканера на подставку  *"),
    TAVRIK_ROW(good_read_sound, 174, u8, constant, 0).Range(0, 4)
        .Radio(id::sound, "Звук успешного считывания", kGoodReadSound),
    TAVRIK_ROW(bt_classic_reconnect, 175, boolean, constant, 0)
        .Check(id::bluetooth_tab, 1206,
               "Подключаться к ранее подключённому устройству с выключенным обнаружением в режиме Bluetooth "
               "Classic HID"),
    TAVRIK_ROW(barcode_prefix_ascii, 176, byte_seq, constant, kSeqEmpty)
        .On(id::prefixes_suffixes, kSeq, kBarcodePrefixEdit, kPrefixes, kBarcodes),
    TAVRIK_ROW(barcode_prefix_pos, 187, byte_seq, constant, kSeqEmpty)
        .On(id::prefixes_suffixes, kSeq, kBarcodePrefixEdit, kPrefixes, kBarcodes),
    TAVRIK_ROW(currency_prefix_ascii, 198, byte_seq, constant, kSeqEmpty)
        .On(id::prefixes_suffixes, kSeq, kCurrencyPrefixEdit, kPrefixes, kCurrency),
    TAVRIK_ROW(currency_prefix_pos, 209, byte_seq, constant, kSeqEmpty)
        .On(id::prefixes_suffixes, kSeq, kCurrencyPrefixEdit, kPrefixes, kCurrency),
    TAVRIK_ROW(barcode_suffix_ascii, 220, byte_seq, constant, kSeqCrLf)
        .On(id::prefixes_suffixes, kSeq, kBarcodeSuffixEdit, kSuffixes, kBarcodes),
    TAVRIK_ROW(barcode_suffix_pos, 231, byte_seq, constant, kSeqEmpty)
        .On(id::prefixes_suffixes, kSeq, kBarcodeSuffixEdit, kSuffixes, kBarcodes),
    TAVRIK_ROW(currency_suffix_ascii, 242, byte_seq, constant, kSeqCrLf)
        .On(id::prefixes_suffixes, kSeq, kCurrencySuffixEdit, kSuffixes, kCurrency),
    TAVRIK_ROW(currency_suffix_pos, 253, byte_seq, constant, kSeqEmpty)
        .On(id::prefixes_suffixes, kSeq, kCurrencySuffixEdit, kSuffixes, kCurrency),
    TAVRIK_ROW(screen_reading, 264, boolean, constant, 0)
        .Check(id::symbolics, 1134, "Включить считывание с экрана *"),
    TAVRIK_ROW(inter_barcode_delay, 265, u16, constant, 100).Range(0, 5000, 1, 1, "ms", "ms")
        .Clamped(id::symbolics, 1201, "Задержка между посылками штрих-кодов (мс):", "макс. 5000 мс"),
    TAVRIK_ROW(gs1_ai_brackets, 267, boolean, constant, 1)
        .Check(id::symbolics, 1213, "Включение скобок вокруг GS1 Application Identifiers"),
};

#undef TAVRIK_ROW

// The pages of the tree in tree order, then the tabs of the interface page.
constexpr PageTitle kPageTitles[] = {
    {id::connect, "Подключение", 0},
    {id::settings, "Настройки", 0},
    {id::interfaces, "Интерфейс с ПК", id::settings},
    {id::symbolics, "Декодеры штрих-кодов", id::settings},
    {id::ean_upc, "UPC/EAN", id::symbolics},
    {id::i2of5, "Interleaved 2 of 5", id::symbolics},
    {id::codabar, "Codabar", id::symbolics},
    {id::code39, "Code 39", id::symbolics},
    {id::code93, "Code 93", id::symbolics},
    {id::code128, "Code 128", id::symbolics},
    {id::databar, "GS1 DataBar", id::symbolics},
    {id::pharmacode, "Pharmacode", id::symbolics},
    {id::pdf417, "PDF417", id::symbolics},
    {id::aztec, "Aztec Code", id::symbolics},
    {id::datamatrix, "Data Matrix", id::symbolics},
    {id::qrcode, "QR Code", id::symbolics},
    {id::ocr, "OCR", id::settings},
    {id::validation, "Детектор валюты", id::settings},
    {id::prefixes_suffixes, "Префиксы/Суффиксы", id::settings},
    {id::up_button, "Сообщение от верхней кнопки", id::settings},
    {id::trigger, "Запуск сканирования", id::settings},
    {id::illumination, "Подсветка", id::settings},
    {id::aim_leds, "Прицельные светодиоды", id::settings},
    {id::power, "Управление питанием", id::settings},
    {id::sound, "Управление звуком", id::settings},
    {id::configuration, "Управление настройкой", id::settings},
    {id::hid_tab, "HID (USB и BT)", id::interfaces, true},
    {id::usb_cdc_tab, "USB CDC", id::interfaces, true},
    {id::uart_tab, "UART (RS232)", id::interfaces, true},
    {id::bluetooth_tab, "Bluetooth", id::interfaces, true},
};

constexpr std::size_t Width(FieldType type) {
  switch (type) {
    case FieldType::boolean:
    case FieldType::u8: return 1;
    case FieldType::i16:
    case FieldType::u16: return 2;
    case FieldType::u32: return 4;
    case FieldType::byte_seq: return sizeof(ByteSeq);
  }
  return 0;
}

// Stops at the first difference: the pairwise checks below compare every two
// rows, and clang's constant evaluator counts each step.
constexpr bool Same(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

// The image layout: rows in image order after the 3-byte header, none
// overlapping another or the reserved byte, the last ending at the image's end.
consteval bool LayoutHolds() {
  std::size_t end = 3;
  for (const SettingRow& row : kCatalog) {
    if (row.offset < end) return false;
    if (row.offset <= kReservedOffset && kReservedOffset < row.offset + Width(row.type)) return false;
    end = row.offset + Width(row.type);
  }
  return end == kPlacementSize;
}
static_assert(LayoutHolds(), "rows in image order, without overlaps, ending at the image's end");

// Every field of the record has its row: the members' widths add up to the record's.
consteval bool CoversTheRecord() {
  std::size_t bytes = 0;
  for (const SettingRow& row : kCatalog) bytes += Width(row.type);
  return bytes == kPlacementSize - 3 - 1;
}
static_assert(CoversTheRecord(), "one row per byte of the image but the header and the reserved byte");

consteval bool NamesAndMembersUnique() {
  for (std::size_t i = 0; i < std::size(kCatalog); ++i) {
    for (std::size_t j = i + 1; j < std::size(kCatalog); ++j) {
      if (Same(kCatalog[i].name, kCatalog[j].name) || kCatalog[i].member == kCatalog[j].member) return false;
    }
  }
  return true;
}
static_assert(NamesAndMembersUnique(), "one row per member");

// The ids one row puts on its page.
template <class F>
constexpr void ForEachId(const SettingRow& row, F&& f) {
  if (row.control == ControlKind::radio) {
    for (const Choice& c : row.choices) f(c.id);
  } else if (row.control != ControlKind::none) {
    f(row.control_id);
  }
}

// On one page an id stands for one control; only the prefix edits show several
// rows (the sets of the three classes), and then rows of one edit.
consteval bool ControlIdsUnique() {
  for (std::size_t i = 0; i < std::size(kCatalog); ++i) {
    for (std::size_t j = i + 1; j < std::size(kCatalog); ++j) {
      const SettingRow& a = kCatalog[i];
      const SettingRow& b = kCatalog[j];
      if (a.page != b.page || !a.page) continue;
      bool clash = false;
      ForEachId(a, [&](int x) {
        ForEachId(b, [&](int y) { clash = clash || x == y; });
      });
      const bool shared_edit = a.control == ControlKind::sequence_edit && b.control == a.control &&
                               a.control_id == b.control_id;
      if (clash && !shared_edit) return false;
    }
  }
  return true;
}
static_assert(ControlIdsUnique(), "each control id once per page");

consteval bool RowsKnowTheirPage() {
  for (const SettingRow& row : kCatalog) {
    if (!row.page) continue;
    bool found = false;
    for (const PageTitle& p : kPageTitles) found = found || p.template_id == row.page;
    if (!found || row.control == ControlKind::none) return false;
    if (row.control == ControlKind::radio && row.choices.empty()) return false;
    const bool needs_range = row.control == ControlKind::number_edit || row.control == ControlKind::clamped_edit ||
                             row.control == ControlKind::track_bar ||
                             (row.control == ControlKind::combo && row.choices.empty());
    if (needs_range && !row.range.name) return false;
  }
  return true;
}
static_assert(RowsKnowTheirPage(), "a shown row names a page of the window and has what its control needs");

consteval bool CommandsOrdered() {
  // Ranks 1.. without gaps or repeats; rank 0 is the start of the list.
  std::size_t count = 0;
  for (const SettingRow& row : kCatalog) count += row.command.form != CommandForm::none;
  for (std::size_t rank = 1; rank <= count; ++rank) {
    int seen = 0;
    for (const SettingRow& row : kCatalog) seen += row.command.form != CommandForm::none && row.command.rank == rank;
    if (seen != 1) return false;
  }
  return true;
}
static_assert(CommandsOrdered(), "each command has its own place in the list");

// A caption as one line: line breaks and runs of blanks read as one blank, and
// a label's closing colon goes.
std::string Trimmed(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') c = ' ';
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == ':')) out.pop_back();
  return out;
}

}  // namespace

std::span<const SettingRow> SettingsCatalog() { return kCatalog; }
std::span<const PageTitle> PageTitles() { return kPageTitles; }

std::size_t FieldWidth(FieldType type) { return Width(type); }

std::int64_t FieldNumber(const SettingRow& row, const Settings& settings) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&settings) + row.member;
  switch (row.type) {
    case FieldType::boolean: {
      bool b;
      std::memcpy(&b, p, 1);
      return b ? 1 : 0;
    }
    case FieldType::u8: return *p;
    case FieldType::i16: {
      std::int16_t v;
      std::memcpy(&v, p, 2);
      return v;
    }
    case FieldType::u16: {
      std::uint16_t v;
      std::memcpy(&v, p, 2);
      return v;
    }
    case FieldType::u32: {
      std::uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
    case FieldType::byte_seq: break;
  }
  return 0;
}

void SetFieldNumber(const SettingRow& row, std::int64_t value, Settings& settings) {
  auto* p = reinterpret_cast<std::uint8_t*>(&settings) + row.member;
  switch (row.type) {
    case FieldType::boolean: {
      const bool b = value != 0;
      std::memcpy(p, &b, 1);
      return;
    }
    case FieldType::u8: *p = static_cast<std::uint8_t>(value); return;
    case FieldType::i16: {
      const auto v = static_cast<std::int16_t>(value);
      std::memcpy(p, &v, 2);
      return;
    }
    case FieldType::u16: {
      const auto v = static_cast<std::uint16_t>(value);
      std::memcpy(p, &v, 2);
      return;
    }
    case FieldType::u32: {
      const auto v = static_cast<std::uint32_t>(value);
      std::memcpy(p, &v, 4);
      return;
    }
    case FieldType::byte_seq: return;
  }
}

const SettingRow* FindSetting(std::string_view name) {
  for (const SettingRow& row : kCatalog) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

const SettingRow* FindSettingByMember(std::size_t member_offset) {
  for (const SettingRow& row : kCatalog) {
    if (row.member == member_offset) return &row;
  }
  return nullptr;
}

const SettingRow* FindSettingByControl(int page, int control_id) {
  for (const SettingRow& row : kCatalog) {
    if (row.page != page) continue;
    bool match = false;
    ForEachId(row, [&](int id) { match = match || id == control_id; });
    if (match) return &row;
  }
  return nullptr;
}

const PageTitle* FindPageTitle(int template_id) {
  for (const PageTitle& p : kPageTitles) {
    if (p.template_id == template_id) return &p;
  }
  return nullptr;
}

std::string PagePath(int template_id) {
  const PageTitle* page = FindPageTitle(template_id);
  if (!page) return {};
  if (!page->tab) return page->title;
  return PagePath(page->parent) + " / " + page->title;
}

std::string FieldCaption(const SettingRow& row) {
  if (!row.Shown()) return {};
  std::string caption = Trimmed(row.group);
  const std::string own = Trimmed(row.caption);
  if (!caption.empty() && !own.empty()) caption += ": ";
  caption += own;
  if (row.control == ControlKind::sequence_edit) {
    // The prefix edits show the set of one class at a time.
    const std::string_view name = row.name;
    if (name.ends_with("_hid")) caption += " (HID)";
    else if (name.ends_with("_ascii")) caption += " (ASCII)";
    else if (name.ends_with("_pos")) caption += " (POS)";
  }
  return caption;
}

std::string ChoiceText(const SettingRow& row, std::int64_t value) {
  for (const Choice& c : row.choices) {
    if (c.value == value) return Trimmed(c.caption);
  }
  return {};
}

}  // namespace tavrik
