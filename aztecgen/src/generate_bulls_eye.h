// The finder pattern as the bits of its rings, innermost first.
#pragma once

#include "base/bin_dec_conversion.h"
#include "generate_symbol_info.h"

namespace tavrik::aztecgen {

void generate_bulls_eye(bits* bulls_eye, const symbol_info& info);

} // namespace tavrik::aztecgen
