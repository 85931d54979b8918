// ag_generate with any settings and data: it returns a code, never throws or
// crashes, and every matrix it gives is square, 15 to 151 modules a side, of
// 0 and 1 only.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "aztecgen/include/aztecgen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  ag_settings settings{};
  settings.mask = input.ConsumeIntegral<std::uint32_t>();
  settings.initialization_symbol = input.ConsumeIntegral<std::uint8_t>();
  settings.symbol_choice = input.ConsumeIntegral<std::uint8_t>();
  settings.error_correction_redundancy = input.ConsumeIntegral<std::uint8_t>();
  const bool no_settings = input.ConsumeBool();
  const std::vector<std::uint8_t> payload = input.ConsumeRemainingBytes<std::uint8_t>();
  ag_matrix* matrix = nullptr;
  const int result = ag_generate(&matrix, payload.data(), payload.size(), no_settings ? nullptr : &settings);
  if (result != ag_ok) {
    if (matrix != nullptr) std::abort();  // failures leave the result untouched
    if (result < ag_invalid_parameter || result > ag_too_much_input_data) std::abort();
    return 0;
  }
  if (matrix == nullptr || matrix->width != matrix->height || matrix->width < 15 || matrix->width > 151 ||
      matrix->data == nullptr)
    std::abort();
  for (std::size_t i = 0; i < std::size_t{matrix->width} * matrix->height; ++i)
    if (matrix->data[i] > 1) std::abort();
  if (ag_free_matrix(matrix) != ag_ok) std::abort();
  return 0;
}
