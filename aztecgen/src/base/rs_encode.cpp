#include "base/rs_encode.h"

#include <cassert>

namespace tavrik::aztecgen {

galois_field::galois_field(unsigned gf_, unsigned pp) : gf(gf_), log(gf_), alog(gf_)
{
    // 0 has no logarithm; the product never reads log[0].
    log[0] = static_cast<std::uint16_t>(1 - gf);
    alog[0] = 1;
    for (unsigned i = 1; i < gf; ++i) {
        unsigned a = alog[i - 1] * 2u;
        if (a >= gf)
            a ^= pp;
        alog[i] = static_cast<std::uint16_t>(a);
        log[a] = static_cast<std::uint16_t>(i);
    }
}

unsigned galois_field::product(unsigned x, unsigned y) const
{
    assert(gf > 1);
    assert(x < gf);
    assert(y < gf);
    assert(log.size() == gf);
    assert(alog.size() == gf);
    if (x == 0 || y == 0)
        return 0;
    return alog[(log[x] + log[y]) % (gf - 1)];
}

void rs_encode(std::uint16_t* wd, std::size_t nd, std::size_t nc, unsigned gf, unsigned pp)
{
    assert(wd != nullptr);
    assert(nd > 0);
    assert(nc > 0);
    assert(gf > 1);
    assert((gf & (gf - 1)) == 0);
    assert((pp & ~(gf - 1)) == gf);

    const galois_field field(gf, pp);

    std::vector<unsigned> c(nc + 1, 0);
    c[0] = 1;
    for (std::size_t i = 1; i <= nc; ++i) {
        const unsigned root = field.alog[i % (gf - 1)];
        c[i] = c[i - 1];
        for (std::size_t j = i - 1; j >= 1; --j)
            c[j] = c[j - 1] ^ field.product(c[j], root);
        c[0] = field.product(c[0], root);
    }

    // The division runs in the log domain: the logarithms of the generator's
    // coefficients once, and an antilogarithm table twice as long so that a
    // sum of two logarithms needs no modulo. Zero coefficients keep a marker.
    const unsigned order = gf - 1;
    constexpr unsigned kNoLog = 0xFFFFFFFFu;
    std::vector<unsigned> log_c(nc);
    for (std::size_t j = 0; j < nc; ++j)
        log_c[j] = c[nc - j - 1] == 0 ? kNoLog : field.log[c[nc - j - 1]] % order;
    std::vector<std::uint16_t> alog2(2 * order);
    for (unsigned i = 0; i < 2 * order; ++i)
        alog2[i] = field.alog[i % order];

    std::uint16_t* check = wd + nd;
    for (std::size_t j = 0; j < nc; ++j)
        check[j] = 0;
    for (std::size_t i = 0; i < nd; ++i) {
        assert(wd[i] < gf);
        const unsigned k = check[0] ^ wd[i];
        if (k == 0) {
            for (std::size_t j = 0; j + 1 < nc; ++j)
                check[j] = check[j + 1];
            check[nc - 1] = 0;
            continue;
        }
        const unsigned log_k = field.log[k] % order;
        for (std::size_t j = 0; j < nc; ++j) {
            unsigned w = log_c[j] == kNoLog ? 0u : alog2[log_k + log_c[j]];
            if (j + 1 < nc)
                w ^= check[j + 1];
            check[j] = static_cast<std::uint16_t>(w);
        }
    }
}

} // namespace tavrik::aztecgen
