// The metafile writer over any matrix and any screen: a metafile whose
// records add up to its stated size, or no metafile.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "barcodes/BarcodeRendering.h"

namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  tavrik::ScreenMetrics screen{};
  screen.horz_size_mm = input.ConsumeIntegral<std::uint32_t>();
  screen.vert_size_mm = input.ConsumeIntegral<std::uint32_t>();
  screen.desktop_horz_res = input.ConsumeIntegral<std::uint32_t>();
  screen.desktop_vert_res = input.ConsumeIntegral<std::uint32_t>();
  const std::uint32_t width = input.ConsumeIntegralInRange<std::uint32_t>(0, 200);
  const std::uint32_t height = input.ConsumeBool() ? width : input.ConsumeIntegralInRange<std::uint32_t>(0, 200);
  std::vector<std::uint8_t> modules = input.ConsumeBytes<std::uint8_t>(std::size_t{width} * height);
  modules.resize(std::size_t{width} * height);
  ag_matrix matrix{modules.empty() ? nullptr : modules.data(), width, height};
  const auto bytes = tavrik::BarcodeMetafileBytes(matrix, screen);
  if (!bytes) return 0;
  // Every record: type and size, the size a multiple of 4, together the whole file.
  std::size_t at = 0, records = 0;
  while (at + 8 <= bytes->size()) {
    const std::uint32_t record_size = Le32(*bytes, at + 4);
    if (record_size < 8 || record_size % 4 != 0 || at + record_size > bytes->size()) std::abort();
    at += record_size;
    ++records;
  }
  if (at != bytes->size() || records < 2) std::abort();
  if (Le32(*bytes, 48) != bytes->size() || Le32(*bytes, 52) != records) std::abort();  // header: bytes, records
  return 0;
}
