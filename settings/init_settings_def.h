#pragma once
// The settings record, its process-wide instance and the device identity.

#include <cstdint>

namespace tavrik {

// A prefix, a suffix or the up-button message: a length (0..10) and ten data
// bytes. Bytes behind `length` are carried as they are.
struct ByteSeq {
  std::uint8_t length;
  std::uint8_t data[10];
  bool operator==(const ByteSeq&) const = default;
};

// Host interface codes of `barcode_interface` and `currency_interface`.
enum Interface : std::uint8_t {
  uart = 0,
  usb_cdc = 1,
  usb_hid = 2,
  usb_hid_only = 3,
  bt_hid = 4,
  bt_pos_hid = 5,
  bt_classic_hid = 6,
  bt_spp = 7,
  usb_pos_hid = 8,
};
inline constexpr int kInterfaceCount = 9;

// Which of the three prefix/suffix sets an interface uses.
enum class SequenceClass : std::uint8_t { ascii_class, hid_class, pos_class };

SequenceClass SequenceClassOf(std::uint8_t interface_code);
// The name shown for an interface code; "Неизвестный интерфейс" for any other.
const char* InterfaceName(std::uint8_t interface_code);

// Every field in declaration order. bool is one byte, 0 or 1.
struct Settings {
  std::uint8_t symbology_id_mode;
  bool eci_transmit;
  std::uint8_t redecode_timeout;
  bool structured_append;
  std::uint8_t structured_append_timeout;
  bool centre_only;
  bool screen_reading;
  bool i2of5_enabled;
  bool code39_enabled;
  bool code128_enabled;
  bool ean13_enabled;
  bool ean8_enabled;
  bool upce_enabled;
  bool upca_enabled;
  bool aztec_enabled;
  bool pdf417_enabled;
  bool pharmacode_enabled;
  bool datamatrix_enabled;
  bool qrcode_enabled;
  bool micro_qr_enabled;
  bool micro_pdf417_enabled;
  bool ocr_mrz_enabled;
  bool ocr_ru_passport_enabled;
  bool code93_enabled;
  bool ocr_financial_enabled;
  bool databar14_enabled;
  bool ocr_ru_passport_number_enabled;
  bool ocr_excise_stamp_enabled;
  bool ocr_spaced_string_enabled;
  bool ocr_article_number_enabled;
  bool codabar_enabled;
  bool i2of5_check_digit;
  bool i2of5_send_check_digit;
  bool code39_check_digit;
  bool code39_send_check_digit;
  bool databar_low_enabled;
  bool gs1_ai_brackets;
  std::uint8_t upce_preamble;
  std::uint8_t upca_preamble;
  bool upca_send_check_digit;
  bool upce_send_check_digit;
  bool ean13_send_check_digit;
  bool ean8_send_check_digit;
  bool upce_to_upca;
  bool upca_to_ean13;
  bool ean8_to_ean13;
  bool addon2_enabled;
  bool addon5_enabled;
  std::uint8_t addon_timeout;
  bool addon_required;
  bool aztec_runes_enabled;
  bool dmre_enabled;
  bool pdf417_simplified_check;
  bool ocr_ru_passport_cyrillic;
  bool ocr_upside_down;
  std::uint8_t pharmacode_direction;
  bool pharmacode_wide_quiet_zones;
  std::uint32_t pharmacode_min_value;
  bool codabar_abcd_notation;
  bool codabar_send_start_stop;
  std::uint8_t uart_speed;
  std::uint8_t uart_data_bits;
  std::uint8_t uart_parity;
  std::uint8_t uart_stop_bits;
  std::uint8_t barcode_interface;
  std::uint8_t currency_interface;
  std::uint8_t hid_poll_interval;
  std::int16_t hid_key_delay;
  bool hid_ignore_caps_lock;
  bool hid_ignore_unknown;
  bool hid_alt_sequence;
  bool hid_alt_leading_zero;
  bool hid_fast_keypad;
  std::uint8_t hid_keyboard_type;
  std::uint8_t barcode_code_page;
  bool cdc_static_port;
  bool hid_ctrl_x;
  std::uint16_t bt_pin;
  std::uint8_t bt_fast_keystrokes;
  bool bt_pin_pairing_hidden;
  bool bt_store_offline;
  bool bt_pin_pairing;
  bool bt_link_beep;
  bool bt_auto_reconnect;
  bool bt_le_ack;
  std::uint16_t bt_power_off_minutes;
  bool bt_classic_reconnect;
  std::uint16_t inter_barcode_delay;
  ByteSeq barcode_prefix_hid;
  ByteSeq currency_prefix_hid;
  ByteSeq up_button_message;
  ByteSeq barcode_prefix_ascii;
  ByteSeq barcode_prefix_pos;
  ByteSeq currency_prefix_ascii;
  ByteSeq currency_prefix_pos;
  ByteSeq barcode_suffix_hid;
  ByteSeq currency_suffix_hid;
  ByteSeq barcode_suffix_ascii;
  ByteSeq barcode_suffix_pos;
  ByteSeq currency_suffix_ascii;
  ByteSeq currency_suffix_pos;
  std::int16_t lens_upper;
  std::int16_t lens_lower;
  std::uint8_t lens_frequency;
  std::uint8_t sleep_timeout;
  bool sleep_dim_illumination;
  std::uint8_t config_barcodes_mode;
  std::uint8_t volume;
  bool stand_beep;
  std::uint8_t good_read_sound;
  std::uint8_t aim_mode;
  std::uint8_t aim_brightness;
  std::uint8_t trigger_mode;
  std::uint8_t currency_start_mode;
  std::uint8_t illumination_mode;
  std::uint8_t illumination_brightness;
  std::uint8_t currency_denominations;
  std::uint8_t currency_serials;
  std::uint8_t currency_exit_timeout;
  bool opaque_135;
  std::uint8_t opaque_138;
  std::uint8_t opaque_139;
  std::uint8_t opaque_144;
  std::uint8_t opaque_145;
  std::uint8_t opaque_146;

  bool operator==(const Settings&) const = default;
};

// The prefix/suffix slots of one sequence class.
struct SequenceSlots {
  ByteSeq Settings::*barcode_prefix;
  ByteSeq Settings::*barcode_suffix;
  ByteSeq Settings::*currency_prefix;
  ByteSeq Settings::*currency_suffix;
};
const SequenceSlots& SlotsOf(SequenceClass sequence_class);

// The Bluetooth PIN that the defaults give.
inline constexpr std::uint16_t kBtPinDefault = 0;

// The one settings record of the process.
Settings& CurrentSettings();
// The model code that selects the model-dependent defaults; 0 when none is known.
std::uint8_t CurrentModel();
void SetCurrentModel(std::uint8_t model);
// Firmware version of the last device read: major in the high byte.
std::uint16_t CurrentFirmwareVersion();
void SetCurrentFirmwareVersion(std::uint16_t version);
// Back to the start-up state: model 0, firmware 0, defaults of model 0.
void ResetProcessState();

// Fills every field with its default for the current model.
void LoadDefaults(Settings& settings);

}  // namespace tavrik
