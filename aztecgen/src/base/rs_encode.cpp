#include "base/rs_encode.h"

#include <algorithm>
#include <cassert>
#include <map>
#include <memory>
#include <tuple>

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

namespace {

// A product with every factor known beforehand: v times the generator's
// coefficients for every v of a few bits, so that a product is two row
// lookups joined by exclusive or (multiplication distributes over it).
class coefficient_rows {
public:
    coefficient_rows(const std::vector<std::uint16_t>& g, unsigned shift, unsigned bits, unsigned gf, unsigned pp)
        : _nc(g.size()), _rows((std::size_t{1} << bits) * g.size(), 0)
    {
        std::vector<std::uint16_t> power(g);
        for (unsigned s = 0; s < shift; ++s)
            times_alpha(power, gf, pp);
        for (unsigned t = 0; t < bits; ++t) {
            std::copy(power.begin(), power.end(), row_begin(std::size_t{1} << t));
            times_alpha(power, gf, pp);
        }
        for (std::size_t v = 3; v < (std::size_t{1} << bits); ++v) {
            if ((v & (v - 1)) == 0)
                continue;
            const std::uint16_t* a = row(v & (v - 1));
            const std::uint16_t* b = row(v & (~v + 1));
            std::uint16_t* out = row_begin(v);
            for (std::size_t j = 0; j < _nc; ++j)
                out[j] = static_cast<std::uint16_t>(a[j] ^ b[j]);
        }
    }

    const std::uint16_t* row(std::size_t v) const { return _rows.data() + v * _nc; }

private:
    std::uint16_t* row_begin(std::size_t v) { return _rows.data() + v * _nc; }

    static void times_alpha(std::vector<std::uint16_t>& words, unsigned gf, unsigned pp)
    {
        for (std::uint16_t& w : words) {
            unsigned x = static_cast<unsigned>(w) << 1;
            if (x & gf)
                x ^= pp;
            w = static_cast<std::uint16_t>(x);
        }
    }

    std::size_t _nc;
    std::vector<std::uint16_t> _rows;
};

unsigned field_bits(unsigned gf)
{
    unsigned bits = 0;
    while ((1u << bits) < gf)
        ++bits;
    return bits;
}

// g(x) = (x - a^1)(x - a^2)...(x - a^nc). g holds its coefficients below
// the leading 1, highest degree first: the factor of each check word position.
std::vector<std::uint16_t> generator_polynomial(const galois_field& field, const std::vector<std::uint16_t>& alog2,
                                                std::size_t nc)
{
    const unsigned order = field.gf - 1;
    std::vector<std::uint16_t> g(nc);
    if (nc < order) {
        // The coefficient of x^(nc - k) is the k-th elementary symmetric sum
        // e_k of the roots a^1 .. a^nc; by the q-binomial theorem with q = a
        // it is a^(k(k+1)/2) times the Gaussian binomial [nc over k] at a, so
        // each follows from the one before by e_k = e_(k-1) * a^k *
        // (1 + a^(nc-k+1)) / (1 + a^k): linear time in place of the
        // quadratic product of the factors. No factor is 0, since no
        // exponent reaches the field's order.
        unsigned log_e = 0;
        for (std::size_t k = 1; k <= nc; ++k) {
            const unsigned up = 1u ^ field.alog[nc - k + 1];
            const unsigned down = 1u ^ field.alog[k];
            assert(up != 0 && down != 0);
            log_e = (log_e + static_cast<unsigned>(k) + field.log[up] % order + order - field.log[down] % order) % order;
            g[k - 1] = field.alog[log_e];
        }
    } else {
        // Repeated roots: multiply the factors out one by one, lowest degree first.
        std::vector<std::uint16_t> c(nc + 1, 0);
        c[0] = 1;
        for (std::size_t i = 1; i <= nc; ++i) {
            const unsigned log_root = static_cast<unsigned>(i % order);
            c[i] = c[i - 1];
            for (std::size_t j = i - 1; j >= 1; --j)
                c[j] = static_cast<std::uint16_t>(c[j - 1] ^ (c[j] == 0 ? 0 : alog2[field.log[c[j]] + log_root]));
            c[0] = static_cast<std::uint16_t>(c[0] == 0 ? 0 : alog2[field.log[c[0]] + log_root]);
        }
        for (std::size_t j = 0; j < nc; ++j)
            g[j] = c[nc - j - 1];
    }

    return g;
}

// The antilogarithms twice over: logarithms run from 1 to order (log[1] is
// order), so a sum of two indexes this table without a modulo.
std::vector<std::uint16_t> doubled_alog(const galois_field& field)
{
    const unsigned order = field.gf - 1;
    std::vector<std::uint16_t> alog2(2 * order + 1);
    std::copy(field.alog.begin(), field.alog.begin() + order, alog2.begin());
    std::copy(field.alog.begin(), field.alog.begin() + order, alog2.begin() + order);
    alog2[2 * order] = 1;
    return alog2;
}

// One field and one generator per field and check-word count: a symbol's
// words and every symbol after it reuse them.
struct encoder {
    galois_field field;
    std::vector<std::uint16_t> alog2;
    std::vector<std::uint16_t> g;
};

const encoder& cached_encoder(unsigned gf, unsigned pp, std::size_t nc)
{
    static std::map<std::tuple<unsigned, unsigned, std::size_t>, std::unique_ptr<encoder>> cache;
    std::unique_ptr<encoder>& slot = cache[{gf, pp, nc}];
    if (!slot) {
        galois_field field(gf, pp);
        std::vector<std::uint16_t> alog2 = doubled_alog(field);
        std::vector<std::uint16_t> g = generator_polynomial(field, alog2, nc);
        slot = std::make_unique<encoder>(encoder{std::move(field), std::move(alog2), std::move(g)});
    }
    return *slot;
}

} // namespace

std::vector<std::uint16_t> rs_encode(std::span<const std::uint16_t> data, std::size_t nc, unsigned gf, unsigned pp)
{
    const std::uint16_t* wd = data.data();
    const std::size_t nd = data.size();
    assert(nd > 0);
    assert(nc > 0);
    assert(gf > 1);
    assert((gf & (gf - 1)) == 0);
    assert((pp & ~(gf - 1)) == gf);

    const encoder& enc = cached_encoder(gf, pp, nc);
    const galois_field& field = enc.field;
    const std::vector<std::uint16_t>& g = enc.g;
    const std::vector<std::uint16_t>& alog2 = enc.alog2;

    for (std::size_t i = 0; i < nd; ++i)
        assert(wd[i] < gf);

    // Long division of data(x) * x^nc by g(x): the remainder is the check words.
    std::vector<std::uint16_t> rest(wd, wd + nd);
    rest.resize(nd + nc, 0);

    const unsigned bits = field_bits(gf);
    const unsigned low_bits = bits / 2;
    const std::size_t table_rows = (std::size_t{1} << low_bits) + (std::size_t{1} << (bits - low_bits));
    if (nd * 4 >= table_rows) {
        const coefficient_rows low(g, 0, low_bits, gf, pp);
        const coefficient_rows high(g, low_bits, bits - low_bits, gf, pp);
        const unsigned low_mask = (1u << low_bits) - 1;
        for (std::size_t i = 0; i < nd; ++i) {
            const unsigned k = rest[i];
            if (k == 0)
                continue;
            const std::uint16_t* __restrict a = low.row(k & low_mask);
            const std::uint16_t* __restrict b = high.row(k >> low_bits);
            std::uint16_t* __restrict out = rest.data() + i + 1;
            for (std::size_t j = 0; j < nc; ++j)
                out[j] = static_cast<std::uint16_t>(out[j] ^ a[j] ^ b[j]);
        }
    } else {
        for (std::size_t i = 0; i < nd; ++i) {
            const unsigned k = rest[i];
            if (k == 0)
                continue;
            const unsigned log_k = field.log[k];
            std::uint16_t* out = rest.data() + i + 1;
            for (std::size_t j = 0; j < nc; ++j)
                if (g[j] != 0)
                    out[j] = static_cast<std::uint16_t>(out[j] ^ alog2[log_k + field.log[g[j]]]);
        }
    }
    return std::vector<std::uint16_t>(rest.begin() + static_cast<std::ptrdiff_t>(nd), rest.end());
}

} // namespace tavrik::aztecgen
