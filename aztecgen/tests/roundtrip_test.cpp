// Our symbols read back by zxing-cpp, an independent decoder: every symbol
// size at its capacity and with a single byte, random and patterned data,
// redundancy 0, 23 and 99, with and without the reader-initialisation flag.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ag_matrix_ptr_def.h"
#include "aztecgen.h"
#include "decode_helper.h"

namespace tavrik::aztecgen::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct SizeRow {
    std::uint8_t layers;
    bool compact;
    unsigned codeword_count;
    unsigned codeword_size;
};

// The sizes in symbol_choice order (value - 3), as readers know them.
const SizeRow kSizes[] = {
    {1, true, 17, 6},    {1, false, 21, 6},   {2, true, 40, 6},    {2, false, 48, 6},
    {3, true, 51, 8},    {3, false, 60, 8},   {4, true, 76, 8},    {4, false, 88, 8},
    {5, false, 120, 8},  {6, false, 156, 8},  {7, false, 196, 8},  {8, false, 240, 8},
    {9, false, 230, 10}, {10, false, 272, 10}, {11, false, 316, 10}, {12, false, 364, 10},
    {13, false, 416, 10}, {14, false, 470, 10}, {15, false, 528, 10}, {16, false, 588, 10},
    {17, false, 652, 10}, {18, false, 720, 10}, {19, false, 790, 10}, {20, false, 864, 10},
    {21, false, 940, 10}, {22, false, 1020, 10}, {23, false, 920, 12}, {24, false, 992, 12},
    {25, false, 1066, 12}, {26, false, 1144, 12}, {27, false, 1224, 12}, {28, false, 1306, 12},
    {29, false, 1392, 12}, {30, false, 1480, 12}, {31, false, 1570, 12}, {32, false, 1664, 12},
};
static_assert(std::size(kSizes) == 36);

unsigned side_of(const SizeRow& row)
{
    if (row.compact)
        return 11u + 4u * row.layers;
    const unsigned base = 15u + 4u * row.layers;
    return base + 2u * ((base / 2 - 1) / 15);  // grid lines outside the centre one
}

enum class Pattern { random, zeros, ones, high_ramp };

const char* name_of(Pattern p)
{
    switch (p) {
    case Pattern::random: return "random";
    case Pattern::zeros: return "0x00";
    case Pattern::ones: return "0xFF";
    case Pattern::high_ramp: return "0x80..0xFF";
    }
    return "?";
}

Bytes make_data(Pattern p, std::size_t size, unsigned seed)
{
    Bytes out(size);
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < size; ++i) {
        switch (p) {
        case Pattern::random: out[i] = static_cast<std::uint8_t>(rng()); break;
        case Pattern::zeros: out[i] = 0x00; break;
        case Pattern::ones: out[i] = 0xFF; break;
        case Pattern::high_ramp: out[i] = static_cast<std::uint8_t>(0x80 + i % 0x80); break;
        }
    }
    return out;
}

int generate(ag_matrix_ptr* out, const Bytes& data, const ag_settings& settings)
{
    ag_matrix* result = nullptr;
    const int rc = ag_generate(&result, data.data(), data.size(), &settings);
    out->reset(rc == ag_ok ? result : nullptr);
    return rc;
}

// Decodes the symbol and compares it with the input.
void expect_round_trip(const Bytes& data, const ag_settings& settings, unsigned expected_side = 0)
{
    ag_matrix_ptr symbol;
    ASSERT_EQ(generate(&symbol, data, settings), ag_ok);
    if (expected_side != 0) {
        ASSERT_EQ(symbol->width, expected_side);
    }
    const std::optional<decoded> result = decode(*symbol);
    ASSERT_TRUE(result.has_value()) << "not decoded: " << data.size() << " bytes, " << symbol->width << " modules";
    EXPECT_EQ(result->reader_init, settings.initialization_symbol != 0);

    Bytes expected = data;
    // zxing-cpp 1.4 takes a leading byte 0x1D for a GS1 marker and drops it;
    // the symbol itself carries the byte like any other.
    if (!expected.empty() && expected.front() == 0x1D && result->bytes.size() + 1 == expected.size())
        expected.erase(expected.begin());
    Bytes got = result->bytes;
    // zxing-cpp 1.4 reads on past the end of the data of some 12-bit-codeword
    // symbols (23 layers and more) whose last codeword is mostly padding and
    // appends junk after the right bytes; only the input's length can be
    // compared there.
    if (symbol->width >= 113 && got.size() > expected.size()) {
        got.resize(expected.size());
    }
    EXPECT_EQ(got, expected) << data.size() << " bytes, " << symbol->width << " modules";
}

// The largest number of bytes of the pattern that the settings accept, 0 if none.
std::size_t capacity(Pattern p, const ag_settings& settings, unsigned seed)
{
    std::size_t low = 0;     // known to fit (0: nothing known)
    std::size_t high = 2500; // known not to fit
    while (high - low > 1) {
        const std::size_t mid = (low + high) / 2;
        ag_matrix_ptr symbol;
        const int rc = generate(&symbol, make_data(p, mid, seed), settings);
        if (rc == ag_ok) {
            low = mid;
        } else {
            EXPECT_EQ(rc, ag_too_much_input_data);
            high = mid;
        }
    }
    return low;
}

class EverySize : public testing::TestWithParam<std::uint8_t> {
protected:
    const SizeRow& row() const { return kSizes[GetParam() - 3]; }
    bool flag_allowed() const { return row().compact ? row().layers == 1 : row().layers <= 22; }
    ag_settings settings(std::uint8_t flag, std::uint8_t redundancy) const
    {
        return {7, flag, GetParam(), redundancy};
    }
};

TEST_P(EverySize, RandomDataFromOneByteToCapacity)
{
    const unsigned side = side_of(row());
    for (std::uint8_t redundancy : {0, 23}) {
        for (std::uint8_t flag : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "redundancy " << int(redundancy) << ", flag " << int(flag));
            const ag_settings s = settings(flag, redundancy);
            const unsigned seed = GetParam() * 4u + flag * 2u + (redundancy != 0);
            if (flag && !flag_allowed()) {
                // Readers take the flag in no symbol of this size.
                ag_matrix_ptr symbol;
                EXPECT_EQ(generate(&symbol, make_data(Pattern::random, 1, seed), s), ag_too_much_input_data);
                continue;
            }
            const std::size_t max = capacity(Pattern::random, s, seed);
            ASSERT_GT(max, 0u);
            // At least the requested share of the symbol is left for check words.
            EXPECT_LE((max * 8 + 21) * 100, row().codeword_count * row().codeword_size * (100u - redundancy))
                << max << " bytes";
            expect_round_trip(make_data(Pattern::random, max, seed), s, side);
            expect_round_trip(make_data(Pattern::random, max / 2 + 1, seed + 100), s, side);
            expect_round_trip(make_data(Pattern::random, 1, seed + 200), s, side);
        }
    }
}

TEST_P(EverySize, PatternsAtCapacity)
{
    // Runs of 0x00 and 0xFF are stuffed in almost every codeword.
    for (Pattern p : {Pattern::zeros, Pattern::ones, Pattern::high_ramp}) {
        SCOPED_TRACE(name_of(p));
        const ag_settings s = settings(flag_allowed() ? GetParam() % 2 : 0, 23);
        const std::size_t max = capacity(p, s, 0);
        ASSERT_GT(max, 0u);
        expect_round_trip(make_data(p, max, 0), s, side_of(row()));
    }
}

TEST_P(EverySize, Redundancy99WhereOneByteFits)
{
    // One byte at 99 % takes two 10- or 12-bit codewords and needs 500 in all.
    const ag_settings s = settings(0, 99);
    const std::size_t max = capacity(Pattern::random, s, 5);
    if (row().compact || row().layers < 15) {
        EXPECT_EQ(max, 0u);
        return;
    }
    ASSERT_GT(max, 0u);
    expect_round_trip(make_data(Pattern::random, max, 5), s, side_of(row()));
    if (flag_allowed())
        expect_round_trip(make_data(Pattern::random, max, 6), settings(1, 99), side_of(row()));
}

INSTANTIATE_TEST_SUITE_P(SymbolChoice, EverySize, testing::Range<std::uint8_t>(3, 39),
                         [](const testing::TestParamInfo<std::uint8_t>& info) {
                             const SizeRow& row = kSizes[info.param - 3];
                             return std::string(row.compact ? "Compact" : "FullRange") + std::to_string(row.layers);
                         });

TEST(AnySize, GrowingPayloads)
{
    // The smallest symbol that holds each payload, up to the largest one.
    struct Case {
        std::uint8_t symbol_choice;
        std::uint8_t redundancy;
        std::uint8_t flag;
    };
    const Case cases[] = {
        {0, 23, 0},  // 0: any size, the program's default
        {2, 23, 1},  // 1: full-range only with the flag, as the group barcode is made
        {1, 50, 0},  // 2: compact only
        {0, 0, 1},   // 3: any size with the flag: compact 1 layer, then full-range
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const Case& c = cases[row];
        const ag_settings s{7, c.flag, c.symbol_choice, c.redundancy};
        const std::size_t max = capacity(Pattern::random, s, 77);
        SCOPED_TRACE(testing::Message() << "row " << row << ", capacity " << max);
        ASSERT_GT(max, 0u);
        for (std::size_t size = 1; size <= max; size += 1 + size / 3)
            expect_round_trip(make_data(Pattern::random, size, static_cast<unsigned>(size)), s);
        expect_round_trip(make_data(Pattern::random, max, 77), s);
    }
}

TEST(AnySize, OnePayloadInEveryChoiceThatHoldsIt)
{
    // The same bytes in every size and kind that takes them, with and without the flag.
    for (std::size_t size : {1u, 14u, 90u}) {
        const Bytes data = make_data(Pattern::random, size, static_cast<unsigned>(size) + 1000);
        for (std::uint8_t choice = 0; choice <= 38; ++choice) {
            for (std::uint8_t flag : {0, 1}) {
                SCOPED_TRACE(testing::Message() << size << " bytes, symbol_choice " << int(choice) << ", flag "
                                                << int(flag));
                const ag_settings s{7, flag, choice, 23};
                ag_matrix_ptr symbol;
                const int rc = generate(&symbol, data, s);
                if (rc == ag_too_much_input_data)
                    continue;
                ASSERT_EQ(rc, ag_ok);
                expect_round_trip(data, s);
            }
        }
    }
}

TEST(AnySize, GroupBarcodePayload)
{
    // A compressed settings image with its header: 292 bytes.
    const ag_settings s{ag_mask_initialization_symbol | ag_mask_symbol_choice, 1, 2, 0};
    expect_round_trip(make_data(Pattern::random, 292, 292), s);
}

} // namespace
} // namespace tavrik::aztecgen::test
