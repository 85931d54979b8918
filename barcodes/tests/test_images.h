#pragma once
// Helpers of the barcode tests: module matrices without the generator,
// pictures for the decoder, PNG files from the independent renderer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "aztecgen/include/aztecgen.h"
#include "barcodes/BarcodeRendering.h"
#include "settings/init_settings_def.h"
#include "testsupport/TempDir.h"

namespace tavrik::test {

// The defaults of the current model, as a fresh program holds them.
inline Settings Defaults() {
  Settings s{};
  LoadDefaults(s);
  return s;
}

// A matrix that owns its modules, viewable as an ag_matrix.
struct TestMatrix {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> modules;
  ag_matrix view() { return {modules.data(), width, height}; }
};
// Rows of '0' and '1' as the fixture files hold them.
TestMatrix MatrixFromRows(const std::string& text);
// A deterministic scatter of dark modules.
TestMatrix PatternMatrix(std::uint32_t side, std::uint32_t seed);
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
std::string TestDataPath(const std::string& name);

// 8-bit grey pixels, rows from the top.
struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
// The matrix at `scale` pixels a module inside a light border of `quiet` modules.
GreyImage RenderForDecoder(const ag_matrix& matrix, int scale, int quiet);
GreyImage ToGrey(const PixelImage& image);
// A non-interlaced 8-bit grey, RGB or RGBA PNG; nothing for anything else.
std::optional<GreyImage> ReadPng(const std::string& path);

struct Decoded {
  bool valid = false;
  std::vector<std::uint8_t> bytes;
  bool reader_init = false;
  std::string symbology;
};
Decoded DecodeAztec(const GreyImage& image);
Decoded DecodeCode128(const GreyImage& image);

// Whether a program is on PATH.
bool OnPath(const std::string& program);
// A test that writes into a fresh folder, removed afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  // The names in the folder, sorted.
  std::vector<std::string> Entries() const { return temp_.Entries(); }
  TempDir temp_{"tavrik-barcodes"};
  std::string dir_ = temp_.str();
};

}  // namespace tavrik::test
