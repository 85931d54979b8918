// Decodes our matrices with zxing-cpp, an independent reader.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "aztecgen.h"

namespace tavrik::aztecgen::test {

struct decoded {
    std::vector<std::uint8_t> bytes;
    bool reader_init = false;
};

// Renders the matrix as it is, with a quiet zone, at a few pixels a module,
// and reads it; nothing when the reader finds no valid Aztec symbol.
std::optional<decoded> decode(const ag_matrix& mtx);

} // namespace tavrik::aztecgen::test
