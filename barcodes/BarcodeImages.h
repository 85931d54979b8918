#pragma once
// Print-ready pictures of a symbol: SVG and PDF draw every dark module as an
// exact square of a physical size, PNG as a whole number of pixels at a
// stated resolution. SVG and PDF are drawn through cairo; PNG is written
// directly at one bit a pixel.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "aztecgen/include/aztecgen.h"
#include "barcodes/BarcodeFormats.h"

namespace tavrik {

struct PrintGeometry {
  double module_mm = 0.5;
  // Light modules around the symbol; a reader needs some light around the
  // bull's eye, and the page around a printed symbol is not always light.
  int quiet_zone_modules = 2;
  double png_dpi = 300;
};

// What a caller may ask for; values outside give no picture.
inline constexpr double kMinModuleMm = 0.1;
inline constexpr double kMaxModuleMm = 25.0;
inline constexpr double kMinPngDpi = 72;
inline constexpr double kMaxPngDpi = 2400;

// The widest and tallest PNG picture made, in pixels: a side of 32767 is
// 35 cm at the highest resolution, more than any configuration sheet needs.
inline constexpr std::uint64_t kMaxPngSide = 32767;

// Pixels of one module in a PNG: the module size at the resolution, rounded
// to whole pixels (at least one) so that every module edge is sharp.
int PngModulePixels(const PrintGeometry& geometry);
// Pixels of a side of `modules` modules with the quiet zone, and whether both
// sides of `matrix` stay within kMaxPngSide.
std::uint64_t PngSidePixels(std::uint32_t modules, const PrintGeometry& geometry);
bool PngFits(const ag_matrix& matrix, const PrintGeometry& geometry);

// The file's bytes of `matrix` in `format` (svg, pdf or png). Nothing for the
// metafile format, an empty matrix, a geometry outside the limits above or a
// picture too large for the library.
std::optional<std::vector<std::uint8_t>> BarcodeImageBytes(const ag_matrix& matrix, BarcodeFormat format,
                                                           const PrintGeometry& geometry = {});

// Writes that picture to `file_name` through a temporary file in the same
// folder. False on any failure.
bool WriteBarcodeImage(const std::string& file_name, const ag_matrix& matrix, BarcodeFormat format,
                       const PrintGeometry& geometry = {});

}  // namespace tavrik
