// Reed-Solomon check words, checked against field arithmetic done the slow way.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "add_reed_solomon_checkwords.h"
#include "base/rs_encode.h"

namespace tavrik::aztecgen {
namespace {

// Carry-less multiplication reduced by the primitive polynomial: no tables.
unsigned slow_product(unsigned x, unsigned y, unsigned gf, unsigned pp)
{
    unsigned result = 0;
    while (y != 0) {
        if (y & 1)
            result ^= x;
        y >>= 1;
        x <<= 1;
        if (x & gf)
            x ^= pp;
    }
    return result;
}

unsigned slow_power(unsigned exponent, unsigned gf, unsigned pp)
{
    unsigned v = 1;
    for (unsigned i = 0; i < exponent; ++i)
        v = slow_product(v, 2, gf, pp);
    return v;
}

// The codeword, highest degree first, evaluated at x.
unsigned evaluate(const codewords& words, unsigned x, unsigned gf, unsigned pp)
{
    unsigned v = 0;
    for (std::uint16_t w : words)
        v = slow_product(v, x, gf, pp) ^ w;
    return v;
}

// g(x) = (x - a^1) ... (x - a^nc), lowest degree first.
std::vector<unsigned> slow_generator(std::size_t nc, unsigned gf, unsigned pp)
{
    std::vector<unsigned> g{1};
    for (std::size_t i = 1; i <= nc; ++i) {
        const unsigned root = slow_power(static_cast<unsigned>(i), gf, pp);
        std::vector<unsigned> next(g.size() + 1, 0);
        for (std::size_t j = 0; j < g.size(); ++j) {
            next[j + 1] ^= g[j];
            next[j] ^= slow_product(g[j], root, gf, pp);
        }
        g = next;
    }
    return g;
}

struct FieldCase {
    std::uint8_t codeword_size;
    std::size_t nd;
    std::size_t nc;
};

const FieldCase kFieldCases[] = {
    {4, 2, 5},      // 0: compact mode message
    {4, 4, 6},      // 1: full-range mode message
    {6, 10, 7},     // 2: compact 1 layer
    {8, 60, 16},    // 3
    {10, 200, 116}, // 4
    {12, 1278, 386},  // 5: full-range 32 layers at 23 %
    {10, 2, 526},   // 6: one byte at 99 %: check words far outnumber data
    {4, 3, 17},     // 7: more check words than the field's order: repeated roots
    {12, 2, 918},   // 8: one byte at 99 % in full-range 23 layers
    {8, 1, 254},    // 9: one check word short of the field's order
};

unsigned field_size(std::uint8_t codeword_size) { return 1u << codeword_size; }

unsigned primitive(std::uint8_t codeword_size)
{
    for (const galois_field_params& f : galois_fields)
        if (f.codeword_size == codeword_size)
            return f.primitive_polynomial;
    ADD_FAILURE() << "no field for " << int(codeword_size);
    return 0;
}

TEST(ReedSolomon, CheckWordsMakeEveryRootAZero)
{
    std::mt19937 rng(7);
    for (std::size_t row = 0; row < std::size(kFieldCases); ++row) {
        const FieldCase& c = kFieldCases[row];
        SCOPED_TRACE(testing::Message() << "row " << row << ": GF(" << field_size(c.codeword_size) << ")");
        const unsigned gf = field_size(c.codeword_size);
        const unsigned pp = primitive(c.codeword_size);
        codewords words(c.nd);
        for (auto& w : words)
            w = static_cast<std::uint16_t>(rng() % gf);
        const codewords data = words;
        add_reed_solomon_checkwords(&words, c.codeword_size, c.nc);
        ASSERT_EQ(words.size(), c.nd + c.nc);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), words.begin())) << "data words stay in front";
        for (std::size_t j = 1; j <= c.nc; ++j)
            ASSERT_EQ(evaluate(words, slow_power(static_cast<unsigned>(j), gf, pp), gf, pp), 0u) << "root a^" << j;
        // One changed data word must show in the check words.
        codewords changed(data);
        changed[0] ^= 1;
        add_reed_solomon_checkwords(&changed, c.codeword_size, c.nc);
        EXPECT_FALSE(std::equal(words.begin() + c.nd, words.end(), changed.begin() + c.nd));
    }
}

TEST(ReedSolomon, AllZeroDataGivesAllZeroCheckWords)
{
    for (const FieldCase& c : kFieldCases) {
        codewords words(c.nd, 0);
        add_reed_solomon_checkwords(&words, c.codeword_size, c.nc);
        EXPECT_EQ(words, codewords(c.nd + c.nc, 0)) << "GF(" << field_size(c.codeword_size) << ")";
    }
}

TEST(ReedSolomon, SingleOneGivesTheGeneratorPolynomial)
{
    // x^nc mod g(x) = g(x) - x^nc: the coefficients below the leading one,
    // highest degree first.
    for (const FieldCase& c : kFieldCases) {
        const unsigned gf = field_size(c.codeword_size);
        SCOPED_TRACE(testing::Message() << "GF(" << gf << "), " << c.nc << " check words");
        const std::vector<unsigned> g = slow_generator(c.nc, gf, primitive(c.codeword_size));
        codewords words{1};
        add_reed_solomon_checkwords(&words, c.codeword_size, c.nc);
        ASSERT_EQ(words.size(), c.nc + 1);
        for (std::size_t j = 0; j < c.nc; ++j)
            ASSERT_EQ(words[1 + j], g[c.nc - 1 - j]) << "degree " << c.nc - 1 - j;
    }
}

TEST(ReedSolomon, FieldTablesAreInverse)
{
    for (const galois_field_params& f : galois_fields) {
        const galois_field field(f.field_size, f.primitive_polynomial);
        for (unsigned x = 1; x < f.field_size; ++x) {
            ASSERT_EQ(field.alog[field.log[x] % (f.field_size - 1)], x);
            ASSERT_EQ(field.product(x, 3), slow_product(x, 3, f.field_size, f.primitive_polynomial));
        }
        EXPECT_EQ(field.product(0, 5), 0u);
        EXPECT_EQ(field.product(5, 0), 0u);
    }
}

} // namespace
} // namespace tavrik::aztecgen
