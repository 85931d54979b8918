#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "barcodes/Code128.h"
#include "barcodes/tests/test_images.h"

namespace tavrik {
namespace {

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(FirstBarcode, ReaderProgrammingSymbolThatTurnsAztecOn) {
  const PixelImage picture = FirstBarcodePicture();
  ASSERT_EQ(picture.width, kFirstBarcodeWidth);
  ASSERT_EQ(picture.height, kFirstBarcodeHeight);
  for (std::uint32_t p : picture.pixels) ASSERT_TRUE(p == kPixelDark || p == kPixelLight);
  const test::Decoded decoded = test::DecodeCode128(test::ToGrey(picture));
  ASSERT_TRUE(decoded.valid);
  EXPECT_EQ(Text(decoded.bytes), "1401");
  EXPECT_TRUE(decoded.reader_init);
  const std::uint8_t data[] = {kCode128Fnc3, '1' - 32, '4' - 32, '0' - 32, '1' - 32};
  EXPECT_EQ(Code128Check(data), 31);
  // Quiet zones of at least ten modules on both sides.
  for (int x = 0; x < kCode128QuietZone; ++x) {
    for (int y = 0; y < picture.height; ++y) {
      ASSERT_EQ(picture.at(x, y), kPixelLight);
      ASSERT_EQ(picture.at(picture.width - 1 - x, y), kPixelLight);
    }
  }
}

TEST(Code128, EveryPrintableCharacterOfSetBDecodes) {
  // Covers the patterns of the values 0 to 94 and the check arithmetic.
  std::string text;
  for (char c = 32; c < 127; ++c) text += c;
  struct Case {
    std::string text;
    int module_pixels;
  };
  const Case cases[] = {
      /*0*/ {text.substr(0, 48), 2},
      /*1*/ {text.substr(48), 2},
      /*2*/ {"Tavrik 7.60", 1},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    std::vector<std::uint8_t> values;
    ASSERT_TRUE(Code128SetBValues(cases[row].text, values));
    const int modules = static_cast<int>(values.size() + 3) * 11 + 2;
    const PixelImage picture =
        RenderCode128(values, cases[row].module_pixels, (modules + 2 * kCode128QuietZone) * cases[row].module_pixels, 40);
    ASSERT_FALSE(picture.pixels.empty());
    const test::Decoded decoded = test::DecodeCode128(test::ToGrey(picture));
    ASSERT_TRUE(decoded.valid);
    EXPECT_EQ(Text(decoded.bytes), cases[row].text);
    EXPECT_FALSE(decoded.reader_init);
  }
}

TEST(Code128, FncOneFirstMarksGs1) {
  std::vector<std::uint8_t> values;
  ASSERT_TRUE(Code128SetBValues("0112345678901231", values));
  values.insert(values.begin(), kCode128Fnc1);
  const PixelImage picture = RenderCode128(values, 2, 600, 40);
  const test::Decoded decoded = test::DecodeCode128(test::ToGrey(picture));
  ASSERT_TRUE(decoded.valid);
  EXPECT_EQ(decoded.symbology, "]C1");
}

TEST(Code128, RefusesWhatDoesNotFit) {
  std::vector<std::uint8_t> values;
  EXPECT_FALSE(Code128SetBValues("\x7f\x80", values));
  EXPECT_FALSE(Code128SetBValues("tab\t", values));
  ASSERT_TRUE(Code128SetBValues("1401", values));
  // 79 modules and two quiet zones need 99 pixels at one pixel a module.
  EXPECT_TRUE(RenderCode128(values, 1, 98, 10).pixels.empty());
  EXPECT_EQ(RenderCode128(values, 1, 99, 10).width, 99);
  EXPECT_TRUE(RenderCode128(values, 0, 500, 10).pixels.empty());
  // Start codes, the stop code and bytes beyond them are no data: nothing is
  // looked up for them.
  for (std::uint8_t bad : {103, 104, 106, 107, 255}) {
    SCOPED_TRACE(static_cast<int>(bad));
    const std::uint8_t data[] = {17, bad};
    EXPECT_TRUE(Code128Modules(data).empty());
    EXPECT_TRUE(RenderCode128(data, 1, 500, 10).pixels.empty());
  }
  const std::uint8_t fnc4_last[] = {100};
  EXPECT_EQ(Code128Modules(fnc4_last).size(), 4u * 11 + 2);
}

}  // namespace
}  // namespace tavrik
