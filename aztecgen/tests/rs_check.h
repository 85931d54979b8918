// Reed-Solomon codewords checked with plain field arithmetic, no tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrik::aztecgen::test {

// The product in GF(gf) with the primitive polynomial pp: carry-less
// multiplication, reduced as it goes.
inline unsigned gf_product(unsigned x, unsigned y, unsigned gf, unsigned pp)
{
    unsigned result = 0;
    for (; y != 0; y >>= 1) {
        if (y & 1)
            result ^= x;
        x <<= 1;
        if (x & gf)
            x ^= pp;
    }
    return result;
}

// Whether words, highest degree first, vanish at alpha^1 .. alpha^check_words.
inline bool is_rs_codeword(const std::vector<unsigned>& words, std::size_t check_words, unsigned gf, unsigned pp)
{
    unsigned root = 1;
    for (std::size_t j = 1; j <= check_words; ++j) {
        root = gf_product(root, 2, gf, pp);
        unsigned value = 0;
        for (unsigned w : words)
            value = gf_product(value, root, gf, pp) ^ w;
        if (value != 0)
            return false;
    }
    return true;
}

} // namespace tavrik::aztecgen::test
