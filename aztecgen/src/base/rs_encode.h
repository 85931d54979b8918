// Reed-Solomon arithmetic over GF(2^m) and the systematic encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tavrik::aztecgen {

// Logarithm and antilogarithm tables of one field, alpha = 2.
struct galois_field {
    galois_field(unsigned gf, unsigned pp);

    // The field product of x and y.
    unsigned product(unsigned x, unsigned y) const;

    unsigned gf;
    std::vector<std::uint16_t> log;
    std::vector<std::uint16_t> alog;
};

// The nc check words of `data`, highest degree first, with the generator
// polynomial whose roots are alpha^1 .. alpha^nc. gf is the field size, pp its
// primitive polynomial. The field and the generator are built once per gf, pp
// and nc.
std::vector<std::uint16_t> rs_encode(std::span<const std::uint16_t> data, std::size_t nc, unsigned gf, unsigned pp);

} // namespace tavrik::aztecgen
