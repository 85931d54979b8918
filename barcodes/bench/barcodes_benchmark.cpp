// The group barcode end to end (image, zlib, Aztec), the metafile and the print pictures of the
// largest symbol, written to a file in the system's temporary folder.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <vector>

#include "barcodes/BarcodeImages.h"
#include "barcodes/BarcodeRendering.h"
#include "barcodes/GroupBarcode.h"

namespace {

void BM_BuildGroupBarcode(benchmark::State& state) {
  tavrik::ResetProcessState();
  ag_matrix_ptr owner;
  for (auto _ : state) {
    if (tavrik::BuildGroupBarcode(owner) != tavrik::GroupBarcodeResult::ok) state.SkipWithError("build failed");
    benchmark::DoNotOptimize(owner.get());
  }
}
BENCHMARK(BM_BuildGroupBarcode)->Unit(benchmark::kMicrosecond);

std::vector<std::uint8_t> LargestSymbolModules() {
  std::vector<std::uint8_t> modules(151 * 151);
  std::mt19937 random(151);
  for (auto& m : modules) m = static_cast<std::uint8_t>(random() & 1);
  return modules;
}

// The bytes alone, to tell the recording from the file system's share.
void BM_BarcodeMetafileBytes151(benchmark::State& state) {
  auto modules = LargestSymbolModules();
  const ag_matrix matrix{modules.data(), 151, 151};
  for (auto _ : state) benchmark::DoNotOptimize(tavrik::BarcodeMetafileBytes(matrix, tavrik::kHeadlessScreen));
}
BENCHMARK(BM_BarcodeMetafileBytes151)->Unit(benchmark::kMicrosecond);

void BM_WriteBarcodeMetafile151(benchmark::State& state) {
  auto modules = LargestSymbolModules();
  const ag_matrix matrix{modules.data(), 151, 151};
  const auto path = (std::filesystem::temp_directory_path() / "tavrik-bench-151.emf").string();
  for (auto _ : state) {
    if (!tavrik::WriteBarcodeMetafile(path, matrix)) state.SkipWithError("write failed");
  }
  std::error_code error;
  std::filesystem::remove(path, error);
}
BENCHMARK(BM_WriteBarcodeMetafile151)->Unit(benchmark::kMicrosecond);

// The print pictures of the largest symbol: about 11 000 dark squares.
void BM_BarcodeImageBytes151(benchmark::State& state) {
  auto modules = LargestSymbolModules();
  const ag_matrix matrix{modules.data(), 151, 151};
  const auto format = static_cast<tavrik::BarcodeFormat>(state.range(0));
  for (auto _ : state) {
    const auto bytes = tavrik::BarcodeImageBytes(matrix, format);
    if (!bytes) state.SkipWithError("no picture");
    state.counters["bytes"] = static_cast<double>(bytes ? bytes->size() : 0);
  }
  state.SetLabel(tavrik::BarcodeFormatSpecOf(format).extension);
}
BENCHMARK(BM_BarcodeImageBytes151)
    ->Arg(static_cast<int>(tavrik::BarcodeFormat::svg))
    ->Arg(static_cast<int>(tavrik::BarcodeFormat::pdf))
    ->Arg(static_cast<int>(tavrik::BarcodeFormat::png))
    ->Unit(benchmark::kMillisecond);

// The largest PNG made: the largest symbol with modules as wide as the side
// limit allows at the highest resolution (about 32 700 pixels a side).
void BM_LargestPng151(benchmark::State& state) {
  auto modules = LargestSymbolModules();
  const ag_matrix matrix{modules.data(), 151, 151};
  tavrik::PrintGeometry geometry;
  geometry.png_dpi = tavrik::kMaxPngDpi;
  geometry.module_mm = static_cast<double>(tavrik::kMaxPngSide / 155) * 25.4 / geometry.png_dpi;
  for (auto _ : state) {
    const auto bytes = tavrik::BarcodeImageBytes(matrix, tavrik::BarcodeFormat::png, geometry);
    if (!bytes) state.SkipWithError("no picture");
    state.counters["bytes"] = static_cast<double>(bytes ? bytes->size() : 0);
  }
  state.counters["side"] = static_cast<double>(tavrik::PngSidePixels(151, geometry));
}
BENCHMARK(BM_LargestPng151)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
