#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "barcodes/BarcodeRendering.h"
#include "barcodes/tests/test_images.h"

namespace tavrik {
namespace {

using test::TestMatrix;

struct Fill {
  int left, top, right, bottom;
  Brush brush;
  bool operator==(const Fill&) const = default;
};

class RecordingTarget : public FillTarget {
 public:
  void FillRect(int left, int top, int right, int bottom, Brush brush) override {
    fills.push_back({left, top, right, bottom, brush});
  }
  std::vector<Fill> fills;
};

TEST(DrawBarcode, WhiteBackgroundThenOneBlackRectanglePerDarkModule) {
  struct Case {
    double point_width, point_height;
    std::vector<Fill> expected;
  };
  // Modules: row 0 "1 0 2", row 1 "0 0 1": every non-zero value is dark.
  TestMatrix m{3, 2, {1, 0, 2, 0, 0, 1}};
  const Case cases[] = {
      /*0*/ {1.0, 1.0,
             {{0, 0, 3, 2, Brush::white}, {0, 0, 1, 1, Brush::black}, {2, 0, 3, 1, Brush::black}, {2, 1, 3, 2, Brush::black}}},
      /*1*/ {2.5, 1.5,  // edges truncated after the multiplication, not before
             {{0, 0, 7, 3, Brush::white}, {0, 0, 2, 1, Brush::black}, {5, 0, 7, 1, Brush::black}, {5, 1, 7, 3, Brush::black}}},
      /*2*/ {0.0, 0.0,
             {{0, 0, 0, 0, Brush::white}, {0, 0, 0, 0, Brush::black}, {0, 0, 0, 0, Brush::black}, {0, 0, 0, 0, Brush::black}}},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    RecordingTarget target;
    DrawBarcode(target, m.view(), cases[row].point_width, cases[row].point_height);
    EXPECT_EQ(target.fills, cases[row].expected);
  }
}

// The screen of the reference recording.
constexpr ScreenMetrics kFixtureScreen{271, 203, 1024, 768};

TEST(BarcodeMetafile, ByteForByteAsGdiRecordsIt) {
  std::ifstream in(test::TestDataPath("gdi-fillrect-23x23.matrix.txt"));
  const std::string rows((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TestMatrix m = test::MatrixFromRows(rows);
  ASSERT_EQ(m.width, 23u);
  ASSERT_EQ(m.height, 23u);
  const auto bytes = BarcodeMetafileBytes(m.view(), kFixtureScreen);
  ASSERT_TRUE(bytes);
  const std::vector<std::uint8_t> expected = test::ReadFileBytes(test::TestDataPath("gdi-fillrect-23x23.emf"));
  ASSERT_EQ(bytes->size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ((*bytes)[i], expected[i]) << "first difference at byte " << i;
  }
}

// A reader of the records, written from the file format, not from the writer.
struct EmfReader {
  const std::vector<std::uint8_t>& bytes;
  std::size_t at = 0;
  std::uint32_t U32(std::size_t offset) const {
    std::uint32_t v;
    std::memcpy(&v, &bytes[offset], 4);
    return v;
  }
  std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
  float F32(std::size_t offset) const {
    float f;
    std::memcpy(&f, &bytes[offset], 4);
    return f;
  }
};

// The records behind the header, read by the file format: select brush,
// pattern blit, white brush back, until the end record; the fills in order.
void ReadFills(const std::vector<std::uint8_t>& bytes, std::vector<Fill>& fills) {
  const EmfReader r{bytes};
  const std::uint32_t records = r.U32(52);
  std::size_t at = 108;
  std::uint32_t seen = 1;
  std::uint32_t selected = 0x80000000u;
  bool eof = false;
  while (at + 8 <= bytes.size() && !eof) {
    const std::uint32_t type = r.U32(at), size = r.U32(at + 4);
    ASSERT_GE(size, 8u);
    ASSERT_LE(at + size, bytes.size());
    ++seen;
    switch (type) {
      case 37:  // EMR_SELECTOBJECT
        ASSERT_EQ(size, 12u);
        selected = r.U32(at + 8);
        ASSERT_TRUE(selected == 0x80000000u || selected == 0x80000004u) << std::hex << selected;
        break;
      case 76: {  // EMR_BITBLT
        ASSERT_EQ(size, 100u);
        const int left = r.I32(at + 8), top = r.I32(at + 12), right = r.I32(at + 16), bottom = r.I32(at + 20);
        EXPECT_EQ(r.I32(at + 24), left);
        EXPECT_EQ(r.I32(at + 28), top);
        EXPECT_EQ(r.I32(at + 32), right - left + 1);
        EXPECT_EQ(r.I32(at + 36), bottom - top + 1);
        EXPECT_EQ(r.U32(at + 40), 0x00F00021u);  // PATCOPY
        EXPECT_EQ(r.F32(at + 52), 1.0f);
        EXPECT_EQ(r.F32(at + 56), 0.0f);
        EXPECT_EQ(r.F32(at + 60), 0.0f);
        EXPECT_EQ(r.F32(at + 64), 1.0f);
        for (std::size_t field = 76; field < 100; field += 4) EXPECT_EQ(r.U32(at + field), 0u) << "no source bitmap";
        fills.push_back({left, top, right + 1, bottom + 1, selected == 0x80000004u ? Brush::black : Brush::white});
        break;
      }
      case 14:  // EMR_EOF
        EXPECT_EQ(size, 20u);
        EXPECT_EQ(at + size, bytes.size());
        eof = true;
        break;
      default: FAIL() << "unexpected record " << type;
    }
    if (type == 76) {
      // The brush goes back to white after every fill.
      const std::size_t next = at + size;
      ASSERT_EQ(r.U32(next), 37u);
      ASSERT_EQ(r.U32(next + 8), 0x80000000u);
    }
    at += size;
  }
  EXPECT_TRUE(eof);
  EXPECT_EQ(seen, records);

}

TEST(BarcodeMetafile, RecordsReadBackToTheMatrix) {
  TestMatrix m = test::PatternMatrix(19, 7);
  const auto bytes = BarcodeMetafileBytes(m.view(), kHeadlessScreen);
  ASSERT_TRUE(bytes);
  const EmfReader r{*bytes};
  // Header.
  ASSERT_GE(bytes->size(), 108u);
  EXPECT_EQ(r.U32(0), 1u);
  EXPECT_EQ(r.U32(4), 108u);
  EXPECT_EQ(r.I32(8), 0);
  EXPECT_EQ(r.I32(12), 0);
  EXPECT_EQ(r.I32(16), 18);  // inclusive bounds
  EXPECT_EQ(r.I32(20), 18);
  EXPECT_EQ(r.I32(24), 0);
  EXPECT_EQ(r.I32(28), 0);
  EXPECT_EQ(r.I32(32), 508 * 19 * 100 / 1920);  // 19 pixels of a 96 dpi screen in 0.01 mm
  EXPECT_EQ(r.I32(36), 286 * 19 * 100 / 1080);
  EXPECT_EQ(r.U32(40), 0x464D4520u);
  EXPECT_EQ(r.U32(44), 0x10000u);
  EXPECT_EQ(r.U32(48), bytes->size());
  EXPECT_EQ(bytes->at(56) | bytes->at(57) << 8, 1);  // nHandles
  EXPECT_EQ(r.U32(60), 0u);                           // no description
  EXPECT_EQ(r.U32(72), 1920u);
  EXPECT_EQ(r.U32(76), 1080u);
  EXPECT_EQ(r.U32(80), 508u);
  EXPECT_EQ(r.U32(84), 286u);
  EXPECT_EQ(r.U32(100), 508000u);
  EXPECT_EQ(r.U32(104), 286000u);

  // Fills: select brush, pattern blit, white brush back.
  std::vector<Fill> fills;
  ReadFills(*bytes, fills);
  RecordingTarget drawn;
  DrawBarcode(drawn, m.view(), 1.0, 1.0);
  EXPECT_EQ(fills, drawn.fills);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills.front(), (Fill{0, 0, 19, 19, Brush::white}));
}

// The reference recording read by the format alone: its black fills are the
// dark modules of its matrix, one square each, and nothing else.
TEST(BarcodeMetafile, TheReferenceRecordingHoldsItsMatrix) {
  std::ifstream in(test::TestDataPath("gdi-fillrect-23x23.matrix.txt"));
  const std::string rows((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TestMatrix m = test::MatrixFromRows(rows);
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(test::TestDataPath("gdi-fillrect-23x23.emf"));
  ASSERT_GE(bytes.size(), 108u);
  const EmfReader r{bytes};
  EXPECT_EQ(r.U32(0), 1u);
  EXPECT_EQ(r.U32(40), 0x464D4520u);
  EXPECT_EQ(r.U32(48), bytes.size());
  std::vector<Fill> fills;
  ReadFills(bytes, fills);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills.front().brush, Brush::white) << "the page first";
  std::vector<Fill> black;
  for (const Fill& f : fills) {
    if (f.brush == Brush::black) black.push_back(f);
  }
  ASSERT_FALSE(black.empty());
  const int side = black.front().right - black.front().left;
  ASSERT_GT(side, 0);
  std::vector<std::uint8_t> seen(m.width * m.height, 0);
  for (const Fill& f : black) {
    EXPECT_EQ(f.right - f.left, side);
    EXPECT_EQ(f.bottom - f.top, side);
    EXPECT_EQ(f.left % side, 0);
    EXPECT_EQ(f.top % side, 0);
    const int x = f.left / side, y = f.top / side;
    ASSERT_LT(x, static_cast<int>(m.width));
    ASSERT_LT(y, static_cast<int>(m.height));
    seen[y * m.width + x] = 1;
  }
  for (std::uint32_t i = 0; i < m.width * m.height; ++i) EXPECT_EQ(seen[i], m.modules[i] != 0 ? 1 : 0) << "module " << i;
  EXPECT_EQ(black.size(), static_cast<std::size_t>(std::count_if(m.modules.begin(), m.modules.end(), [](std::uint8_t v) {
              return v != 0;
            })));
}

TEST(BarcodeMetafile, RefusesWhatItCannotDraw) {
  TestMatrix empty;
  EXPECT_FALSE(BarcodeMetafileBytes(empty.view(), kHeadlessScreen));
  TestMatrix one{1, 1, {1}};
  EXPECT_FALSE(BarcodeMetafileBytes(one.view(), ScreenMetrics{508, 286, 0, 1080}));
  EXPECT_TRUE(BarcodeMetafileBytes(one.view(), kHeadlessScreen));
  std::vector<std::uint8_t> tall(kMaxMetafileSide + 1);
  EXPECT_FALSE(BarcodeMetafileBytes(ag_matrix{tall.data(), 1, kMaxMetafileSide + 1}, kHeadlessScreen));
  EXPECT_TRUE(BarcodeMetafileBytes(ag_matrix{tall.data(), 1, kMaxMetafileSide}, kHeadlessScreen));
  ag_matrix no_data{nullptr, 5, 5};
  EXPECT_FALSE(BarcodeMetafileBytes(no_data, kHeadlessScreen));
}

class MetafileFiles : public test::TempDirTest {};

TEST_F(MetafileFiles, WritesTheBytesAndLeavesNothingElse) {
  TestMatrix m = test::PatternMatrix(15, 3);
  const std::string name = dir_ + "/scan_New.emf";
  {
    std::ofstream old(name, std::ios::binary);
    old << "an older, longer file that is replaced as a whole";
  }
  ASSERT_TRUE(WriteBarcodeMetafile(name, m.view(), kHeadlessScreen));
  EXPECT_EQ(test::ReadFileBytes(name), *BarcodeMetafileBytes(m.view(), kHeadlessScreen));
  EXPECT_EQ(Entries(), std::vector<std::string>{"scan_New.emf"});
}

TEST_F(MetafileFiles, FailureLeavesNoFileAndNoTemporary) {
  TestMatrix m = test::PatternMatrix(15, 3);
  // A missing folder, and a name that is a folder.
  EXPECT_FALSE(WriteBarcodeMetafile(dir_ + "/missing/scan.emf", m.view()));
  std::filesystem::create_directory(dir_ + "/taken.emf");
  EXPECT_FALSE(WriteBarcodeMetafile(dir_ + "/taken.emf", m.view()));
  EXPECT_FALSE(WriteBarcodeMetafile("", m.view()));
  TestMatrix empty;
  EXPECT_FALSE(WriteBarcodeMetafile(dir_ + "/empty.emf", empty.view()));
  EXPECT_EQ(Entries(), std::vector<std::string>{"taken.emf"});
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// The metafile as an independent renderer draws it, compared module by module.
TEST_F(MetafileFiles, IndependentRendererShowsEveryModule) {
  ASSERT_TRUE(test::OnPath("emf2svg-conv")) << "emf2svg-conv (Debian emf2svg) is needed";
  ASSERT_TRUE(test::OnPath("rsvg-convert")) << "rsvg-convert (Debian librsvg2-bin) is needed";
  for (std::uint32_t side : {15u, 19u, 151u}) {
    SCOPED_TRACE("side " + std::to_string(side));
    TestMatrix m = test::PatternMatrix(side, side);
    const std::string emf = dir_ + "/s.emf", svg = dir_ + "/s.svg", png = dir_ + "/s.png";
    ASSERT_TRUE(WriteBarcodeMetafile(emf, m.view(), kHeadlessScreen));
    ASSERT_EQ(std::system(("emf2svg-conv -i " + Quoted(emf) + " -o " + Quoted(svg) + " >/dev/null 2>&1").c_str()), 0);
    // The converter sizes its picture from the inclusive bounds, one unit short;
    // the page is given the symbol's full size so that nothing is cut.
    const int scale = 4;
    const std::string page = std::to_string(side * scale);
    ASSERT_EQ(std::system(("rsvg-convert -z " + std::to_string(scale) + " --page-width " + page + " --page-height " +
                           page + " -b white -o " + Quoted(png) + " " + Quoted(svg) + " 2>/dev/null")
                              .c_str()),
              0);
    const auto image = test::ReadPng(png);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, static_cast<int>(side) * scale);
    ASSERT_EQ(image->height, static_cast<int>(side) * scale);
    int wrong = 0;
    for (std::uint32_t y = 0; y < side; ++y) {
      for (std::uint32_t x = 0; x < side; ++x) {
        const bool dark = image->at(static_cast<int>(x) * scale + scale / 2, static_cast<int>(y) * scale + scale / 2) < 128;
        if (dark != (m.modules[y * side + x] != 0) && ++wrong <= 5) ADD_FAILURE() << "module " << x << ", " << y;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(PreviewBitmapPixels, SizesAndTheLargestPreview) {
  struct Case {
    std::uint32_t side;
    int zoom;
    int expected_side;  // 0: refused
  };
  const Case cases[] = {
      /*0*/ {19, 3, 57},
      /*1*/ {91, 3, 0},    // 273 pixels
      /*2*/ {91, 2, 182},
      /*3*/ {62, 4, 248},  // the largest symbol at zoom 4 ...
      /*4*/ {63, 4, 0},    // ... and the first one refused
      /*5*/ {125, 2, 250}, // exactly the limit
      /*6*/ {151, 2, 0},
      /*7*/ {15, 0, 0},    // no zoom
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    TestMatrix m = test::PatternMatrix(cases[row].side, 1);
    const auto image = PreviewBitmapPixels(m.view(), cases[row].zoom);
    if (cases[row].expected_side == 0) {
      EXPECT_FALSE(image);
      continue;
    }
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, cases[row].expected_side);
    EXPECT_EQ(image->height, cases[row].expected_side);
    EXPECT_EQ(image->pixels.size(), static_cast<std::size_t>(cases[row].expected_side) * cases[row].expected_side);
  }
}

TEST(PreviewBitmapPixels, EachModuleAZoomByZoomBlock) {
  // Row 0 "1 0", row 1 "2 1": only 1 is dark in the preview.
  TestMatrix m{2, 2, {1, 0, 2, 1}};
  const auto image = PreviewBitmapPixels(m.view(), 3);
  ASSERT_TRUE(image);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const std::uint8_t module = m.modules[(y / 3) * 2 + x / 3];
      EXPECT_EQ(image->at(x, y), module == 1 ? kPixelDark : kPixelLight) << x << ", " << y;
    }
  }
  TestMatrix wide{3, 1, {1, 0, 1}};
  const auto strip = PreviewBitmapPixels(wide.view(), 2);
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->width, 6);
  EXPECT_EQ(strip->height, 2);
  EXPECT_EQ(strip->at(5, 1), kPixelDark);
  EXPECT_EQ(strip->at(2, 0), kPixelLight);
}

}  // namespace
}  // namespace tavrik
