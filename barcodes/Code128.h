#pragma once
// A small Code 128 encoder for code set B, enough for the first configuration
// barcode: the reader-programming symbol that turns Aztec decoding on before
// the scanner can read the Aztec configuration symbols.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "barcodes/BarcodeRendering.h"

namespace tavrik {

// Symbol character values of code set B.
inline constexpr std::uint8_t kCode128Fnc3 = 96;
inline constexpr std::uint8_t kCode128Fnc1 = 102;
inline constexpr std::uint8_t kCode128StartB = 104;
inline constexpr std::uint8_t kCode128Stop = 106;
// The quiet zone each side, in modules.
inline constexpr int kCode128QuietZone = 10;

// The set-B values of printable ASCII text (32..127); false when a character
// has none.
bool Code128SetBValues(std::string_view text, std::vector<std::uint8_t>& values);
// The check character of a set-B symbol with these data values.
std::uint8_t Code128Check(std::span<const std::uint8_t> values);
// Start B, the values, the check character and the stop pattern, one entry
// per module, true for a bar. Empty when a value is no data value (103 and
// above).
std::vector<bool> Code128Modules(std::span<const std::uint8_t> values);

// The symbol centred on a white picture, `module_pixels` per module and bars
// over the full height. Empty when it does not fit with its quiet zones or
// has no modules.
PixelImage RenderCode128(std::span<const std::uint8_t> values, int module_pixels, int width, int height);

// The first barcode of the settings page: FNC3 followed by "1401" (command 20,
// Aztec decoding, value 1), 185 x 70 pixels.
inline constexpr int kFirstBarcodeWidth = 185;
inline constexpr int kFirstBarcodeHeight = 70;
// Its data values: FNC3, then "1401" in code set B.
std::span<const std::uint8_t> FirstBarcodeValues();
// A lower picture (the settings page's) keeps the full-height bars.
PixelImage FirstBarcodePicture(int height = kFirstBarcodeHeight);

}  // namespace tavrik
