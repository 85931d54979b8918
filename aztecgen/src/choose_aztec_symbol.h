// Picks the smallest allowed symbol that holds the data with the requested check words.
#pragma once

#include <cstdint>

#include "base/bin_dec_conversion.h"
#include "generate_symbol_info.h"

namespace tavrik::aztecgen {

// Throws generator_exception no_input_data for an empty stream and
// too_much_input_data when no allowed symbol holds it. When chosen_codewords
// is given it receives the codeword stream of the chosen size, which the
// choice had to build anyway.
void choose_aztec_symbol(symbol_info* info, const bits& bit_stream, std::uint8_t error_correction_redundancy,
                         std::uint8_t symbol_choice, std::uint8_t initialization_symbol,
                         codewords* chosen_codewords = nullptr);

// Whether a reader-initialisation symbol may have this size: readers accept
// the flag only in compact 1-layer and full-range symbols of up to 22 layers.
bool allows_initialization_symbol(const symbol_table_entry& entry);

} // namespace tavrik::aztecgen
