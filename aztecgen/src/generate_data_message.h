// Codewords and their check words as the bit sequence of the data layers.
#pragma once

#include "base/bin_dec_conversion.h"
#include "generate_symbol_info.h"

namespace tavrik::aztecgen {

// Modules in the data layers of the symbol, grid lines left out.
std::size_t data_message_size(const symbol_info& info);

// The sequence runs from the innermost data layer outwards: the check words
// reversed, then the data codewords reversed, then zero padding.
void generate_data_message(bits* data_message, const symbol_info& info, const codewords& words);

} // namespace tavrik::aztecgen
