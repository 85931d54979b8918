// Appends Reed-Solomon check words in the Galois field of the codeword size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/bin_dec_conversion.h"

namespace tavrik::aztecgen {

struct galois_field_params {
    std::uint8_t codeword_size;
    unsigned field_size;
    unsigned primitive_polynomial;
};

// The fields of ISO/IEC 24778: 4-bit words of the mode message, 6- to 12-bit
// words of the data layers.
inline constexpr galois_field_params galois_fields[] = {
    {4, 16, 19},      // x^4 + x + 1
    {6, 64, 67},      // x^6 + x + 1
    {8, 256, 301},    // x^8 + x^5 + x^3 + x^2 + 1
    {10, 1024, 1033}, // x^10 + x^3 + 1
    {12, 4096, 4201}, // x^12 + x^6 + x^5 + x^3 + 1
};

void add_reed_solomon_checkwords(codewords* words, std::uint8_t codeword_size, std::size_t check_word_count);

} // namespace tavrik::aztecgen
