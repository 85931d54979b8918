#pragma once
// Pictures of a symbol's module matrix: a drawing onto any surface that can
// fill rectangles, the enhanced metafile of a configuration barcode, and the
// pixels of the preview. No quiet zone is added: every picture covers exactly
// the symbol.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "aztecgen/include/aztecgen.h"

namespace tavrik {

enum class Brush : std::uint8_t { white, black };

// A surface that fills rectangles with a stock brush, as GDI's FillRect does:
// the right and bottom edges are not part of the rectangle.
class FillTarget {
 public:
  virtual ~FillTarget() = default;
  virtual void FillRect(int left, int top, int right, int bottom, Brush brush) = 0;
};

// The whole symbol white, then one black rectangle per non-zero module, row 0
// at the top. Module edges are computed in floating point and truncated.
void DrawBarcode(FillTarget& target, const ag_matrix& matrix, double point_width, double point_height);

// What the reference screen reports of itself: its physical size in
// millimetres and its size in pixels.
struct ScreenMetrics {
  std::uint32_t horz_size_mm;
  std::uint32_t vert_size_mm;
  std::uint32_t desktop_horz_res;
  std::uint32_t desktop_vert_res;
};
// A 96 dpi screen, for callers that have none.
inline constexpr ScreenMetrics kHeadlessScreen{508, 286, 1920, 1080};

// The enhanced metafile of `matrix`, one logical unit per module and a frame
// that makes one module as large as one pixel of `screen`. Nothing for an
// empty matrix, a side above kMaxMetafileSide (the file's 32-bit size field
// would overflow long before) or a screen that reports a zero size.
inline constexpr std::uint32_t kMaxMetafileSide = 4096;
std::optional<std::vector<std::uint8_t>> BarcodeMetafileBytes(const ag_matrix& matrix, const ScreenMetrics& screen);

// Writes that metafile to `file_name` through a temporary file in the same
// folder, so that a failure never leaves a partial file under the name.
// False on any failure.
bool WriteBarcodeMetafile(const std::string& file_name, const ag_matrix& matrix,
                          const ScreenMetrics& screen = kHeadlessScreen);

// 32-bit pixels, rows from the top.
inline constexpr std::uint32_t kPixelDark = 0x000000;
inline constexpr std::uint32_t kPixelLight = 0xFFFFFF;
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The settings page shows at most this many pixels a side.
inline constexpr int kPreviewMaxSide = 250;

// Each module as a zoom x zoom block: dark where the module is 1, light
// otherwise. Nothing when a side would exceed kPreviewMaxSide or the zoom is
// below 1; the page then keeps its previous picture.
std::optional<PixelImage> PreviewBitmapPixels(const ag_matrix& matrix, int zoom);

}  // namespace tavrik
