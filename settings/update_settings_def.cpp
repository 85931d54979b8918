#include "settings/Models.h"
#include "settings/update_settings_def.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstring>

namespace tavrik {
namespace {

#define TAVRIK_FIELD(member, image_offset, type, rule, value) \
  FieldSpec { #member, image_offset, FieldType::type, offsetof(Settings, member), rule, value }

constexpr FieldSpec kImageFields[] = {
    TAVRIK_FIELD(symbology_id_mode, 3, u8, Rule::constant, 0),
    TAVRIK_FIELD(i2of5_enabled, 4, boolean, Rule::constant, 1),
    TAVRIK_FIELD(code39_enabled, 5, boolean, Rule::constant, 1),
    TAVRIK_FIELD(code128_enabled, 6, boolean, Rule::constant, 1),
    TAVRIK_FIELD(ean13_enabled, 7, boolean, Rule::constant, 1),
    TAVRIK_FIELD(ean8_enabled, 8, boolean, Rule::constant, 1),
    TAVRIK_FIELD(upce_enabled, 9, boolean, Rule::constant, 1),
    TAVRIK_FIELD(i2of5_check_digit, 10, boolean, Rule::constant, 1),
    TAVRIK_FIELD(i2of5_send_check_digit, 11, boolean, Rule::constant, 0),
    TAVRIK_FIELD(code39_check_digit, 12, boolean, Rule::constant, 0),
    TAVRIK_FIELD(code39_send_check_digit, 13, boolean, Rule::constant, 0),
    TAVRIK_FIELD(lens_upper, 14, i16, Rule::constant, 180),
    TAVRIK_FIELD(lens_lower, 16, i16, Rule::constant, -180),
    TAVRIK_FIELD(lens_frequency, 18, u8, Rule::constant, 4),
    TAVRIK_FIELD(sleep_timeout, 19, u8, Rule::constant, 2),
    TAVRIK_FIELD(sleep_dim_illumination, 20, boolean, Rule::constant, 1),
    TAVRIK_FIELD(barcode_prefix_hid, 21, byte_seq, Rule::constant, kSeqEmpty),
    TAVRIK_FIELD(barcode_suffix_hid, 32, byte_seq, Rule::d4, 0),
    TAVRIK_FIELD(upca_enabled, 43, boolean, Rule::constant, 1),
    TAVRIK_FIELD(upca_send_check_digit, 44, boolean, Rule::constant, 1),
    TAVRIK_FIELD(upce_send_check_digit, 45, boolean, Rule::constant, 1),
    TAVRIK_FIELD(ean13_send_check_digit, 46, boolean, Rule::constant, 1),
    TAVRIK_FIELD(ean8_send_check_digit, 47, boolean, Rule::constant, 1),
    TAVRIK_FIELD(upce_to_upca, 48, boolean, Rule::constant, 0),
    TAVRIK_FIELD(upca_to_ean13, 49, boolean, Rule::constant, 0),
    TAVRIK_FIELD(ean8_to_ean13, 50, boolean, Rule::constant, 0),
    TAVRIK_FIELD(volume, 51, u8, Rule::constant, 8),
    TAVRIK_FIELD(aztec_enabled, 52, boolean, Rule::constant, 0),
    TAVRIK_FIELD(structured_append, 53, boolean, Rule::constant, 1),
    TAVRIK_FIELD(aztec_runes_enabled, 54, boolean, Rule::constant, 0),
    TAVRIK_FIELD(redecode_timeout, 55, u8, Rule::constant, 12),
    TAVRIK_FIELD(pdf417_enabled, 56, boolean, Rule::constant, 1),
    TAVRIK_FIELD(trigger_mode, 57, u8, Rule::d6, 0),
    TAVRIK_FIELD(structured_append_timeout, 58, u8, Rule::constant, 60),
    TAVRIK_FIELD(illumination_mode, 59, u8, Rule::d8, 0),
    TAVRIK_FIELD(pharmacode_enabled, 60, boolean, Rule::constant, 0),
    TAVRIK_FIELD(datamatrix_enabled, 61, boolean, Rule::d2, 0),
    TAVRIK_FIELD(illumination_brightness, 62, u8, Rule::constant, 8),
    TAVRIK_FIELD(config_barcodes_mode, 63, u8, Rule::d5, 0),
    TAVRIK_FIELD(aim_mode, 64, u8, Rule::constant, 2),
    TAVRIK_FIELD(aim_brightness, 65, u8, Rule::constant, 8),
    TAVRIK_FIELD(qrcode_enabled, 66, boolean, Rule::d2, 0),
    TAVRIK_FIELD(micro_qr_enabled, 67, boolean, Rule::constant, 0),
    TAVRIK_FIELD(micro_pdf417_enabled, 68, boolean, Rule::constant, 0),
    TAVRIK_FIELD(pdf417_simplified_check, 69, boolean, Rule::constant, 1),
    TAVRIK_FIELD(ocr_mrz_enabled, 70, boolean, Rule::constant, 0),
    TAVRIK_FIELD(ocr_ru_passport_enabled, 71, boolean, Rule::constant, 0),
    TAVRIK_FIELD(ocr_ru_passport_cyrillic, 72, boolean, Rule::constant, 0),
    TAVRIK_FIELD(pharmacode_direction, 73, u8, Rule::constant, 1),
    TAVRIK_FIELD(pharmacode_wide_quiet_zones, 74, boolean, Rule::constant, 1),
    TAVRIK_FIELD(pharmacode_min_value, 75, u32, Rule::constant, 31),
    TAVRIK_FIELD(code93_enabled, 79, boolean, Rule::constant, 1),
    TAVRIK_FIELD(ocr_financial_enabled, 80, boolean, Rule::constant, 0),
    TAVRIK_FIELD(databar14_enabled, 81, boolean, Rule::d3, 0),
    TAVRIK_FIELD(centre_only, 82, boolean, Rule::constant, 0),
    TAVRIK_FIELD(ocr_ru_passport_number_enabled, 83, boolean, Rule::constant, 0),
    TAVRIK_FIELD(ocr_upside_down, 84, boolean, Rule::constant, 0),
    TAVRIK_FIELD(ocr_excise_stamp_enabled, 85, boolean, Rule::constant, 0),
    TAVRIK_FIELD(ocr_spaced_string_enabled, 86, boolean, Rule::constant, 0),
    TAVRIK_FIELD(ocr_article_number_enabled, 87, boolean, Rule::constant, 0),
    TAVRIK_FIELD(addon2_enabled, 88, boolean, Rule::constant, 0),
    TAVRIK_FIELD(addon5_enabled, 89, boolean, Rule::constant, 0),
    TAVRIK_FIELD(addon_timeout, 90, u8, Rule::constant, 6),
    TAVRIK_FIELD(addon_required, 91, boolean, Rule::constant, 0),
    TAVRIK_FIELD(codabar_enabled, 92, boolean, Rule::constant, 0),
    TAVRIK_FIELD(codabar_abcd_notation, 93, boolean, Rule::constant, 1),
    TAVRIK_FIELD(barcode_interface, 94, u8, Rule::d1, 0),
    TAVRIK_FIELD(currency_interface, 95, u8, Rule::constant, 2),
    TAVRIK_FIELD(uart_speed, 96, u8, Rule::constant, 2),
    TAVRIK_FIELD(uart_data_bits, 97, u8, Rule::constant, 0),
    TAVRIK_FIELD(uart_parity, 98, u8, Rule::constant, 0),
    TAVRIK_FIELD(uart_stop_bits, 99, u8, Rule::constant, 0),
    TAVRIK_FIELD(hid_poll_interval, 100, u8, Rule::constant, 3),
    TAVRIK_FIELD(hid_key_delay, 101, i16, Rule::constant, 0),
    TAVRIK_FIELD(hid_ignore_caps_lock, 103, boolean, Rule::constant, 0),
    TAVRIK_FIELD(hid_ignore_unknown, 104, boolean, Rule::constant, 0),
    TAVRIK_FIELD(hid_alt_sequence, 105, boolean, Rule::constant, 0),
    TAVRIK_FIELD(hid_alt_leading_zero, 106, boolean, Rule::constant, 0),
    TAVRIK_FIELD(hid_fast_keypad, 107, boolean, Rule::constant, 0),
    TAVRIK_FIELD(cdc_static_port, 108, boolean, Rule::constant, 1),
    TAVRIK_FIELD(currency_prefix_hid, 109, byte_seq, Rule::constant, kSeqEmpty),
    TAVRIK_FIELD(currency_suffix_hid, 120, byte_seq, Rule::constant, kSeqEnter),
    TAVRIK_FIELD(currency_start_mode, 131, u8, Rule::d7, 0),
    TAVRIK_FIELD(currency_denominations, 132, u8, Rule::constant, 0),
    TAVRIK_FIELD(currency_serials, 133, u8, Rule::constant, 0),
    TAVRIK_FIELD(currency_exit_timeout, 134, u8, Rule::constant, 5),
    TAVRIK_FIELD(opaque_135, 135, boolean, Rule::constant, 1),
    TAVRIK_FIELD(upce_preamble, 136, u8, Rule::constant, 1),
    TAVRIK_FIELD(upca_preamble, 137, u8, Rule::constant, 1),
    TAVRIK_FIELD(opaque_138, 138, u8, Rule::constant, 255),
    TAVRIK_FIELD(opaque_139, 139, u8, Rule::constant, 255),
    TAVRIK_FIELD(hid_keyboard_type, 140, u8, Rule::constant, 0),
    TAVRIK_FIELD(barcode_code_page, 141, u8, Rule::constant, 0),
    TAVRIK_FIELD(codabar_send_start_stop, 142, boolean, Rule::constant, 1),
    TAVRIK_FIELD(opaque_144, 144, u8, Rule::constant, 2),
    TAVRIK_FIELD(opaque_145, 145, u8, Rule::constant, 0),
    TAVRIK_FIELD(opaque_146, 146, u8, Rule::constant, 255),
    TAVRIK_FIELD(eci_transmit, 147, boolean, Rule::constant, 1),
    TAVRIK_FIELD(dmre_enabled, 148, boolean, Rule::constant, 0),
    TAVRIK_FIELD(hid_ctrl_x, 149, boolean, Rule::constant, 0),
    TAVRIK_FIELD(databar_low_enabled, 150, boolean, Rule::constant, 0),
    TAVRIK_FIELD(bt_pin, 151, u16, Rule::constant, kBtPinDefault),
    TAVRIK_FIELD(bt_fast_keystrokes, 153, u8, Rule::constant, 0),
    TAVRIK_FIELD(bt_pin_pairing_hidden, 154, boolean, Rule::constant, 0),
    TAVRIK_FIELD(bt_store_offline, 155, boolean, Rule::constant, 0),
    TAVRIK_FIELD(bt_pin_pairing, 156, boolean, Rule::constant, 0),
    TAVRIK_FIELD(bt_link_beep, 157, boolean, Rule::constant, 1),
    TAVRIK_FIELD(bt_auto_reconnect, 158, boolean, Rule::constant, 1),
    TAVRIK_FIELD(bt_le_ack, 159, boolean, Rule::constant, 0),
    TAVRIK_FIELD(bt_power_off_minutes, 160, u16, Rule::constant, 30),
    TAVRIK_FIELD(up_button_message, 162, byte_seq, Rule::constant, kSeqEmpty),
    TAVRIK_FIELD(stand_beep, 173, boolean, Rule::constant, 1),
    TAVRIK_FIELD(good_read_sound, 174, u8, Rule::constant, 0),
    TAVRIK_FIELD(bt_classic_reconnect, 175, boolean, Rule::constant, 0),
    TAVRIK_FIELD(barcode_prefix_ascii, 176, byte_seq, Rule::constant, kSeqEmpty),
    TAVRIK_FIELD(barcode_prefix_pos, 187, byte_seq, Rule::constant, kSeqEmpty),
    TAVRIK_FIELD(currency_prefix_ascii, 198, byte_seq, Rule::constant, kSeqEmpty),
    TAVRIK_FIELD(currency_prefix_pos, 209, byte_seq, Rule::constant, kSeqEmpty),
    TAVRIK_FIELD(barcode_suffix_ascii, 220, byte_seq, Rule::constant, kSeqCrLf),
    TAVRIK_FIELD(barcode_suffix_pos, 231, byte_seq, Rule::constant, kSeqEmpty),
    TAVRIK_FIELD(currency_suffix_ascii, 242, byte_seq, Rule::constant, kSeqCrLf),
    TAVRIK_FIELD(currency_suffix_pos, 253, byte_seq, Rule::constant, kSeqEmpty),
    TAVRIK_FIELD(screen_reading, 264, boolean, Rule::constant, 0),
    TAVRIK_FIELD(inter_barcode_delay, 265, u16, Rule::constant, 100),
    TAVRIK_FIELD(gs1_ai_brackets, 267, boolean, Rule::constant, 1),
};

#undef TAVRIK_FIELD

std::int32_t RuleValue(Rule rule, std::int32_t value, std::uint8_t code) {
  const ModelSpec& m = ModelDefaults(code);
  switch (rule) {
    case Rule::constant: return value;
    case Rule::d1: return m.barcode_interface;
    case Rule::d2: return m.decodes_2d ? 1 : 0;
    case Rule::d3: return m.databar14 ? 1 : 0;
    // A model that talks UART by default ends the suffix of the shorter image's single slot with CR LF.
    case Rule::d4: return m.barcode_interface == uart ? kSeqCrLf : kSeqEnter;
    case Rule::d5: return m.decodes_2d ? 1 : 2;
    case Rule::d6: return m.trigger_mode;
    case Rule::d7: return m.currency_start_mode;
    case Rule::d8: return m.illumination_mode;
  }
  return value;
}

std::uint8_t SequenceLength(std::uint8_t length) {
  return std::min<std::uint8_t>(length, sizeof(ByteSeq::data));
}

// The record's member as image bytes (little-endian); bools become 0 or 1.
void RecordToBytes(const FieldSpec& f, const Settings& s, std::uint8_t* out) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&s) + f.member;
  switch (f.type) {
    case FieldType::boolean: {
      bool b;
      std::memcpy(&b, p, 1);
      out[0] = b ? 1 : 0;
      return;
    }
    case FieldType::byte_seq:
      std::memcpy(out, p, sizeof(ByteSeq));
      out[0] = SequenceLength(out[0]);
      return;
    default: break;
  }
  std::uint32_t v = 0;
  std::memcpy(&v, p, FieldWidth(f.type));  // the host is little-endian too
  for (std::size_t i = 0; i < FieldWidth(f.type); ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Image bytes into the record's member. Any non-zero byte is a true bool, and
// a sequence length above the ten data bytes is read as ten, so a damaged
// image never puts an invalid bool or sequence into the record (nor, through
// it, into a file or a scanner).
void BytesToRecord(const FieldSpec& f, const std::uint8_t* in, Settings& s) {
  auto* p = reinterpret_cast<std::uint8_t*>(&s) + f.member;
  switch (f.type) {
    case FieldType::boolean: {
      bool b = in[0] != 0;
      std::memcpy(p, &b, 1);
      return;
    }
    case FieldType::byte_seq: {
      ByteSeq seq;
      std::memcpy(&seq, in, sizeof seq);
      seq.length = SequenceLength(seq.length);
      std::memcpy(p, &seq, sizeof seq);
      return;
    }
    default: break;
  }
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < FieldWidth(f.type); ++i) v |= static_cast<std::uint32_t>(in[i]) << (8 * i);
  std::memcpy(p, &v, FieldWidth(f.type));
}

}  // namespace

std::span<const FieldSpec> ImageFields() { return kImageFields; }

std::uint32_t ImageValue(const std::uint8_t* placement, std::size_t member_offset) {
  for (const FieldSpec& f : kImageFields) {
    if (f.member != member_offset) continue;
    const std::size_t width = f.type == FieldType::byte_seq ? 1 : FieldWidth(f.type);
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= static_cast<std::uint32_t>(placement[f.offset + i]) << (8 * i);
    return v;
  }
  assert(!"a field of the record");
  return 0;
}

std::size_t FieldWidth(FieldType type) {
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

void DefaultBytes(const FieldSpec& f, std::uint8_t model, std::uint8_t* out) {
  const std::int32_t v = RuleValue(f.rule, f.value, model);
  if (f.type == FieldType::byte_seq) {
    std::memset(out, 0, sizeof(ByteSeq));
    if (v == kSeqCrLf) {
      out[0] = 2;
      out[1] = 0x0D;
      out[2] = 0x0A;
    } else if (v == kSeqEnter) {
      out[0] = 1;
      out[1] = 0x28;
    }
    return;
  }
  const auto u = static_cast<std::uint32_t>(v);
  for (std::size_t i = 0; i < FieldWidth(f.type); ++i) out[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

namespace {

// The image's declared size as the conversions use it: 0 for a version above
// 1, whose layout is unknown.
std::ptrdiff_t DeclaredSize(const std::uint8_t* placement) {
  return PlacementVersion(placement) <= 1 ? PlacementSize(placement) : 0;
}

void RecordToImage(const Settings* settings, std::uint8_t* placement) {
  std::ptrdiff_t size = DeclaredSize(placement);
  if (PlacementVersion(placement) != kPlacementVersion) placement[0] = kPlacementVersion;
  if (size < static_cast<std::ptrdiff_t>(kPlacementSize)) {
    size = kPlacementSize;
    SetPlacementSize(placement, static_cast<std::int16_t>(size));
  }
  const std::uint8_t model = CurrentModel();
  std::uint8_t bytes[sizeof(ByteSeq)];
  for (const FieldSpec& f : kImageFields) {
    const auto width = static_cast<std::ptrdiff_t>(FieldWidth(f.type));
    if (f.offset + width > size) continue;
    // The record side is whole when present, empty when absent.
    if (settings) RecordToBytes(f, *settings, bytes);
    else DefaultBytes(f, model, bytes);
    std::memcpy(placement + f.offset, bytes, width);
  }
}

void ImageToRecord(const std::uint8_t* placement, Settings& settings) {
  const std::ptrdiff_t size = placement ? DeclaredSize(placement) : 0;
  const std::uint8_t model = CurrentModel();
  std::uint8_t bytes[sizeof(ByteSeq)];
  for (const FieldSpec& f : kImageFields) {
    const auto width = static_cast<std::ptrdiff_t>(FieldWidth(f.type));
    if (f.offset + width <= size) {
      BytesToRecord(f, placement + f.offset, settings);
    } else {
      DefaultBytes(f, model, bytes);
      BytesToRecord(f, bytes, settings);
    }
  }
}

}  // namespace

void UpdatePlacement(Settings* settings, std::uint8_t* placement, bool to_placement) {
  assert((settings || to_placement) && "settings || to_placement");
  assert((placement || !to_placement) && "placement || !to_placement");
  if (to_placement) RecordToImage(settings, placement);
  else ImageToRecord(placement, *settings);
}

void SettingsFromPlacement(Settings& settings, const std::uint8_t* placement) {
  // Reading never writes through the pointer.
  UpdatePlacement(&settings, const_cast<std::uint8_t*>(placement), false);
}

void SettingsToPlacement(std::uint8_t* placement, const Settings* settings) {
  UpdatePlacement(const_cast<Settings*>(settings), placement, true);
}

void InitPlacement(std::uint8_t* placement, const Settings* settings) {
  assert(placement && "placement");
  placement[0] = kPlacementVersion;
  placement[1] = 0;
  placement[2] = 0;
  SettingsToPlacement(placement, settings);
}

HidSlots CopySelectedSequencesToHidSlots(Settings& s) {
  HidSlots saved{s.barcode_prefix_hid, s.barcode_suffix_hid, s.currency_prefix_hid, s.currency_suffix_hid};
  const SequenceSlots& hid = SlotsOf(SequenceClass::hid_class);
  const SequenceSlots& barcode = SlotsOf(SequenceClassOf(s.barcode_interface));
  const SequenceSlots& currency = SlotsOf(SequenceClassOf(s.currency_interface));
  s.*hid.barcode_prefix = s.*barcode.barcode_prefix;
  s.*hid.barcode_suffix = s.*barcode.barcode_suffix;
  s.*hid.currency_prefix = s.*currency.currency_prefix;
  s.*hid.currency_suffix = s.*currency.currency_suffix;
  return saved;
}

void RestoreHidSlots(Settings& s, const HidSlots& saved) {
  s.barcode_prefix_hid = saved.barcode_prefix_hid;
  s.barcode_suffix_hid = saved.barcode_suffix_hid;
  s.currency_prefix_hid = saved.currency_prefix_hid;
  s.currency_suffix_hid = saved.currency_suffix_hid;
}

}  // namespace tavrik
