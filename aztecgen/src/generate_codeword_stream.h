// The bit stream cut into codewords with bit stuffing.
#pragma once

#include <cstdint>

#include "base/bin_dec_conversion.h"

namespace tavrik::aztecgen {

// A codeword whose upper codeword_size - 1 bits would all be equal gets the
// opposite bit stuffed in at its end, and the displaced input bit starts the
// next codeword; the last codeword is padded with 1 bits.
void generate_codeword_stream(codewords* out, const bits& in, std::uint8_t codeword_size);

} // namespace tavrik::aztecgen
