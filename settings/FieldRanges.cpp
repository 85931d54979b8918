#include "settings/FieldRanges.h"

#include <algorithm>

namespace tavrik {
namespace {

// Time fields store milliseconds in coarser units to fit a byte; the user types
// milliseconds and the pages convert. List and radio fields give the codes the
// scanner knows.
constexpr FieldRange kFieldRanges[] = {
    // name                      min     max    unit step typed  stored
    {"symbology_id_mode",          0,      2,      1,  1, "",    ""},       // never, always, special characters
    {"sleep_timeout",              0,      255,    1,  1, "s",   "s"},
    {"volume",                     0,      8,      1,  1, "",    ""},       // track bar
    {"redecode_timeout",           0,      12750,  50, 1, "ms",  "50 ms"},
    {"trigger_mode",               0,      4,      1,  1, "",    ""},
    {"structured_append_timeout",  500,    127500, 500, 1, "ms", "500 ms"},
    {"illumination_mode",          0,      3,      1,  1, "",    ""},       // stored codes, not radio positions
    {"illumination_brightness",    0,      8,      1,  1, "",    ""},       // track bar
    {"config_barcodes_mode",       0,      2,      1,  1, "",    ""},
    {"aim_mode",                   0,      2,      1,  1, "",    ""},
    {"aim_brightness",             0,      8,      1,  1, "",    ""},       // track bar
    {"pharmacode_direction",       0,      3,      1,  1, "",    ""},
    {"pharmacode_min_value",       3,      131070, 1,  1, "",    ""},
    {"addon_timeout",              50,     12750,  50, 1, "ms",  "50 ms"},
    {"barcode_interface",          0,      8,      1,  1, "",    ""},       // Interface codes
    {"currency_interface",         0,      8,      1,  1, "",    ""},
    {"uart_speed",                 0,      6,      1,  1, "",    ""},       // index into 2400 .. 115200
    {"uart_data_bits",             0,      1,      1,  1, "",    ""},       // 8, 7
    {"uart_parity",                0,      2,      1,  1, "",    ""},       // none, odd, even
    {"uart_stop_bits",             0,      1,      1,  1, "",    ""},       // 1, 2
    {"hid_poll_interval",          1,      16,     1,  1, "ms",  "ms"},
    {"hid_key_delay",              0,      500,    1,  10, "ms", "ms"},
    {"currency_start_mode",        0,      3,      1,  1, "",    ""},
    {"currency_denominations",     0,      2,      1,  1, "",    ""},
    {"currency_serials",           0,      2,      1,  1, "",    ""},
    {"currency_exit_timeout",      0,      255,    1,  1, "s",   "s"},
    {"upce_preamble",              0,      2,      1,  1, "",    ""},
    {"upca_preamble",              0,      2,      1,  1, "",    ""},
    {"hid_keyboard_type",          0,      0,      1,  1, "",    ""},       // Russia is the only layout
    {"barcode_code_page",          0,      2,      1,  1, "",    ""},       // 1251, 866, UTF-8
    {"bt_pin",                     0,      9999,   1,  1, "",    ""},
    {"bt_fast_keystrokes",         0,      250,    1,  1, "",    ""},
    {"bt_power_off_minutes",       1,      60000,  1,  1, "min", "min"},
    {"good_read_sound",            0,      4,      1,  1, "",    ""},       // sound 1 .. 5
    {"inter_barcode_delay",        0,      5000,   1,  1, "ms",  "ms"},
};

}  // namespace

std::span<const FieldRange> FieldRanges() { return kFieldRanges; }

const FieldRange* FindFieldRange(std::string_view name) {
  for (const FieldRange& range : kFieldRanges) {
    if (name == range.name) return &range;
  }
  return nullptr;
}

bool InRange(const FieldRange& range, std::int64_t typed) {
  return typed >= range.min && typed <= range.max && typed % range.step == 0;
}

std::optional<std::uint32_t> TypedToStored(const FieldRange& range, std::int64_t typed) {
  if (!InRange(range, typed)) return std::nullopt;
  return static_cast<std::uint32_t>((typed + range.unit / 2) / range.unit);
}

std::int64_t StoredToTyped(const FieldRange& range, std::uint32_t stored) {
  return static_cast<std::int64_t>(stored) * range.unit;
}

std::uint32_t ClampStored(const FieldRange& range, std::uint32_t stored) {
  const std::uint32_t low = *TypedToStored(range, range.min);
  const std::uint32_t high = *TypedToStored(range, range.max);
  return std::clamp(stored, low, high);
}

std::string RangeText(const FieldRange& range) {
  std::string text = std::to_string(range.min) + ".." + std::to_string(range.max);
  if (*range.typed_unit) text += std::string(" ") + range.typed_unit;
  if (range.step > 1) text += ", шаг " + std::to_string(range.step);
  return text;
}

}  // namespace tavrik
