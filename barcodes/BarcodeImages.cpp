#include "barcodes/BarcodeImages.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <zlib.h>

#include <cmath>
#include <memory>

#include "barcodes/CairoHandles.h"
#include "core/AtomicFile.h"

namespace tavrik {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72;
// cairo's image surfaces stop here.
constexpr std::uint64_t kMaxPngSide = 32767;

using cairo_handles::Append;
using cairo_handles::Context;
using cairo_handles::Surface;

bool HasModules(const ag_matrix& matrix) { return matrix.data != nullptr && matrix.width > 0 && matrix.height > 0; }

bool GeometryAllowed(const PrintGeometry& g) {
  return std::isfinite(g.module_mm) && g.module_mm >= kMinModuleMm && g.module_mm <= kMaxModuleMm &&
         g.quiet_zone_modules >= 0 && g.quiet_zone_modules <= 100 && std::isfinite(g.png_dpi) &&
         g.png_dpi >= kMinPngDpi && g.png_dpi <= kMaxPngDpi;
}

// The page white, then every dark module as one square of `module` units, all
// in one path so that neighbouring squares meet without a seam.
bool Draw(cairo_surface_t* surface, const ag_matrix& matrix, int quiet, double module) {
  Context cr(cairo_create(surface));
  cairo_set_source_rgb(cr.get(), 1, 1, 1);
  cairo_paint(cr.get());
  cairo_set_source_rgb(cr.get(), 0, 0, 0);
  for (std::uint32_t y = 0; y < matrix.height; ++y) {
    for (std::uint32_t x = 0; x < matrix.width; ++x) {
      if (matrix.data[std::size_t{y} * matrix.width + x] == 0) continue;
      cairo_rectangle(cr.get(), (x + quiet) * module, (y + quiet) * module, module, module);
    }
  }
  cairo_fill(cr.get());
  cairo_show_page(cr.get());
  return cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
}

void PutBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// cairo writes no resolution into a PNG; without it a printing program
// guesses one and prints the symbol at the wrong size. The pHYs chunk goes
// right after the header chunk, which is 25 bytes long behind the signature.
bool AddPngResolution(std::vector<std::uint8_t>& png, double dpi) {
  constexpr std::size_t kAfterHeader = 8 + 25;
  if (png.size() < kAfterHeader) return false;
  const auto per_metre = static_cast<std::uint32_t>(std::lround(dpi * 1000 / kMmPerInch));
  std::vector<std::uint8_t> chunk;
  PutBigEndian32(chunk, 9);
  for (char c : {'p', 'H', 'Y', 's'}) chunk.push_back(static_cast<std::uint8_t>(c));
  PutBigEndian32(chunk, per_metre);
  PutBigEndian32(chunk, per_metre);
  chunk.push_back(1);  // the unit is the metre
  PutBigEndian32(chunk, static_cast<std::uint32_t>(crc32(0, chunk.data() + 4, 13)));
  png.insert(png.begin() + kAfterHeader, chunk.begin(), chunk.end());
  return true;
}

std::optional<std::vector<std::uint8_t>> PngBytes(const ag_matrix& matrix, const PrintGeometry& g) {
  const int module = PngModulePixels(g);
  const std::uint64_t width = (std::uint64_t{matrix.width} + 2 * g.quiet_zone_modules) * module;
  const std::uint64_t height = (std::uint64_t{matrix.height} + 2 * g.quiet_zone_modules) * module;
  if (width > kMaxPngSide || height > kMaxPngSide) return std::nullopt;
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(width), static_cast<int>(height)));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  if (!Draw(surface.get(), matrix, g.quiet_zone_modules, module)) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  if (cairo_surface_write_to_png_stream(surface.get(), Append, &bytes) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  if (!AddPngResolution(bytes, g.png_dpi)) return std::nullopt;
  return bytes;
}

std::optional<std::vector<std::uint8_t>> VectorBytes(const ag_matrix& matrix, BarcodeFormat format,
                                                     const PrintGeometry& g) {
  const double width_mm = (matrix.width + 2.0 * g.quiet_zone_modules) * g.module_mm;
  const double height_mm = (matrix.height + 2.0 * g.quiet_zone_modules) * g.module_mm;
  std::vector<std::uint8_t> bytes;
  Surface surface;
  double module = 0;
  if (format == BarcodeFormat::svg) {
    // In millimetres throughout: the document says its size in mm and a
    // module is a round number of user units.
    surface.reset(cairo_svg_surface_create_for_stream(Append, &bytes, width_mm, height_mm));
    cairo_svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_MM);
    module = g.module_mm;
  } else {
    const double points_per_mm = kPointsPerInch / kMmPerInch;
    surface.reset(cairo_pdf_surface_create_for_stream(Append, &bytes, width_mm * points_per_mm,
                                                      height_mm * points_per_mm));
    module = g.module_mm * points_per_mm;
  }
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  if (!Draw(surface.get(), matrix, g.quiet_zone_modules, module)) return std::nullopt;
  // The document is complete only once the surface is finished.
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  return bytes;
}

}  // namespace

int PngModulePixels(const PrintGeometry& geometry) {
  const long pixels = std::lround(geometry.module_mm * geometry.png_dpi / kMmPerInch);
  return pixels < 1 ? 1 : static_cast<int>(pixels);
}

std::optional<std::vector<std::uint8_t>> BarcodeImageBytes(const ag_matrix& matrix, BarcodeFormat format,
                                                           const PrintGeometry& geometry) {
  if (!HasModules(matrix) || !GeometryAllowed(geometry)) return std::nullopt;
  switch (format) {
    case BarcodeFormat::emf: return std::nullopt;
    case BarcodeFormat::png: return PngBytes(matrix, geometry);
    case BarcodeFormat::svg:
    case BarcodeFormat::pdf: return VectorBytes(matrix, format, geometry);
  }
  return std::nullopt;
}

bool WriteBarcodeImage(const std::string& file_name, const ag_matrix& matrix, BarcodeFormat format,
                       const PrintGeometry& geometry) {
  if (file_name.empty()) return false;
  const auto bytes = BarcodeImageBytes(matrix, format, geometry);
  return bytes && WriteFileAtomically(file_name, {*bytes}) == AtomicWriteResult::ok;
}

}  // namespace tavrik
