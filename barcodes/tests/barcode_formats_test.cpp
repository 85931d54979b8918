// The print formats of the configuration barcodes: the choice of format from
// the save dialog, and SVG, PDF and PNG files that independent renderers turn
// back into the symbols, at the physical size asked for.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "barcodes/BarcodeFormats.h"
#include "barcodes/BarcodeImages.h"
#include "barcodes/GroupBarcode.h"
#include "barcodes/tests/test_images.h"

namespace tavrik {
namespace {

using test::Defaults;

TEST(BarcodeFormats, SaveDialogOffersTheFourFiltersWithMetafilesFirst) {
  const FileDialog dialog = BarcodeSaveDialog();
  ASSERT_EQ(dialog.filters.size(), 4u);
  const char* const names[] = {"Метафайлы (*.emf)", "SVG (*.svg)", "PDF (*.pdf)", "PNG (*.png)"};
  const char* const patterns[] = {"*.emf", "*.svg", "*.pdf", "*.png"};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(dialog.filters[i].name, names[i]);
    EXPECT_EQ(dialog.filters[i].pattern, patterns[i]);
  }
  EXPECT_EQ(dialog.default_extension, "emf");
  EXPECT_EQ(dialog.chosen_filter, nullptr);
}

TEST(BarcodeFormats, FormatFollowsTheExtensionThenTheFilter) {
  using F = BarcodeFormat;
  struct Case {
    const char* path;
    int filter;
    F expected;
  };
  const Case cases[] = {
      /*0*/ {"scan.emf", 0, F::emf},
      /*1*/ {"scan.svg", 1, F::svg},
      /*2*/ {"scan.pdf", 2, F::pdf},
      /*3*/ {"scan.png", 3, F::png},
      /*4*/ {"scan.PNG", 0, F::png},            // the name wins over the filter, whatever its case
      /*5*/ {"scan.emf", 1, F::emf},            // typed .emf under the SVG filter: a metafile
      /*6*/ {"scan", 2, F::pdf},                // no extension: the filter
      /*7*/ {"scan.b", 3, F::png},              // an unknown extension: the filter
      /*8*/ {"/tmp/v.svg/scan", 0, F::emf},     // a dot in a folder is no extension
      /*9*/ {"scan", -1, F::emf},               // no filter reported: the default
      /*10*/ {"scan", 4, F::emf},               // an index past the list: the default
      /*11*/ {"", 1, F::svg},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(ChosenBarcodeFormat(cases[row].path, cases[row].filter), cases[row].expected);
  }
}

// One picture of a symbol as a renderer outside the program draws it.
struct Rendered {
  std::optional<test::GreyImage> image;
  std::string text;  // the file itself, for the vector formats
};

// 254 dpi: ten pixels a millimetre, so a 0.5 mm module is five pixels.
constexpr int kRenderDpi = 254;

Rendered RenderOutside(const std::string& file, BarcodeFormat format, const std::string& dir) {
  Rendered r;
  const std::string png = dir + "/rendered.png";
  std::filesystem::remove(png);
  std::string command;
  if (format == BarcodeFormat::svg) {
    command = "rsvg-convert --dpi-x " + std::to_string(kRenderDpi) + " --dpi-y " + std::to_string(kRenderDpi) +
              " -o '" + png + "' '" + file + "'";
  } else if (format == BarcodeFormat::pdf) {
    command = "pdftoppm -r " + std::to_string(kRenderDpi) + " -png -singlefile '" + file + "' '" + dir + "/rendered'";
  } else {
    std::filesystem::copy_file(file, png);
  }
  if (!command.empty() && std::system(command.c_str()) != 0) return r;
  r.image = test::ReadPng(png);
  const auto bytes = test::ReadFileBytes(file);
  r.text.assign(bytes.begin(), bytes.end());
  return r;
}

// Every pixel as the symbol at `scale` pixels a module with the quiet zone
// gives it, edges included: the squares are exact and in place.
void ExpectSameModules(const test::GreyImage& image, const ag_matrix& symbol, int scale) {
  const test::GreyImage expected = test::RenderForDecoder(symbol, scale, 2);
  // A PDF page is a whole number of points, which the renderer may round up
  // to one more pixel.
  ASSERT_NEAR(image.width, expected.width, 1);
  ASSERT_NEAR(image.height, expected.height, 1);
  int wrong = 0;
  for (int y = 0; y < std::min(image.height, expected.height); ++y) {
    for (int x = 0; x < std::min(image.width, expected.width); ++x) {
      wrong += (image.at(x, y) < 128) != (expected.at(x, y) < 128);
    }
  }
  EXPECT_EQ(wrong, 0);
}

class PrintFiles : public test::TempDirTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::OnPath("rsvg-convert") && test::OnPath("pdftoppm"));
    const std::string text = OldFormText(false, settings_);
    ASSERT_EQ(GenerateConfigBarcode(old_form_, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}),
              ag_ok);
    ASSERT_EQ(BuildGroupBarcode(group_, settings_), GroupBarcodeResult::ok);
    payloads_[0].assign(text.begin(), text.end());
    payloads_[1] = *PackGroupPayload(GroupBarcodePlain(settings_));
  }
  Settings settings_ = Defaults();
  ag_matrix_ptr old_form_, group_;
  std::vector<std::uint8_t> payloads_[2];
};

TEST_F(PrintFiles, EachFormatDecodesToTheMetafilePayloadsAtTheirPhysicalSize) {
  const BarcodeFormat formats[] = {BarcodeFormat::svg, BarcodeFormat::pdf, BarcodeFormat::png};
  for (BarcodeFormat format : formats) {
    const std::string extension = BarcodeFormatSpecOf(format).extension;
    SCOPED_TRACE(extension);
    ASSERT_EQ(SaveBarcodeFilesAs(dir_ + "/scan." + extension, format, false, {}, kHeadlessScreen, settings_),
              SaveBarcodeResult::saved);
    const std::string names[] = {dir_ + "/scan_Old." + extension, dir_ + "/scan_New." + extension};
    const ag_matrix* symbols[] = {old_form_.get(), group_.get()};
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(names[i]);
      const Rendered r = RenderOutside(names[i], format, dir_);
      ASSERT_TRUE(r.image);
      const test::Decoded decoded = test::DecodeAztec(*r.image);
      ASSERT_TRUE(decoded.valid);
      EXPECT_TRUE(decoded.reader_init);
      EXPECT_EQ(decoded.bytes, payloads_[i]);
      const double side_mm = (symbols[i]->width + 4) * 0.5;
      if (format == BarcodeFormat::svg) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(r.text, m, std::regex(R"re(width="([0-9.]+)mm")re")));
        EXPECT_NEAR(std::stod(m[1]), side_mm, 1e-6);
      }
      if (format == BarcodeFormat::png) {
        // 0.5 mm at 300 dpi is 5.9 pixels: six whole ones, 0.508 mm.
        ExpectSameModules(*r.image, *symbols[i], 6);
      } else {
        ExpectSameModules(*r.image, *symbols[i], 5);
      }
    }
  }
}

TEST_F(PrintFiles, PngStatesItsResolutionSoThatItPrintsAtSize) {
  struct Case {
    PrintGeometry geometry;
    int module_pixels;
    std::uint32_t pixels_per_metre;
  };
  const Case cases[] = {
      /*0*/ {{}, 6, 11811},                 // 300 dpi
      /*1*/ {{0.33, 2, 600}, 8, 23622},     // 7.8 pixels round up
      /*2*/ {{0.1, 2, 72}, 1, 2835},        // below a pixel: one pixel
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(PngModulePixels(cases[row].geometry), cases[row].module_pixels);
    const auto png = BarcodeImageBytes(*group_, BarcodeFormat::png, cases[row].geometry);
    ASSERT_TRUE(png);
    const std::string bytes(png->begin(), png->end());
    const std::size_t at = bytes.find("pHYs");
    ASSERT_NE(at, std::string::npos);
    const auto u32 = [&](std::size_t i) {
      return std::uint32_t{(*png)[i]} << 24 | std::uint32_t{(*png)[i + 1]} << 16 | std::uint32_t{(*png)[i + 2]} << 8 |
             (*png)[i + 3];
    };
    EXPECT_EQ(u32(at + 4), cases[row].pixels_per_metre);
    EXPECT_EQ(u32(at + 8), cases[row].pixels_per_metre);
    EXPECT_EQ((*png)[at + 12], 1);  // metres
    EXPECT_EQ(u32(16), (group_->width + 4) * cases[row].module_pixels);
  }
}

TEST_F(PrintFiles, AnotherModuleSizeScalesTheVectorPictures) {
  // 0.3 mm is three pixels at the renderer's 254 dpi.
  const PrintGeometry geometry{0.3, 2, 300};
  for (BarcodeFormat format : {BarcodeFormat::svg, BarcodeFormat::pdf}) {
    const std::string extension = BarcodeFormatSpecOf(format).extension;
    SCOPED_TRACE(extension);
    ASSERT_EQ(SaveBarcodeFilesAs(dir_ + "/small." + extension, format, false, geometry, kHeadlessScreen, settings_),
              SaveBarcodeResult::saved);
    const Rendered r = RenderOutside(dir_ + "/small_New." + extension, format, dir_);
    ASSERT_TRUE(r.image);
    ExpectSameModules(*r.image, *group_, 3);
    EXPECT_TRUE(test::DecodeAztec(*r.image).valid);
  }
}

TEST_F(PrintFiles, MetafilesThroughTheFormatSaveAreTheOldOnes) {
  ASSERT_EQ(SaveBarcodeFilesAs(dir_ + "/a.emf", BarcodeFormat::emf, true, {}, kHeadlessScreen, settings_),
            SaveBarcodeResult::saved);
  ASSERT_EQ(SaveBarcodeFiles(dir_ + "/b.emf", true, kHeadlessScreen, settings_), SaveBarcodeResult::saved);
  EXPECT_EQ(test::ReadFileBytes(dir_ + "/a_Old.emf"), test::ReadFileBytes(dir_ + "/b_Old.emf"));
  EXPECT_EQ(test::ReadFileBytes(dir_ + "/a_New.emf"), test::ReadFileBytes(dir_ + "/b_New.emf"));
}

TEST_F(PrintFiles, FailuresLeaveNoPartialFile) {
  // A folder that is not there.
  EXPECT_EQ(SaveBarcodeFilesAs(dir_ + "/missing/scan.svg", BarcodeFormat::svg, false, {}, kHeadlessScreen, settings_),
            SaveBarcodeResult::write_failed);
  // A geometry no printer can use.
  EXPECT_EQ(SaveBarcodeFilesAs(dir_ + "/zero.pdf", BarcodeFormat::pdf, false, {0, 2, 300}, kHeadlessScreen, settings_),
            SaveBarcodeResult::write_failed);
  EXPECT_TRUE(Entries().empty());
  // Nothing to draw.
  const ag_matrix empty{nullptr, 0, 0};
  EXPECT_FALSE(BarcodeImageBytes(empty, BarcodeFormat::svg));
  EXPECT_FALSE(BarcodeImageBytes(*group_, BarcodeFormat::emf));
}

TEST_F(PrintFiles, APairIsReplacedWholeOrNotAtAll) {
  // "_Old" can be written, "_New" cannot: the old pair stays a pair, in every format.
  for (const BarcodeFormatSpec& spec : kBarcodeFormats) {
    SCOPED_TRACE(spec.extension);
    const std::string ext = spec.extension;
    const std::string old_name = dir_ + "/scan_Old." + ext;
    const std::vector<std::uint8_t> earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};
    std::ofstream(old_name, std::ios::binary).write(reinterpret_cast<const char*>(earlier.data()),
                                                    static_cast<std::streamsize>(earlier.size()));
    std::filesystem::create_directory(dir_ + "/scan_New." + ext);
    EXPECT_EQ(SaveBarcodeFilesAs(dir_ + "/scan." + ext, spec.format, false, {}, kHeadlessScreen, settings_),
              SaveBarcodeResult::write_failed);
    EXPECT_EQ(test::ReadFileBytes(old_name), earlier);
    EXPECT_TRUE(std::filesystem::is_directory(dir_ + "/scan_New." + ext));
    std::filesystem::remove(dir_ + "/scan_New." + ext);
    std::filesystem::remove(old_name);
    EXPECT_TRUE(Entries().empty()) << "no temporary is left";
  }
}

TEST_F(PrintFiles, PngIsOneBitAPixelAndItsSizeIsBoundedBeforeDrawing) {
  struct Case {
    PrintGeometry geometry;
    SaveBarcodeResult expected;
  };
  // The old-form symbol is the larger one; a side of it with the quiet zone.
  const std::uint32_t modules = std::max(old_form_->width, group_->width) + 4;
  const auto module_mm_for = [](int pixels, double dpi) { return pixels * 25.4 / dpi; };
  const int largest_module = static_cast<int>(kMaxPngSide / modules);
  const Case cases[] = {
      /*0*/ {{}, SaveBarcodeResult::saved},
      /*1*/ {{module_mm_for(largest_module, 2400), 2, 2400}, SaveBarcodeResult::saved},  // just fits
      /*2*/ {{module_mm_for(largest_module + 1, 2400), 2, 2400}, SaveBarcodeResult::too_large},
      /*3*/ {{5, 2, 2400}, SaveBarcodeResult::too_large},
      /*4*/ {{25, 2, 2400}, SaveBarcodeResult::too_large},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const std::string name = dir_ + "/big" + std::to_string(row) + ".png";
    ASSERT_EQ(SaveBarcodeFilesAs(name, BarcodeFormat::png, false, cases[row].geometry, kHeadlessScreen, settings_),
              cases[row].expected);
    if (cases[row].expected != SaveBarcodeResult::saved) continue;
    const auto bytes = test::ReadFileBytes(dir_ + "/big" + std::to_string(row) + "_New.png");
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes[8 + 8 + 8], 1) << "bit depth";
    EXPECT_EQ(bytes[8 + 8 + 9], 0) << "grey";
    if (row == 0) {
      const auto image = test::ReadPng(dir_ + "/big0_New.png");
      ASSERT_TRUE(image);
      ExpectSameModules(*image, *group_, 6);
      EXPECT_TRUE(test::DecodeAztec(*image).valid);
    }
  }
  EXPECT_EQ(PngSidePixels(group_->width, {}), (group_->width + 4) * 6u);
  EXPECT_FALSE(BarcodeImageBytes(*old_form_, BarcodeFormat::png, {25, 2, 2400}));
}

}  // namespace
}  // namespace tavrik
