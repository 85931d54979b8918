#include "generate_codeword_stream.h"

#include <algorithm>
#include <cassert>

namespace tavrik::aztecgen {

void generate_codeword_stream(codewords* out, const bits& in, std::uint8_t codeword_size)
{
    assert(out != nullptr);
    assert(in.size() > 0);
    assert(codeword_size >= 2);

    const std::size_t b = codeword_size;
    const unsigned upper = (1u << b) - 2;  // the upper b - 1 bits
    out->clear();
    out->reserve(std::max<std::size_t>(2000, in.size() / (b - 1) + 1));

    std::size_t pos = 0;
    while (pos < in.size()) {
        const std::size_t t = std::min(b, in.size() - pos);
        unsigned v = 0;
        for (std::size_t i = 0; i < t; ++i)
            v = (v << 1) | in[pos + i];
        // Padding with 1 bits takes part in the tests below, so a last
        // codeword that would be all ones ends in a stuffed 0.
        v = (v << (b - t)) | ((1u << (b - t)) - 1);

        std::size_t used = t;
        if ((v & upper) == 0) {
            v = 1;
            used = std::min(t, b - 1);
        } else if ((v & upper) == upper) {
            v = upper;
            used = std::min(t, b - 1);
        }
        out->push_back(static_cast<std::uint16_t>(v));
        pos += used;
    }
}

} // namespace tavrik::aztecgen
