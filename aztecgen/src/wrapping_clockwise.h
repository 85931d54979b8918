// Lays a bit sequence into square rings around the centre, innermost first.
#pragma once

#include <cstdint>

#include "base/bin_dec_conversion.h"
#include "symbol_matrix.h"

namespace tavrik::aztecgen {

// Rings are layer_width modules wide; the first has the outer height
// first_layer_height, each next one is 2 * layer_width higher. Within a side
// the bits go inner module first across the ring, then along the side.
// The sequence must end at the start of a ring.
void wrapping_clockwise(symbol_matrix* mtx, const bits& data, std::uint8_t layer_width,
                        std::uint8_t first_layer_height);

} // namespace tavrik::aztecgen
