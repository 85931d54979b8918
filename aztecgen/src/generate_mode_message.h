// The mode message ring: symbol size, data length and orientation modules.
#pragma once

#include <cstddef>

#include "base/bin_dec_conversion.h"
#include "generate_symbol_info.h"

namespace tavrik::aztecgen {

void generate_mode_message(bits* mode_message, const symbol_info& info, std::size_t codewords_count);

} // namespace tavrik::aztecgen
