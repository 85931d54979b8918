// Assembles one symbol: data layers, mode message and bull's eye.
#pragma once

#include "base/bin_dec_conversion.h"
#include "base/matrix_def.h"
#include "generate_symbol_info.h"

namespace tavrik::aztecgen {

void generate_single_barcode(matrix* barcode, const symbol_info& info, const codewords& words);

} // namespace tavrik::aztecgen
