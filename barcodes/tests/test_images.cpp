#include "barcodes/tests/test_images.h"

#include <ZXing/ReadBarcode.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace tavrik::test {

TestMatrix MatrixFromRows(const std::string& text) {
  TestMatrix m;
  std::istringstream in(text);
  std::string row;
  while (std::getline(in, row)) {
    if (row.empty()) continue;
    m.width = static_cast<std::uint32_t>(row.size());
    for (char c : row) m.modules.push_back(c == '1' ? 1 : 0);
    ++m.height;
  }
  return m;
}

TestMatrix PatternMatrix(std::uint32_t side, std::uint32_t seed) {
  TestMatrix m{side, side, std::vector<std::uint8_t>(std::size_t{side} * side)};
  std::mt19937 random(seed);
  for (auto& module : m.modules) module = static_cast<std::uint8_t>(random() & 1);
  return m;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TestDataPath(const std::string& name) { return std::string(TAVRIK_BARCODES_TESTDATA) + "/" + name; }

GreyImage RenderForDecoder(const ag_matrix& matrix, int scale, int quiet) {
  GreyImage image;
  image.width = (static_cast<int>(matrix.width) + 2 * quiet) * scale;
  image.height = (static_cast<int>(matrix.height) + 2 * quiet) * scale;
  image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 255);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const int mx = x / scale - quiet;
      const int my = y / scale - quiet;
      if (mx < 0 || my < 0 || mx >= static_cast<int>(matrix.width) || my >= static_cast<int>(matrix.height)) continue;
      if (matrix.data[static_cast<std::size_t>(my) * matrix.width + mx] != 0) {
        image.pixels[static_cast<std::size_t>(y) * image.width + x] = 0;
      }
    }
  }
  return image;
}

GreyImage ToGrey(const PixelImage& image) {
  GreyImage grey{image.width, image.height, {}};
  grey.pixels.reserve(image.pixels.size());
  for (std::uint32_t p : image.pixels) grey.pixels.push_back(static_cast<std::uint8_t>(p & 0xFF));
  return grey;
}

namespace {

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

Decoded Decode(const GreyImage& image, ZXing::BarcodeFormat format) {
  const ZXing::ImageView view(image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum);
  const auto hints = ZXing::DecodeHints().setFormats(format).setTryHarder(true);
  const ZXing::Result result = ZXing::ReadBarcode(view, hints);
  Decoded d;
  d.valid = result.isValid();
  if (d.valid) {
    d.bytes.assign(result.bytes().begin(), result.bytes().end());
    d.reader_init = result.readerInit();
    d.symbology = result.symbologyIdentifier();
  }
  return d;
}

}  // namespace

std::optional<GreyImage> ReadPng(const std::string& path) {
  const std::vector<std::uint8_t> file = ReadFileBytes(path);
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 8 || !std::equal(std::begin(kSignature), std::end(kSignature), file.begin())) return std::nullopt;
  int width = 0, height = 0, channels = 0, depth = 8;
  std::vector<std::uint8_t> compressed;
  for (std::size_t at = 8; at + 12 <= file.size();) {
    const std::uint32_t length = BigEndian32(&file[at]);
    if (at + 12 + length > file.size()) return std::nullopt;
    const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
    const std::uint8_t* data = &file[at + 8];
    if (type == "IHDR") {
      width = static_cast<int>(BigEndian32(data));
      height = static_cast<int>(BigEndian32(data + 4));
      const int colour = data[9], interlace = data[12];
      depth = data[8];
      // Eight bits a sample, or one bit of grey.
      if ((depth != 8 && !(depth == 1 && colour == 0)) || interlace != 0) return std::nullopt;
      channels = colour == 0 ? 1 : colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 0;
      if (channels == 0) return std::nullopt;
    } else if (type == "IDAT") {
      compressed.insert(compressed.end(), data, data + length);
    }
    at += 12 + length;
  }
  if (width <= 0 || height <= 0) return std::nullopt;
  const std::size_t stride =
      depth == 1 ? (static_cast<std::size_t>(width) + 7) / 8 : static_cast<std::size_t>(width) * channels;
  std::vector<std::uint8_t> raw((stride + 1) * height);
  uLongf raw_size = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &raw_size, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK ||
      raw_size != raw.size()) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> pixels(stride * height);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t filter = raw[y * (stride + 1)];
    const std::uint8_t* in = &raw[y * (stride + 1) + 1];
    std::uint8_t* out = &pixels[y * stride];
    const std::uint8_t* up = y > 0 ? &pixels[(y - 1) * stride] : nullptr;
    for (std::size_t i = 0; i < stride; ++i) {
      const int a = i >= static_cast<std::size_t>(channels) ? out[i - channels] : 0;
      const int b = up ? up[i] : 0;
      const int c = up && i >= static_cast<std::size_t>(channels) ? up[i - channels] : 0;
      int predictor = 0;
      switch (filter) {
        case 0: predictor = 0; break;
        case 1: predictor = a; break;
        case 2: predictor = b; break;
        case 3: predictor = (a + b) / 2; break;
        case 4: predictor = Paeth(a, b, c); break;
        default: return std::nullopt;
      }
      out[i] = static_cast<std::uint8_t>(in[i] + predictor);
    }
  }
  GreyImage grey{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
  if (depth == 1) {
    // The first pixel in the high bit; 1 is white.
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const bool white = (pixels[y * stride + x / 8] >> (7 - x % 8)) & 1;
        grey.pixels[static_cast<std::size_t>(y) * width + x] = white ? 255 : 0;
      }
    }
    return grey;
  }
  for (std::size_t p = 0; p < grey.pixels.size(); ++p) {
    const std::uint8_t* px = &pixels[p * channels];
    int value = channels >= 3 ? (px[0] + px[1] + px[2]) / 3 : px[0];
    // A transparent pixel shows the white page behind it.
    if (channels == 4 || channels == 2) {
      const int alpha = px[channels - 1];
      value = (value * alpha + 255 * (255 - alpha)) / 255;
    }
    grey.pixels[p] = static_cast<std::uint8_t>(value);
  }
  return grey;
}

Decoded DecodeAztec(const GreyImage& image) { return Decode(image, ZXing::BarcodeFormat::Aztec); }
Decoded DecodeCode128(const GreyImage& image) { return Decode(image, ZXing::BarcodeFormat::Code128); }

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::istringstream dirs(path);
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::error_code error;
    const auto candidate = std::filesystem::path(dir.empty() ? "." : dir) / program;
    if (std::filesystem::is_regular_file(candidate, error)) return true;
  }
  return false;
}


}  // namespace tavrik::test
