#include "barcodes/commands_generation.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <variant>

namespace tavrik {
namespace {

enum class Kind : std::uint8_t {
  constant,  // the row's value
  byte,      // the setting's value, brought into 0..255
  flag,      // 1 when the setting is set
  number,    // the setting times `scale`, as digit commands
  sequence,  // length, then position and byte per byte, under code and code + 1
};

using SettingRef = std::variant<std::monostate, bool Settings::*, std::uint8_t Settings::*,
                                std::int16_t Settings::*, std::uint32_t Settings::*>;
using SlotRef = ByteSeq Settings::* SequenceSlots::*;

struct CommandRow {
  std::uint8_t code;
  Kind kind;
  // For a sequence: the interface whose class picks the prefix/suffix set.
  SettingRef setting;
  // For a number: the stored unit in milliseconds (or 1).
  std::uint16_t scale = 1;
  SlotRef slot = nullptr;
  bool lens = false;
};

constexpr CommandRow Start(std::uint8_t code) { return {code, Kind::constant, {}}; }
template <class T>
constexpr CommandRow Byte(std::uint8_t code, T Settings::*member) {
  return {code, Kind::byte, member};
}
constexpr CommandRow Flag(std::uint8_t code, bool Settings::*member) { return {code, Kind::flag, member}; }
template <class T>
constexpr CommandRow Number(std::uint8_t code, T Settings::*member, std::uint16_t scale = 1) {
  return {code, Kind::number, member, scale};
}
constexpr CommandRow Sequence(std::uint8_t code, SlotRef slot, std::uint8_t Settings::*interface_member) {
  return {code, Kind::sequence, interface_member, 1, slot};
}
constexpr CommandRow Lens(CommandRow row) {
  row.lens = true;
  return row;
}

// The order is the one the scanner expects.
constexpr CommandRow kCommandTable[] = {
    Start(0),
    Byte(1, &Settings::symbology_id_mode),
    Flag(55, &Settings::eci_transmit),
    Number(23, &Settings::redecode_timeout, 50),
    Flag(21, &Settings::structured_append),
    Number(25, &Settings::structured_append_timeout, 500),
    Flag(41, &Settings::centre_only),
    Flag(2, &Settings::i2of5_enabled),
    Flag(3, &Settings::code39_enabled),
    Flag(4, &Settings::code128_enabled),
    Flag(5, &Settings::ean13_enabled),
    Flag(6, &Settings::ean8_enabled),
    Flag(7, &Settings::upce_enabled),
    Flag(12, &Settings::upca_enabled),
    Flag(20, &Settings::aztec_enabled),
    Flag(24, &Settings::pdf417_enabled),
    Flag(26, &Settings::pharmacode_enabled),
    Flag(27, &Settings::datamatrix_enabled),
    Flag(28, &Settings::qrcode_enabled),
    Flag(29, &Settings::micro_qr_enabled),
    Flag(30, &Settings::micro_pdf417_enabled),
    Flag(32, &Settings::ocr_mrz_enabled),
    Flag(33, &Settings::ocr_ru_passport_enabled),
    Flag(38, &Settings::code93_enabled),
    Flag(39, &Settings::ocr_financial_enabled),
    Flag(40, &Settings::databar14_enabled),
    Flag(42, &Settings::ocr_ru_passport_number_enabled),
    Flag(44, &Settings::ocr_excise_stamp_enabled),
    Flag(45, &Settings::ocr_spaced_string_enabled),
    Flag(46, &Settings::ocr_article_number_enabled),
    Flag(51, &Settings::codabar_enabled),
    Flag(8, &Settings::i2of5_check_digit),
    Flag(9, &Settings::i2of5_send_check_digit),
    Flag(10, &Settings::code39_check_digit),
    Flag(11, &Settings::code39_send_check_digit),
    Byte(54, &Settings::upce_preamble),
    Byte(53, &Settings::upca_preamble),
    Flag(13, &Settings::upca_send_check_digit),
    Flag(14, &Settings::upce_send_check_digit),
    Flag(15, &Settings::ean13_send_check_digit),
    Flag(16, &Settings::ean8_send_check_digit),
    Flag(17, &Settings::upce_to_upca),
    Flag(18, &Settings::upca_to_ean13),
    Flag(19, &Settings::ean8_to_ean13),
    Flag(47, &Settings::addon2_enabled),
    Flag(48, &Settings::addon5_enabled),
    Number(49, &Settings::addon_timeout, 50),
    Flag(50, &Settings::addon_required),
    Flag(22, &Settings::aztec_runes_enabled),
    Flag(31, &Settings::pdf417_simplified_check),
    Flag(34, &Settings::ocr_ru_passport_cyrillic),
    Flag(43, &Settings::ocr_upside_down),
    Byte(35, &Settings::pharmacode_direction),
    Flag(36, &Settings::pharmacode_wide_quiet_zones),
    Number(37, &Settings::pharmacode_min_value),
    Flag(52, &Settings::codabar_abcd_notation),
    Flag(56, &Settings::codabar_send_start_stop),
    Byte(96, &Settings::uart_speed),
    Byte(97, &Settings::uart_data_bits),
    Byte(98, &Settings::uart_parity),
    Byte(99, &Settings::uart_stop_bits),
    Byte(100, &Settings::barcode_interface),
    Byte(109, &Settings::currency_interface),
    Byte(101, &Settings::hid_poll_interval),
    // A plain byte command: delays above 255 ms go as 255, the longest it carries.
    Byte(102, &Settings::hid_key_delay),
    Flag(103, &Settings::hid_ignore_caps_lock),
    Flag(104, &Settings::hid_ignore_unknown),
    Flag(105, &Settings::hid_alt_sequence),
    Flag(106, &Settings::hid_alt_leading_zero),
    Flag(107, &Settings::hid_fast_keypad),
    Byte(110, &Settings::hid_keyboard_type),
    Byte(111, &Settings::barcode_code_page),
    Flag(108, &Settings::cdc_static_port),
    Sequence(112, &SequenceSlots::barcode_prefix, &Settings::barcode_interface),
    Sequence(120, &SequenceSlots::barcode_suffix, &Settings::barcode_interface),
    Sequence(114, &SequenceSlots::currency_prefix, &Settings::currency_interface),
    Sequence(122, &SequenceSlots::currency_suffix, &Settings::currency_interface),
    Lens(Number(133, &Settings::lens_upper)),
    Lens(Number(134, &Settings::lens_lower)),
    Lens(Number(130, &Settings::lens_frequency)),
    Number(144, &Settings::sleep_timeout),
    Flag(145, &Settings::sleep_dim_illumination),
    Byte(152, &Settings::config_barcodes_mode),
    Number(161, &Settings::volume),
    Byte(168, &Settings::aim_mode),
    Number(169, &Settings::aim_brightness),
    Byte(184, &Settings::illumination_mode),
    Number(185, &Settings::illumination_brightness),
    Byte(176, &Settings::trigger_mode),
    Byte(177, &Settings::currency_start_mode),
    Byte(192, &Settings::currency_denominations),
    Byte(193, &Settings::currency_serials),
    Byte(194, &Settings::currency_exit_timeout),
};

std::int64_t ValueOf(const Settings& settings, const SettingRef& ref) {
  return std::visit(
      [&](auto member) -> std::int64_t {
        if constexpr (std::is_same_v<decltype(member), std::monostate>) {
          return 0;
        } else {
          return static_cast<std::int64_t>(settings.*member);
        }
      },
      ref);
}

constexpr std::uint8_t kMaxSequenceLength = sizeof(ByteSeq::data);

void AddSequence(CommandList& commands, const CommandRow& row, const Settings& settings) {
  const auto interface_code = static_cast<std::uint8_t>(ValueOf(settings, row.setting));
  const ByteSeq& seq = settings.*(SlotsOf(SequenceClassOf(interface_code)).*row.slot);
  // A record read from a file may carry any length byte; only ten bytes exist.
  const std::uint8_t length = std::min(seq.length, kMaxSequenceLength);
  AddNumber(commands, row.code, length);
  for (std::uint8_t i = 0; i < length; ++i) {
    AddIndexedNumber(commands, static_cast<std::uint8_t>(row.code + 1), i + 1, seq.data[i]);
  }
}

}  // namespace

void GenerateCommands(CommandList& commands, bool exclude_lens, const Settings& settings) {
  commands.clear();
  for (const CommandRow& row : kCommandTable) {
    if (row.lens && exclude_lens) continue;
    const std::int64_t value = ValueOf(settings, row.setting);
    switch (row.kind) {
      case Kind::constant: AddCommand(commands, row.code, 0); break;
      case Kind::byte: AddCommand(commands, row.code, static_cast<unsigned>(std::clamp<std::int64_t>(value, 0, 0xFF))); break;
      case Kind::flag: AddFlag(commands, row.code, value != 0); break;
      case Kind::number: AddNumber(commands, row.code, value * row.scale); break;
      case Kind::sequence: AddSequence(commands, row, settings); break;
    }
  }
}

}  // namespace tavrik
