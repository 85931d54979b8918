#pragma once
// The versioned byte image of the settings ("placement") and the conversions
// between it and the record. Every default of the record is defined here.

#include <cstddef>
#include <cstdint>
#include <span>

#include "settings/SettingsCatalog.h"
#include "settings/init_settings_def.h"

namespace tavrik {

inline constexpr int kPlacementVersion = 1;
// The shorter layout of older scanners ends after `bt_classic_reconnect`.
inline constexpr std::size_t kShortPlacementSize = 176;

// The image table is the settings catalogue: one row per field, in image order.
using FieldSpec = SettingRow;
inline std::span<const FieldSpec> ImageFields() { return SettingsCatalog(); }
// The default of one field for `model`, as it lies in the image (little-endian).
void DefaultBytes(const FieldSpec& field, std::uint8_t model, std::uint8_t* out);

// The value of the field at `member_offset` (offsetof in Settings) as the
// image holds it, read whatever the image's version: a bool byte as it lies,
// a number little-endian, a sequence by its length byte.
std::uint32_t ImageValue(const std::uint8_t* placement, std::size_t member_offset);

// The field-by-field conversion. `settings` may be null only when `to_placement`
// (the image gets defaults); `placement` may be null only when not (the record
// gets defaults). With `to_placement`, `placement` holds at least 268 bytes; when
// reading, the image holds at least min(its size field, 268) readable bytes.
void UpdatePlacement(Settings* settings, std::uint8_t* placement, bool to_placement);
void SettingsFromPlacement(Settings& settings, const std::uint8_t* placement);
// Into an image whose header is already set.
void SettingsToPlacement(std::uint8_t* placement, const Settings* settings);
// Version 1, size 0, then SettingsToPlacement: always a complete 268-byte image.
// With no record, the default image of the current model.
void InitPlacement(std::uint8_t* placement, const Settings* settings);

// Header access.
inline std::int8_t PlacementVersion(const std::uint8_t* placement) {
  return static_cast<std::int8_t>(placement[0]);
}
inline std::int16_t PlacementSize(const std::uint8_t* placement) {
  return static_cast<std::int16_t>(placement[1] | (placement[2] << 8));
}
inline void SetPlacementSize(std::uint8_t* placement, std::int16_t size) {
  placement[1] = static_cast<std::uint8_t>(size & 0xFF);
  placement[2] = static_cast<std::uint8_t>((static_cast<std::uint16_t>(size) >> 8) & 0xFF);
}

// For a save to a scanner whose image is at most 176 bytes: the sequences of the
// selected classes go into the hid_class slots, the only ones such a scanner has.
struct HidSlots {
  ByteSeq barcode_prefix_hid;
  ByteSeq barcode_suffix_hid;
  ByteSeq currency_prefix_hid;
  ByteSeq currency_suffix_hid;
};
// Returns the four slots as they were before the copy.
HidSlots CopySelectedSequencesToHidSlots(Settings& settings);
void RestoreHidSlots(Settings& settings, const HidSlots& saved);

// Copies on construction, puts the slots back on every way out.
class ShortLayoutSlotCopy {
 public:
  explicit ShortLayoutSlotCopy(Settings& settings)
      : settings_(settings), saved_(CopySelectedSequencesToHidSlots(settings)) {}
  ~ShortLayoutSlotCopy() { RestoreHidSlots(settings_, saved_); }
  ShortLayoutSlotCopy(const ShortLayoutSlotCopy&) = delete;
  ShortLayoutSlotCopy& operator=(const ShortLayoutSlotCopy&) = delete;

 private:
  Settings& settings_;
  HidSlots saved_;
};

}  // namespace tavrik
