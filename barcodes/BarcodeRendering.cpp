#include "barcodes/BarcodeRendering.h"

#include "core/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tavrik {
namespace {

bool HasModules(const ag_matrix& matrix) { return matrix.data != nullptr && matrix.width > 0 && matrix.height > 0; }

// Enhanced metafile records as GDI writes them for FillRect with a stock brush
// on a metafile device context.
constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEmrSelectObject = 37;
constexpr std::uint32_t kEmrBitBlt = 76;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kEmfVersion = 0x00010000;
constexpr std::uint32_t kStockObject = 0x80000000;
constexpr std::uint32_t kWhiteBrush = 0;
constexpr std::uint32_t kBlackBrush = 4;
constexpr std::uint32_t kPatCopy = 0x00F00021;
constexpr std::uint32_t kFloatOne = 0x3F800000;
constexpr std::uint32_t kHeaderSize = 108;
constexpr std::uint32_t kSelectObjectSize = 12;
constexpr std::uint32_t kBitBltSize = 100;
constexpr std::uint32_t kEofSize = 20;

void Put32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

// One FillRect: the brush selected, a pattern blit (bounds and destination
// patched in), the white brush selected back.
constexpr std::size_t kFillSize = 2 * kSelectObjectSize + kBitBltSize;
constexpr std::array<std::uint8_t, kFillSize> MakeFillTemplate() {
  std::array<std::uint8_t, kFillSize> t{};
  const auto put = [&t](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) t[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(0, kEmrSelectObject);
  put(4, kSelectObjectSize);
  constexpr std::size_t blit = kSelectObjectSize;
  put(blit, kEmrBitBlt);
  put(blit + 4, kBitBltSize);
  put(blit + 40, kPatCopy);
  // Source origin 0, 0; then the identity source transform.
  put(blit + 52, kFloatOne);
  put(blit + 64, kFloatOne);
  // Background colour, colour usage and the source bitmap fields stay 0: no bitmap.
  constexpr std::size_t back = blit + kBitBltSize;
  put(back, kEmrSelectObject);
  put(back + 4, kSelectObjectSize);
  put(back + 8, kStockObject | kWhiteBrush);
  return t;
}
constexpr std::array<std::uint8_t, kFillSize> kFillTemplate = MakeFillTemplate();

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Zeros(int count) { out_.insert(out_.end(), static_cast<std::size_t>(count) * 4, 0); }

 private:
  std::vector<std::uint8_t>& out_;
};

// Records fills the way a metafile device context does: the brush selected,
// a pattern blit over the inclusive bounds, the previous (white) brush back.
class MetafileRecorder final : public FillTarget {
 public:
  // The header goes in front once the records are known; its room is kept
  // so that the file is never copied.
  explicit MetafileRecorder(std::size_t expected_fills) {
    body_.reserve(kHeaderSize + expected_fills * kFillSize + kEofSize);
    body_.resize(kHeaderSize);
  }

  void FillRect(int left, int top, int right, int bottom, Brush brush) override {
    if (right <= left || bottom <= top) return;  // GDI draws nothing for an empty rectangle
    // A 151 x 151 symbol makes some eleven thousand of these: one template
    // copied and patched, rather than written field by field.
    std::uint8_t* fill = Grow(kFillSize);
    std::copy(kFillTemplate.begin(), kFillTemplate.end(), fill);
    Put32(fill + 8, brush == Brush::black ? kStockObject | kBlackBrush : kStockObject | kWhiteBrush);
    std::uint8_t* blit = fill + kSelectObjectSize;
    Put32(blit + 8, static_cast<std::uint32_t>(left));
    Put32(blit + 12, static_cast<std::uint32_t>(top));
    Put32(blit + 16, static_cast<std::uint32_t>(right - 1));
    Put32(blit + 20, static_cast<std::uint32_t>(bottom - 1));
    Put32(blit + 24, static_cast<std::uint32_t>(left));
    Put32(blit + 28, static_cast<std::uint32_t>(top));
    Put32(blit + 32, static_cast<std::uint32_t>(right - left));
    Put32(blit + 36, static_cast<std::uint32_t>(bottom - top));
    records_ += 3;
    if (!any_) {
      bounds_ = {left, top, right - 1, bottom - 1};
      any_ = true;
    } else {
      bounds_.left = std::min(bounds_.left, left);
      bounds_.top = std::min(bounds_.top, top);
      bounds_.right = std::max(bounds_.right, right - 1);
      bounds_.bottom = std::max(bounds_.bottom, bottom - 1);
    }
  }

  std::vector<std::uint8_t> Finish(std::uint32_t frame_right, std::uint32_t frame_bottom, const ScreenMetrics& screen) && {
    std::uint8_t* eof = Grow(kEofSize);
    Put32(eof, kEmrEof);
    Put32(eof + 4, kEofSize);
    Put32(eof + 8, 0);   // no palette entries
    Put32(eof + 12, 16);  // where they would start
    Put32(eof + 16, kEofSize);

    std::vector<std::uint8_t> header;
    header.reserve(kHeaderSize);
    ByteWriter w(header);
    w.U32(kEmrHeader);
    w.U32(kHeaderSize);
    if (any_) {
      w.I32(bounds_.left);
      w.I32(bounds_.top);
      w.I32(bounds_.right);
      w.I32(bounds_.bottom);
    } else {
      w.I32(0);
      w.I32(0);
      w.I32(-1);
      w.I32(-1);
    }
    w.I32(0);
    w.I32(0);
    w.U32(frame_right);
    w.U32(frame_bottom);
    w.U32(kEmfSignature);
    w.U32(kEmfVersion);
    w.U32(static_cast<std::uint32_t>(body_.size()));
    w.U32(records_ + 2);  // with the header and the end record
    w.U32(1);             // 16-bit handle count (only the reserved entry: stock objects take none), 16 bits reserved
    w.Zeros(2);           // no description
    w.Zeros(1);           // no palette
    w.U32(screen.desktop_horz_res);
    w.U32(screen.desktop_vert_res);
    w.U32(screen.horz_size_mm);
    w.U32(screen.vert_size_mm);
    w.Zeros(3);  // no pixel format, no OpenGL
    w.U32(screen.horz_size_mm * 1000);
    w.U32(screen.vert_size_mm * 1000);
    assert(header.size() == kHeaderSize);
    std::copy(header.begin(), header.end(), body_.begin());
    return std::move(body_);
  }

 private:
  std::uint8_t* Grow(std::size_t size) {
    body_.resize(body_.size() + size);
    return body_.data() + body_.size() - size;
  }

  struct Bounds {
    std::int32_t left, top, right, bottom;
  };
  std::vector<std::uint8_t> body_;
  std::uint32_t records_ = 0;
  Bounds bounds_{};
  bool any_ = false;
};

}  // namespace

void DrawBarcode(FillTarget& target, const ag_matrix& matrix, double point_width, double point_height) {
  assert(point_width >= 0 && point_height >= 0);
  target.FillRect(0, 0, static_cast<int>(matrix.width * point_width), static_cast<int>(matrix.height * point_height),
                  Brush::white);
  if (matrix.data == nullptr) return;
  for (std::uint32_t y = 0; y < matrix.height; ++y) {
    const std::uint8_t* row = matrix.data + static_cast<std::size_t>(y) * matrix.width;
    for (std::uint32_t x = 0; x < matrix.width; ++x) {
      if (row[x] == 0) continue;
      target.FillRect(static_cast<int>(x * point_width), static_cast<int>(y * point_height),
                      static_cast<int>((x + 1) * point_width), static_cast<int>((y + 1) * point_height), Brush::black);
    }
  }
}

std::optional<std::vector<std::uint8_t>> BarcodeMetafileBytes(const ag_matrix& matrix, const ScreenMetrics& screen) {
  if (!HasModules(matrix) || screen.desktop_horz_res == 0 || screen.desktop_vert_res == 0) return std::nullopt;
  if (matrix.width > kMaxMetafileSide || matrix.height > kMaxMetafileSide) return std::nullopt;
  // One module as large as one screen pixel, in hundredths of a millimetre;
  // the products first so that the division truncates once.
  const std::uint64_t frame_right = std::uint64_t{screen.horz_size_mm} * matrix.width * 100 / screen.desktop_horz_res;
  const std::uint64_t frame_bottom = std::uint64_t{screen.vert_size_mm} * matrix.height * 100 / screen.desktop_vert_res;
  if (frame_right > INT32_MAX || frame_bottom > INT32_MAX) return std::nullopt;
  const std::size_t dark = static_cast<std::size_t>(
      std::count_if(matrix.data, matrix.data + std::size_t{matrix.width} * matrix.height, [](std::uint8_t m) { return m != 0; }));
  MetafileRecorder recorder(dark + 1);
  DrawBarcode(recorder, matrix, 1.0, 1.0);
  return std::move(recorder).Finish(static_cast<std::uint32_t>(frame_right), static_cast<std::uint32_t>(frame_bottom), screen);
}

bool WriteBarcodeMetafile(const std::string& file_name, const ag_matrix& matrix, const ScreenMetrics& screen) {
  if (file_name.empty()) return false;
  const auto bytes = BarcodeMetafileBytes(matrix, screen);
  return bytes && WriteFileAtomically(file_name, {*bytes}) == AtomicWriteResult::ok;
}

std::optional<PixelImage> PreviewBitmapPixels(const ag_matrix& matrix, int zoom) {
  if (!HasModules(matrix) || zoom < 1) return std::nullopt;
  const std::uint64_t width = std::uint64_t{matrix.width} * static_cast<unsigned>(zoom);
  const std::uint64_t height = std::uint64_t{matrix.height} * static_cast<unsigned>(zoom);
  if (width > kPreviewMaxSide || height > kPreviewMaxSide) return std::nullopt;
  PixelImage image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<std::size_t>(width * height));
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* row = matrix.data + static_cast<std::size_t>(y / zoom) * matrix.width;
    std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
    for (int x = 0; x < image.width; ++x) out[x] = row[x / zoom] == 1 ? kPixelDark : kPixelLight;
  }
  return image;
}

}  // namespace tavrik
