#pragma once
// The two configuration symbols and their files: the group barcode, which
// carries the whole settings image compressed (current firmware), and the
// old form, which carries the command list as hexadecimal text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "aztecgen/include/ag_matrix_ptr_def.h"
#include "barcodes/BarcodeImages.h"
#include "barcodes/BarcodeRendering.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"

namespace tavrik {

// The firmware checks this text behind the image before it takes the image.
inline constexpr std::string_view kGroupBarcodeMarker = "New version BC";
inline constexpr std::size_t kGroupPlainSize = kPlacementSize + kGroupBarcodeMarker.size();  // 282
inline constexpr std::size_t kGroupCompressedCapacity = 287;
inline constexpr std::size_t kGroupHeaderSize = 4;
inline constexpr std::uint8_t kGroupPayloadTag = 0x1A;
inline constexpr std::uint8_t kGroupPayloadVersion = 1;
inline constexpr std::uint8_t kGroupPayloadPadding = 0xFF;

// The image of `settings` followed by the marker.
std::vector<std::uint8_t> GroupBarcodePlain(const Settings& settings);
// The payload: the compressed length (little-endian), 0x1A, 1, the zlib
// stream, and a padding byte 0xFF when that would be even, because the
// firmware reads only payloads of odd length. Nothing when the stream does not
// fit kGroupCompressedCapacity or zlib fails.
std::optional<std::vector<std::uint8_t>> PackGroupPayload(std::span<const std::uint8_t> plain);

// Both symbols are full-range reader-initialisation symbols.
ag_settings ConfigBarcodeSettings();
// Generates `payload` into `owner`; returns the generator's result code and
// leaves `owner` as it was unless the code is ag_ok.
int GenerateConfigBarcode(ag_matrix_ptr& owner, std::span<const std::uint8_t> payload);

enum class GroupBarcodeResult : int { ok = 0, compression_failed = 1, generation_failed = 2 };
// The group barcode of `settings` into `owner`, which keeps its old symbol on failure.
GroupBarcodeResult BuildGroupBarcode(ag_matrix_ptr& owner, const Settings& settings = CurrentSettings());

// The last group barcode built, for the preview.
class GroupBarcode {
 public:
  GroupBarcodeResult Rebuild(const Settings& settings = CurrentSettings()) { return BuildGroupBarcode(symbol_, settings); }
  // Null until a build succeeded.
  const ag_matrix* symbol() const { return symbol_.get(); }

 private:
  ag_matrix_ptr symbol_;
};

// The old-form payload of `settings`.
std::string OldFormText(bool exclude_lens, const Settings& settings = CurrentSettings());

// The two files written for one chosen path: "_Old" and "_New" go before the
// extension of the file name, or at its end when it has none.
struct BarcodeFileNames {
  std::string old_form;
  std::string group;
};
BarcodeFileNames DeriveBarcodeFileNames(std::string_view chosen_path);

// What a save as barcodes ended with; all but `saved` have a message.
// `too_large`: a picture of more pixels a side than kMaxPngSide, refused
// before it is drawn.
enum class SaveBarcodeResult { saved, generation_failed, write_failed, compression_failed, too_large };
// The failure message to show, or an empty text for `saved` (success is not announced).
const char* SaveBarcodeMessage(SaveBarcodeResult result);

// Everything of "Сохранить в виде ШК" after the save dialog: the old-form
// symbol of the current settings to the "_Old" file, then the group barcode to
// the "_New" file. Both files are made before either is written, and either
// both targets get their new contents or neither changes.
SaveBarcodeResult SaveBarcodeFiles(std::string_view chosen_path, bool exclude_lens,
                                   const ScreenMetrics& screen = kHeadlessScreen,
                                   const Settings& settings = CurrentSettings());

// The same in `format`: metafiles exactly as SaveBarcodeFiles writes them, or
// one SVG, PDF or PNG picture per symbol drawn with `geometry`; a picture
// that cannot be made counts as a failed write.
SaveBarcodeResult SaveBarcodeFilesAs(std::string_view chosen_path, BarcodeFormat format, bool exclude_lens,
                                     const PrintGeometry& geometry = {}, const ScreenMetrics& screen = kHeadlessScreen,
                                     const Settings& settings = CurrentSettings());

}  // namespace tavrik
