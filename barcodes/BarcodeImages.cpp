#include "barcodes/BarcodeImages.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "barcodes/CairoHandles.h"
#include "core/AtomicFile.h"

namespace tavrik {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72;

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

// One chunk: length, type, data, and the CRC of type and data.
void PutChunk(std::vector<std::uint8_t>& png, const char (&type)[5], const std::vector<std::uint8_t>& data) {
  PutBigEndian32(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t typed = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  const auto crc = crc32(0, png.data() + typed, static_cast<uInt>(png.size() - typed));
  PutBigEndian32(png, static_cast<std::uint32_t>(crc));
}

// The rows of the picture, compressed as they are made: one filter byte (none)
// and one bit a pixel, 1 white; the rows of one module row are alike, so a
// picture of any size needs one row of memory.
std::optional<std::vector<std::uint8_t>> CompressedRows(const ag_matrix& matrix, int quiet, int module,
                                                        std::uint32_t width, std::uint32_t height) {
  const std::size_t stride = (std::size_t{width} + 7) / 8;
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) return std::nullopt;
  std::vector<std::uint8_t> out;
  std::vector<std::uint8_t> chunk(1 << 16);
  std::vector<std::uint8_t> row(stride + 1);
  bool ok = true;
  const auto feed = [&](const std::uint8_t* data, std::size_t size, int flush) {
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    do {
      z.next_out = chunk.data();
      z.avail_out = static_cast<uInt>(chunk.size());
      const int r = deflate(&z, flush);
      if (r == Z_STREAM_ERROR) {
        ok = false;
        return;
      }
      out.insert(out.end(), chunk.data(), chunk.data() + (chunk.size() - z.avail_out));
    } while (z.avail_out == 0);
  };
  const std::uint32_t module_rows = matrix.height + 2 * static_cast<std::uint32_t>(quiet);
  for (std::uint32_t my = 0; my < module_rows && ok; ++my) {
    std::fill(row.begin() + 1, row.end(), 0xFF);
    const bool inside = my >= static_cast<std::uint32_t>(quiet) && my - quiet < matrix.height;
    if (inside) {
      const std::uint8_t* modules = matrix.data + std::size_t{my - quiet} * matrix.width;
      for (std::uint32_t mx = 0; mx < matrix.width; ++mx) {
        if (modules[mx] == 0) continue;
        const std::size_t first = (std::size_t{mx} + quiet) * module;
        for (std::size_t x = first; x < first + module; ++x)
          row[1 + x / 8] &= static_cast<std::uint8_t>(~(0x80u >> (x % 8)));
      }
    }
    for (int repeat = 0; repeat < module && ok; ++repeat) feed(row.data(), row.size(), Z_NO_FLUSH);
  }
  if (ok) feed(nullptr, 0, Z_FINISH);
  deflateEnd(&z);
  if (!ok || z.total_in != (stride + 1) * std::uint64_t{height}) return std::nullopt;
  return out;
}

// A grey PNG of one bit a pixel, written directly: a symbol is black and
// white, and a large print then costs an eighth of a byte a pixel to make, at
// most one row in memory. It states its resolution, or a printing program
// guesses one and prints the symbol at the wrong size.
std::optional<std::vector<std::uint8_t>> PngBytes(const ag_matrix& matrix, const PrintGeometry& g) {
  if (!PngFits(matrix, g)) return std::nullopt;
  const int module = PngModulePixels(g);
  const auto width = static_cast<std::uint32_t>(PngSidePixels(matrix.width, g));
  const auto height = static_cast<std::uint32_t>(PngSidePixels(matrix.height, g));
  auto rows = CompressedRows(matrix, g.quiet_zone_modules, module, width, height);
  if (!rows) return std::nullopt;

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBigEndian32(header, width);
  PutBigEndian32(header, height);
  header.insert(header.end(), {1, 0, 0, 0, 0});  // one bit, grey, deflate, no filter choice, no interlace
  PutChunk(png, "IHDR", header);
  const auto per_metre = static_cast<std::uint32_t>(std::lround(g.png_dpi * 1000 / kMmPerInch));
  std::vector<std::uint8_t> resolution;
  PutBigEndian32(resolution, per_metre);
  PutBigEndian32(resolution, per_metre);
  resolution.push_back(1);  // the unit is the metre
  PutChunk(png, "pHYs", resolution);
  PutChunk(png, "IDAT", *rows);
  PutChunk(png, "IEND", {});
  return png;
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

std::uint64_t PngSidePixels(std::uint32_t modules, const PrintGeometry& geometry) {
  return (std::uint64_t{modules} + 2 * static_cast<std::uint64_t>(std::max(geometry.quiet_zone_modules, 0))) *
         static_cast<std::uint64_t>(PngModulePixels(geometry));
}

bool PngFits(const ag_matrix& matrix, const PrintGeometry& geometry) {
  return PngSidePixels(matrix.width, geometry) <= kMaxPngSide && PngSidePixels(matrix.height, geometry) <= kMaxPngSide;
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
