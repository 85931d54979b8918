// Input bytes to the bit stream of the data layers.
#pragma once

#include <cstdint>

#include "base/bin_dec_conversion.h"

namespace tavrik::aztecgen {

// The longest Binary Shift: 31 plus the largest 11-bit length.
inline constexpr std::size_t max_binary_shift_length = 2078;

// Every byte goes out in Binary Shift runs from the Upper mode; the encoder
// never latches to another mode, so any byte string encodes the same way.
void generate_bit_stream(bits* out, const std::uint8_t* first, const std::uint8_t* last);

} // namespace tavrik::aztecgen
