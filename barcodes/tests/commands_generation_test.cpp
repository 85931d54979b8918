#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "barcodes/commands_generation.h"
#include "barcodes/tests/test_images.h"

namespace tavrik {
namespace {

using test::Defaults;

std::vector<std::uint8_t> DigitValues(const CommandList& commands, std::size_t from) {
  std::vector<std::uint8_t> values;
  for (std::size_t i = from; i < commands.size(); ++i) {
    EXPECT_EQ(commands[i].code, kDigitCode) << "command " << i;
    values.push_back(commands[i].value);
  }
  return values;
}

// How the scanner reads a run of digit commands back into a number.
std::int64_t ReadNumber(const CommandList& commands, std::size_t& at) {
  bool negative = false;
  std::int64_t n = 0;
  for (; at < commands.size(); ++at) {
    EXPECT_EQ(commands[at].code, kDigitCode);
    unsigned v = commands[at].value;
    if (v == kDigitMinus) {
      negative = true;
      continue;
    }
    const bool last = v >= kDigitLastMark;
    if (last) v -= kDigitLastMark;
    if (v == kDigitThousand) {
      n *= 1000;
    } else if (v >= kDigitPairBase) {
      n = n * 100 + (v - kDigitPairBase);
    } else {
      n = n * 10 + v;
    }
    if (last) {
      ++at;
      break;
    }
  }
  return negative ? -n : n;
}

TEST(AppendNumber, DigitCommandsOfTheExamples) {
  struct Case {
    std::int64_t n;
    std::vector<std::uint8_t> digits;
  };
  const Case cases[] = {
      /*0*/ {0, {120}},                   // a number always has a closing command
      /*1*/ {5, {125}},                   // a single last digit
      /*2*/ {600, {6, 130}},              // pair 00 closes, the 6 stays single
      /*3*/ {1000, {1, 230}},             // three zeros at once
      /*4*/ {12750, {1, 37, 180}},        // pairs from the least significant on
      /*5*/ {20000, {30, 230}},           // thousands, then a pair
      /*6*/ {-180, {240, 1, 210}},        // the minus sign goes first
      /*7*/ {5000000, {5, 110, 230}},     // thousands twice, the second unmarked
      /*8*/ {1500, {25, 130}},            // not a multiple of 1000: pairs only
      /*9*/ {-2147483648LL, {240, 31, 57, 58, 46, 178}},  // the most negative int32
      /*10*/ {4294967295LL, {52, 104, 106, 82, 225}},     // the largest uint32 setting
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    CommandList commands{{37, 0}};
    AppendNumber(commands, cases[row].n);
    ASSERT_EQ(commands.front(), (ConfigCommand{37, 0}));
    EXPECT_EQ(DigitValues(commands, 1), cases[row].digits);
  }
}

TEST(AppendNumber, ReadsBackAsTheSameNumber) {
  std::vector<std::int64_t> numbers = {0, 1, 9, 10, 99, 100, 101, 999, 1001, 9000, 10000, 10010, 999999, -1, -1000};
  for (std::int64_t n = 3; n < 4000000000LL; n = n * 7 + 13) {
    numbers.push_back(n);
    numbers.push_back(-n);
  }
  for (std::int64_t n : numbers) {
    SCOPED_TRACE(n);
    CommandList commands{{37, 0}};
    AppendNumber(commands, n);
    std::size_t at = 1;
    EXPECT_EQ(ReadNumber(commands, at), n);
    EXPECT_EQ(at, commands.size()) << "digit commands after the closing one";
  }
}

TEST(CommandsText, TwoHexDigitsPerByteNothingBetween) {
  EXPECT_EQ(CommandsText({}), "");
  EXPECT_EQ(CommandsText({{0, 0}, {0x0A, 0xFF}, {0x80, 0x01}}), "00000AFF8001");
}

TEST(GenerateCommands, FirstCommandsOfTheList) {
  Settings s = Defaults();
  s.symbology_id_mode = 0x2A;
  s.eci_transmit = true;
  s.redecode_timeout = 12;
  s.structured_append = false;
  CommandList commands;
  GenerateCommands(commands, false, s);
  EXPECT_EQ(CommandsText(commands).substr(0, 28), "0000" "012A" "3701" "1700" "5006" "5082" "1500");
}

TEST(GenerateCommands, ClearsTheListFirst) {
  CommandList commands{{1, 2}, {3, 4}};
  GenerateCommands(commands, false, Defaults());
  EXPECT_EQ(commands.front(), (ConfigCommand{0, 0}));
  CommandList fresh;
  GenerateCommands(fresh, false, Defaults());
  EXPECT_EQ(commands, fresh);
}

TEST(GenerateCommands, UsesTheCurrentSettingsByDefault) {
  ResetProcessState();
  CurrentSettings().volume ^= 1;
  CommandList current, explicit_settings;
  GenerateCommands(current, false);
  GenerateCommands(explicit_settings, false, CurrentSettings());
  EXPECT_EQ(current, explicit_settings);
  ResetProcessState();
  GenerateCommands(explicit_settings, false);
  EXPECT_NE(current, explicit_settings);
}

// The commands of the first `code` command, up to the next non-digit command.
CommandList CommandGroup(const CommandList& commands, std::uint8_t code, int occurrence = 0) {
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (commands[i].code != code || occurrence-- > 0) continue;
    std::size_t end = i + 1;
    while (end < commands.size() && commands[end].code == kDigitCode) ++end;
    return CommandList(commands.begin() + static_cast<std::ptrdiff_t>(i), commands.begin() + static_cast<std::ptrdiff_t>(end));
  }
  return {};
}

TEST(GenerateCommands, PrefixesAndSuffixesOfTheSelectedClass) {
  const ByteSeq crlf{2, {0x0D, 0x0A}};
  const ByteSeq empty{0, {}};
  struct Case {
    const char* note;
    std::uint8_t barcode_interface;
    std::uint8_t currency_interface;
    ByteSeq Settings::*slot;
    ByteSeq value;
    std::uint8_t code;
    CommandList expected;
  };
  const Case cases[] = {
      /*0*/ {"empty prefix: its length only", uart, uart, &Settings::barcode_prefix_ascii, empty, 112, {{112, 0}, {80, 120}}},
      /*1*/ {"two bytes: position, then byte", uart, uart, &Settings::barcode_prefix_ascii, crlf, 112,
             {{112, 0}, {80, 122}, {113, 0}, {80, 121}, {80, 143}, {113, 0}, {80, 122}, {80, 140}}},
      /*2*/ {"hid interface takes the hid set", usb_hid, uart, &Settings::barcode_suffix_hid, crlf, 120,
             {{120, 0}, {80, 122}, {121, 0}, {80, 121}, {80, 143}, {121, 0}, {80, 122}, {80, 140}}},
      /*3*/ {"pos interface takes the pos set", usb_pos_hid, uart, &Settings::barcode_prefix_pos, {1, {0xFF}}, 112,
             {{112, 0}, {80, 121}, {113, 0}, {80, 121}, {80, 2}, {80, 185}}},
      /*4*/ {"currency set follows currency_interface", uart, bt_hid, &Settings::currency_prefix_hid, {1, {7}}, 114,
             {{114, 0}, {80, 121}, {115, 0}, {80, 121}, {80, 127}}},
      /*5*/ {"currency suffix", usb_cdc, bt_spp, &Settings::currency_suffix_ascii, {1, {0}}, 122,
             {{122, 0}, {80, 121}, {123, 0}, {80, 121}, {80, 120}}},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE("row " + std::to_string(row) + ": " + c.note);
    Settings s = Defaults();
    s.barcode_interface = c.barcode_interface;
    s.currency_interface = c.currency_interface;
    s.*c.slot = c.value;
    CommandList commands;
    GenerateCommands(commands, false, s);
    // The position commands follow their length command directly.
    CommandList group;
    for (std::size_t i = 0; i < commands.size(); ++i) {
      if (commands[i].code != c.code) continue;
      for (std::size_t j = i; j < commands.size() && (j == i || commands[j].code == c.code + 1 || commands[j].code == kDigitCode); ++j) {
        group.push_back(commands[j]);
      }
      break;
    }
    EXPECT_EQ(group, c.expected);
  }
}

TEST(GenerateCommands, SequenceLengthBeyondTenIsCut) {
  Settings s = Defaults();
  s.barcode_interface = uart;
  s.barcode_prefix_ascii = {200, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}};
  CommandList commands;
  GenerateCommands(commands, false, s);
  EXPECT_EQ(CommandGroup(commands, 112), (CommandList{{112, 0}, {80, 140}}));
  EXPECT_FALSE(CommandGroup(commands, 113, 9).empty());
  EXPECT_TRUE(CommandGroup(commands, 113, 10).empty());
}

TEST(GenerateCommands, LensCommandsAndExcludeLens) {
  Settings s = Defaults();
  s.lens_upper = 180;
  s.lens_lower = -180;
  s.lens_frequency = 4;
  CommandList with_lens, without_lens;
  GenerateCommands(with_lens, false, s);
  GenerateCommands(without_lens, true, s);
  EXPECT_EQ(CommandGroup(with_lens, 133), (CommandList{{133, 0}, {80, 1}, {80, 210}}));
  EXPECT_EQ(CommandGroup(with_lens, 134), (CommandList{{134, 0}, {80, 240}, {80, 1}, {80, 210}}));
  EXPECT_EQ(CommandGroup(with_lens, 130), (CommandList{{130, 0}, {80, 124}}));

  // Exactly the three lens commands and their digits go.
  CommandList expected;
  for (std::size_t i = 0; i < with_lens.size(); ++i) {
    const std::uint8_t code = with_lens[i].code;
    if (code == 133 || code == 134 || code == 130) {
      while (i + 1 < with_lens.size() && with_lens[i + 1].code == kDigitCode) ++i;
      continue;
    }
    expected.push_back(with_lens[i]);
  }
  EXPECT_EQ(without_lens, expected);
  EXPECT_EQ(with_lens.size() - without_lens.size(), 3u + 4u + 2u);
}

TEST(GenerateCommands, NumbersCarryMilliseconds) {
  struct Case {
    std::uint8_t Settings::*member;
    std::uint8_t stored;
    std::uint8_t code;
    std::int64_t carried;
  };
  const Case cases[] = {
      /*0*/ {&Settings::redecode_timeout, 12, 23, 600},              // 50 ms units
      /*1*/ {&Settings::structured_append_timeout, 20, 25, 10000},   // 500 ms units
      /*2*/ {&Settings::addon_timeout, 255, 49, 12750},              // 50 ms units, the largest byte
      /*3*/ {&Settings::sleep_timeout, 90, 144, 90},                 // seconds, as stored
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    Settings s = Defaults();
    s.*cases[row].member = cases[row].stored;
    CommandList commands;
    GenerateCommands(commands, false, s);
    const CommandList group = CommandGroup(commands, cases[row].code);
    ASSERT_FALSE(group.empty());
    std::size_t at = 1;
    EXPECT_EQ(ReadNumber(group, at), cases[row].carried);
  }
  Settings s = Defaults();
  s.pharmacode_min_value = 131070;
  CommandList commands;
  GenerateCommands(commands, false, s);
  std::size_t at = 1;
  EXPECT_EQ(ReadNumber(CommandGroup(commands, 37), at), 131070);
}

TEST(GenerateCommands, KeyDelayBeyondOneByteGoesAsTheLongestItCarries) {
  struct Case {
    std::int16_t delay;
    std::uint8_t value;
  };
  const Case cases[] = {
      /*0*/ {0, 0},
      /*1*/ {250, 250},   // still fits the byte
      /*2*/ {260, 255},   // low 8 bits would be 4
      /*3*/ {500, 255},   // the page's largest, low 8 bits 244
      /*4*/ {-10, 0},     // only from a damaged file
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    Settings s = Defaults();
    s.hid_key_delay = cases[row].delay;
    CommandList commands;
    GenerateCommands(commands, false, s);
    EXPECT_EQ(CommandGroup(commands, 102), (CommandList{{102, cases[row].value}}));
  }
}

TEST(GenerateCommands, SettingsTheOldFormDoesNotCarry) {
  Settings s = Defaults();
  s.barcode_interface = uart;
  s.currency_interface = uart;
  CommandList reference;
  GenerateCommands(reference, false, s);
  s.screen_reading = !s.screen_reading;
  s.databar_low_enabled = !s.databar_low_enabled;
  s.gs1_ai_brackets = !s.gs1_ai_brackets;
  s.dmre_enabled = !s.dmre_enabled;
  s.hid_ctrl_x = !s.hid_ctrl_x;
  s.bt_pin = 1234;
  s.bt_fast_keystrokes ^= 1;
  s.bt_pin_pairing = !s.bt_pin_pairing;
  s.bt_auto_reconnect = !s.bt_auto_reconnect;
  s.bt_power_off_minutes = 77;
  s.inter_barcode_delay = 900;
  s.up_button_message = {3, {'a', 'b', 'c'}};
  s.stand_beep = !s.stand_beep;
  s.good_read_sound ^= 3;
  // The sets of the classes that the interfaces do not select.
  s.barcode_prefix_hid = {1, {9}};
  s.barcode_suffix_pos = {1, {9}};
  s.currency_prefix_pos = {1, {9}};
  s.currency_suffix_hid = {1, {9}};
  CommandList changed;
  GenerateCommands(changed, false, s);
  EXPECT_EQ(changed, reference);
}

TEST(GenerateCommands, EveryCarriedSettingReachesTheList) {
  // A change to any one of these must change the text; a table row that
  // points at the wrong member or is missing shows here.
  const std::vector<std::pair<const char*, void (*)(Settings&)>> changes = {
      {"symbology_id_mode", [](Settings& s) { s.symbology_id_mode ^= 1; }},
      {"centre_only", [](Settings& s) { s.centre_only = !s.centre_only; }},
      {"codabar_enabled", [](Settings& s) { s.codabar_enabled = !s.codabar_enabled; }},
      {"codabar_send_start_stop", [](Settings& s) { s.codabar_send_start_stop = !s.codabar_send_start_stop; }},
      {"upca_preamble", [](Settings& s) { s.upca_preamble ^= 1; }},
      {"uart_stop_bits", [](Settings& s) { s.uart_stop_bits ^= 1; }},
      {"hid_poll_interval", [](Settings& s) { s.hid_poll_interval ^= 1; }},
      {"cdc_static_port", [](Settings& s) { s.cdc_static_port = !s.cdc_static_port; }},
      {"sleep_dim_illumination", [](Settings& s) { s.sleep_dim_illumination = !s.sleep_dim_illumination; }},
      {"config_barcodes_mode", [](Settings& s) { s.config_barcodes_mode ^= 1; }},
      {"aim_brightness", [](Settings& s) { s.aim_brightness ^= 1; }},
      {"illumination_brightness", [](Settings& s) { s.illumination_brightness ^= 1; }},
      {"currency_start_mode", [](Settings& s) { s.currency_start_mode ^= 1; }},
      {"currency_exit_timeout", [](Settings& s) { s.currency_exit_timeout ^= 1; }},
  };
  const std::string reference = [] {
    CommandList c;
    GenerateCommands(c, false, Defaults());
    return CommandsText(c);
  }();
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    Settings s = Defaults();
    change(s);
    CommandList c;
    GenerateCommands(c, false, s);
    EXPECT_NE(CommandsText(c), reference);
  }
}

// The whole list of the defaults of model 0, command by command in the
// scanner's order: barcode and currency data both go over USB HID, so the
// hid set is sent (empty prefixes, the suffix 0x28 Enter).
TEST(GenerateCommands, WholeListOfTheDefaults) {
  ResetProcessState();
  CommandList commands;
  GenerateCommands(commands, false, Defaults());
  EXPECT_EQ(CommandsText(commands),
      "00000100370117005006508215011900502850E629000201030104010501060107010C01140018011A001B011C011D00"
      "1E00200021002601270028012A002C002D002E003300080109000A000B00360135010D010E010F011001110012001300"
      "2F003000310050035082320016001F0122002B0023012401250050A134013801600261006200630064026D0265036600"
      "6700680069006A006B006E006F006C0170005078780050797900507950AA720050787A0050797B00507950AA"
      "8500500150D2860050F0500150D28200507C9000507A91019801A1005080A802A9005080B800B9005080B004B102C000"
      "C100C205");
}

// Splits a list into its commands, each with the digit commands behind it.
std::vector<CommandList> Groups(const CommandList& commands) {
  std::vector<CommandList> groups;
  for (const ConfigCommand& c : commands) {
    if (c.code != kDigitCode || groups.empty()) groups.emplace_back();
    groups.back().push_back(c);
  }
  return groups;
}

void Change(bool& v) { v = !v; }
template <class T>
void Change(T& v) { v = static_cast<T>(v ^ 1); }

TEST(GenerateCommands, EachSettingGoesUnderItsOwnCode) {
  // Changing one setting changes the command of its code and no other: a
  // row with a wrong code or member, or two rows swapped, shows here.
  struct Case {
    std::uint8_t code;
    const char* name;
    void (*change)(Settings&);
  };
#define TAVRIK_CARRIED(code, member) {code, #member, [](Settings& s) { Change(s.member); }}
  const Case cases[] = {
      TAVRIK_CARRIED(1, symbology_id_mode),
      TAVRIK_CARRIED(55, eci_transmit),
      TAVRIK_CARRIED(23, redecode_timeout),
      TAVRIK_CARRIED(21, structured_append),
      TAVRIK_CARRIED(25, structured_append_timeout),
      TAVRIK_CARRIED(41, centre_only),
      TAVRIK_CARRIED(2, i2of5_enabled),
      TAVRIK_CARRIED(3, code39_enabled),
      TAVRIK_CARRIED(4, code128_enabled),
      TAVRIK_CARRIED(5, ean13_enabled),
      TAVRIK_CARRIED(6, ean8_enabled),
      TAVRIK_CARRIED(7, upce_enabled),
      TAVRIK_CARRIED(12, upca_enabled),
      TAVRIK_CARRIED(20, aztec_enabled),
      TAVRIK_CARRIED(24, pdf417_enabled),
      TAVRIK_CARRIED(26, pharmacode_enabled),
      TAVRIK_CARRIED(27, datamatrix_enabled),
      TAVRIK_CARRIED(28, qrcode_enabled),
      TAVRIK_CARRIED(29, micro_qr_enabled),
      TAVRIK_CARRIED(30, micro_pdf417_enabled),
      TAVRIK_CARRIED(32, ocr_mrz_enabled),
      TAVRIK_CARRIED(33, ocr_ru_passport_enabled),
      TAVRIK_CARRIED(38, code93_enabled),
      TAVRIK_CARRIED(39, ocr_financial_enabled),
      TAVRIK_CARRIED(40, databar14_enabled),
      TAVRIK_CARRIED(42, ocr_ru_passport_number_enabled),
      TAVRIK_CARRIED(44, ocr_excise_stamp_enabled),
      TAVRIK_CARRIED(45, ocr_spaced_string_enabled),
      TAVRIK_CARRIED(46, ocr_article_number_enabled),
      TAVRIK_CARRIED(51, codabar_enabled),
      TAVRIK_CARRIED(8, i2of5_check_digit),
      TAVRIK_CARRIED(9, i2of5_send_check_digit),
      TAVRIK_CARRIED(10, code39_check_digit),
      TAVRIK_CARRIED(11, code39_send_check_digit),
      TAVRIK_CARRIED(54, upce_preamble),
      TAVRIK_CARRIED(53, upca_preamble),
      TAVRIK_CARRIED(13, upca_send_check_digit),
      TAVRIK_CARRIED(14, upce_send_check_digit),
      TAVRIK_CARRIED(15, ean13_send_check_digit),
      TAVRIK_CARRIED(16, ean8_send_check_digit),
      TAVRIK_CARRIED(17, upce_to_upca),
      TAVRIK_CARRIED(18, upca_to_ean13),
      TAVRIK_CARRIED(19, ean8_to_ean13),
      TAVRIK_CARRIED(47, addon2_enabled),
      TAVRIK_CARRIED(48, addon5_enabled),
      TAVRIK_CARRIED(49, addon_timeout),
      TAVRIK_CARRIED(50, addon_required),
      TAVRIK_CARRIED(22, aztec_runes_enabled),
      TAVRIK_CARRIED(31, pdf417_simplified_check),
      TAVRIK_CARRIED(34, ocr_ru_passport_cyrillic),
      TAVRIK_CARRIED(43, ocr_upside_down),
      TAVRIK_CARRIED(35, pharmacode_direction),
      TAVRIK_CARRIED(36, pharmacode_wide_quiet_zones),
      TAVRIK_CARRIED(37, pharmacode_min_value),
      TAVRIK_CARRIED(52, codabar_abcd_notation),
      TAVRIK_CARRIED(56, codabar_send_start_stop),
      TAVRIK_CARRIED(96, uart_speed),
      TAVRIK_CARRIED(97, uart_data_bits),
      TAVRIK_CARRIED(98, uart_parity),
      TAVRIK_CARRIED(99, uart_stop_bits),
      TAVRIK_CARRIED(100, barcode_interface),
      TAVRIK_CARRIED(109, currency_interface),
      TAVRIK_CARRIED(101, hid_poll_interval),
      TAVRIK_CARRIED(102, hid_key_delay),
      TAVRIK_CARRIED(103, hid_ignore_caps_lock),
      TAVRIK_CARRIED(104, hid_ignore_unknown),
      TAVRIK_CARRIED(105, hid_alt_sequence),
      TAVRIK_CARRIED(106, hid_alt_leading_zero),
      TAVRIK_CARRIED(107, hid_fast_keypad),
      TAVRIK_CARRIED(110, hid_keyboard_type),
      TAVRIK_CARRIED(111, barcode_code_page),
      TAVRIK_CARRIED(108, cdc_static_port),
      TAVRIK_CARRIED(133, lens_upper),
      TAVRIK_CARRIED(134, lens_lower),
      TAVRIK_CARRIED(130, lens_frequency),
      TAVRIK_CARRIED(144, sleep_timeout),
      TAVRIK_CARRIED(145, sleep_dim_illumination),
      TAVRIK_CARRIED(152, config_barcodes_mode),
      TAVRIK_CARRIED(161, volume),
      TAVRIK_CARRIED(168, aim_mode),
      TAVRIK_CARRIED(169, aim_brightness),
      TAVRIK_CARRIED(184, illumination_mode),
      TAVRIK_CARRIED(185, illumination_brightness),
      TAVRIK_CARRIED(176, trigger_mode),
      TAVRIK_CARRIED(177, currency_start_mode),
      TAVRIK_CARRIED(192, currency_denominations),
      TAVRIK_CARRIED(193, currency_serials),
      TAVRIK_CARRIED(194, currency_exit_timeout),
  };
#undef TAVRIK_CARRIED
  Settings base = Defaults();
  // Both interfaces change within the hid class (2 to 3), so that the
  // prefix/suffix set stays the same.
  base.barcode_interface = usb_hid;
  base.currency_interface = usb_hid;
  CommandList reference_list;
  GenerateCommands(reference_list, false, base);
  const std::vector<CommandList> reference = Groups(reference_list);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Settings s = base;
    c.change(s);
    CommandList commands;
    GenerateCommands(commands, false, s);
    const std::vector<CommandList> changed = Groups(commands);
    ASSERT_EQ(changed.size(), reference.size());
    std::vector<std::uint8_t> differing;
    for (std::size_t i = 0; i < changed.size(); ++i) {
      EXPECT_EQ(changed[i].front().code, reference[i].front().code) << "command " << i;
      if (changed[i] != reference[i]) differing.push_back(changed[i].front().code);
    }
    EXPECT_EQ(differing, std::vector<std::uint8_t>{c.code});
  }
}

}  // namespace
}  // namespace tavrik
