#include "barcodes/Code128.h"

#include <algorithm>

namespace tavrik {
namespace {

// Bar, space, bar, space, bar, space widths of each symbol character value;
// the stop pattern has a seventh element, its final bar.
struct Code128Pattern {
  char widths[8];
};

constexpr Code128Pattern kCode128Patterns[] = {
    {"212222"}, {"222122"}, {"222221"}, {"121223"}, {"121322"}, {"131222"}, {"122213"}, {"122312"},  //  0.. 7
    {"132212"}, {"221213"}, {"221312"}, {"231212"}, {"112232"}, {"122132"}, {"122231"}, {"113222"},  //  8..15
    {"123122"}, {"123221"}, {"223211"}, {"221132"}, {"221231"}, {"213212"}, {"223112"}, {"312131"},  // 16..23
    {"311222"}, {"321122"}, {"321221"}, {"312212"}, {"322112"}, {"322211"}, {"212123"}, {"212321"},  // 24..31
    {"232121"}, {"111323"}, {"131123"}, {"131321"}, {"112313"}, {"132113"}, {"132311"}, {"211313"},  // 32..39
    {"231113"}, {"231311"}, {"112133"}, {"112331"}, {"132131"}, {"113123"}, {"113321"}, {"133121"},  // 40..47
    {"313121"}, {"211331"}, {"231131"}, {"213113"}, {"213311"}, {"213131"}, {"311123"}, {"311321"},  // 48..55
    {"331121"}, {"312113"}, {"312311"}, {"332111"}, {"314111"}, {"221411"}, {"431111"}, {"111224"},  // 56..63
    {"111422"}, {"121124"}, {"121421"}, {"141122"}, {"141221"}, {"112214"}, {"112412"}, {"122114"},  // 64..71
    {"122411"}, {"142112"}, {"142211"}, {"241211"}, {"221114"}, {"413111"}, {"241112"}, {"134111"},  // 72..79
    {"111242"}, {"121142"}, {"121241"}, {"114212"}, {"124112"}, {"124211"}, {"411212"}, {"421112"},  // 80..87
    {"421211"}, {"212141"}, {"214121"}, {"412121"}, {"111143"}, {"111341"}, {"131141"}, {"114113"},  // 88..95
    {"114311"}, {"411113"}, {"411311"}, {"113141"}, {"114131"}, {"311141"}, {"411131"}, {"211412"},  // 96..103
    {"211214"}, {"211232"}, {"2331112"},                                                             // 104..106
};
static_assert(std::size(kCode128Patterns) == kCode128Stop + 1);

constexpr int PatternModules(const Code128Pattern& p) {
  int sum = 0;
  for (const char* c = p.widths; *c != '\0'; ++c) sum += *c - '0';
  return sum;
}
constexpr bool PatternsAreWellFormed() {
  for (std::size_t v = 0; v < kCode128Stop; ++v) {
    if (PatternModules(kCode128Patterns[v]) != 11) return false;
  }
  return PatternModules(kCode128Patterns[kCode128Stop]) == 13;
}
static_assert(PatternsAreWellFormed());

void AppendPattern(std::vector<bool>& modules, std::uint8_t value) {
  bool bar = true;
  for (const char* c = kCode128Patterns[value].widths; *c != '\0'; ++c) {
    modules.insert(modules.end(), static_cast<std::size_t>(*c - '0'), bar);
    bar = !bar;
  }
}

constexpr std::uint8_t kFirstBarcodeData[] = {kCode128Fnc3, '1' - 32, '4' - 32, '0' - 32, '1' - 32};

}  // namespace

bool Code128SetBValues(std::string_view text, std::vector<std::uint8_t>& values) {
  values.clear();
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u > 127) return false;
    values.push_back(static_cast<std::uint8_t>(u - 32));
  }
  return true;
}

std::uint8_t Code128Check(std::span<const std::uint8_t> values) {
  unsigned sum = kCode128StartB;
  for (std::size_t i = 0; i < values.size(); ++i) sum += static_cast<unsigned>((i + 1) % 103 * values[i] % 103);
  return static_cast<std::uint8_t>(sum % 103);
}

std::vector<bool> Code128Modules(std::span<const std::uint8_t> values) {
  std::vector<bool> modules;
  // Start and stop characters have no place among the data, and values
  // beyond them have no pattern at all.
  if (std::any_of(values.begin(), values.end(), [](std::uint8_t v) { return v >= kCode128StartB - 1; })) return modules;
  modules.reserve((values.size() + 2) * 11 + 13);
  AppendPattern(modules, kCode128StartB);
  for (std::uint8_t v : values) AppendPattern(modules, v);
  AppendPattern(modules, Code128Check(values));
  AppendPattern(modules, kCode128Stop);
  return modules;
}

PixelImage RenderCode128(std::span<const std::uint8_t> values, int module_pixels, int width, int height) {
  const std::vector<bool> modules = Code128Modules(values);
  if (modules.empty()) return {};
  const std::int64_t needed = (static_cast<std::int64_t>(modules.size()) + 2 * kCode128QuietZone) * module_pixels;
  if (module_pixels < 1 || height < 1 || needed > width) return {};
  PixelImage image{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, kPixelLight)};
  const int left = (width - static_cast<int>(modules.size()) * module_pixels) / 2;
  for (int y = 0; y < height; ++y) {
    std::uint32_t* row = image.pixels.data() + static_cast<std::size_t>(y) * width;
    for (std::size_t m = 0; m < modules.size(); ++m) {
      if (!modules[m]) continue;
      for (int p = 0; p < module_pixels; ++p) row[left + static_cast<int>(m) * module_pixels + p] = kPixelDark;
    }
  }
  return image;
}

std::span<const std::uint8_t> FirstBarcodeValues() { return kFirstBarcodeData; }

PixelImage FirstBarcodePicture(int height) {
  // 90 modules: one pixel each leaves quiet zones far wider than ten modules,
  // which two pixels each would not.
  return RenderCode128(kFirstBarcodeData, 1, kFirstBarcodeWidth, height);
}

}  // namespace tavrik
