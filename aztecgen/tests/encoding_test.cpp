// Bit stream, codewords with bit stuffing, symbol selection and the data message.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "choose_aztec_symbol.h"
#include "generate_bit_stream.h"
#include "generate_codeword_stream.h"
#include "generate_data_message.h"
#include "generate_symbol_info.h"
#include "generator_exception.h"
#include "rs_check.h"

namespace tavrik::aztecgen {
namespace {

bits bit_stream_of(const std::vector<std::uint8_t>& data)
{
    bits out;
    generate_bit_stream(&out, data.data(), data.data() + data.size());
    return out;
}

unsigned value_at(const bits& b, std::size_t pos, std::size_t count)
{
    return bin_to_dec<unsigned>(b.begin() + static_cast<std::ptrdiff_t>(pos),
                                b.begin() + static_cast<std::ptrdiff_t>(pos + count));
}

TEST(BitStream, EmptyInputGivesNoBits)
{
    EXPECT_TRUE(bit_stream_of({}).empty());
}

TEST(BitStream, BinaryShiftRunHeaders)
{
    struct Case {
        std::size_t size;
        std::size_t total_bits;
        // first run: length field width and value
        std::size_t length_bits;
        unsigned length_value;
    };
    const Case cases[] = {
        {1, 10 + 8, 5, 1},             // 0: shortest run
        {31, 10 + 248, 5, 31},         // 1: longest 5-bit length
        {32, 21 + 256, 16, 32 - 31},   // 2: 5 zero bits, then len - 31 in 11 bits
        {2078, 21 + 8 * 2078, 16, 2047},  // 3: longest Binary Shift, one run
        {2079, 21 + 8 * 2078 + 10 + 8, 16, 2047},  // 4: two runs, 2078 and 1
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const Case& c = cases[row];
        SCOPED_TRACE(testing::Message() << "row " << row << ", " << c.size << " bytes");
        std::vector<std::uint8_t> data(c.size);
        for (std::size_t i = 0; i < c.size; ++i)
            data[i] = static_cast<std::uint8_t>(i * 37 + 11);
        const bits b = bit_stream_of(data);
        ASSERT_EQ(b.size(), c.total_bits);
        EXPECT_EQ(value_at(b, 0, 5), 31u);  // B/S
        EXPECT_EQ(value_at(b, 5, c.length_bits), c.length_value);
        const std::size_t first_byte = 5 + c.length_bits;
        EXPECT_EQ(value_at(b, first_byte, 8), data[0]);
        if (c.size == 2079) {
            const std::size_t second_run = first_byte + 8 * 2078;
            EXPECT_EQ(value_at(b, second_run, 5), 31u) << "every run starts with its own B/S";
            EXPECT_EQ(value_at(b, second_run + 5, 5), 1u);
            EXPECT_EQ(value_at(b, second_run + 10, 8), data[2078]);
        } else {
            EXPECT_EQ(value_at(b, b.size() - 8, 8), data.back());
        }
    }
}

codewords codewords_of(const bits& b, std::uint8_t size)
{
    codewords out;
    generate_codeword_stream(&out, b, size);
    return out;
}

bits bits_of(const char* text)
{
    bits out;
    for (; *text; ++text)
        if (*text == '0' || *text == '1')
            out.push_back(static_cast<std::uint8_t>(*text - '0'));
    return out;
}

TEST(CodewordStream, StuffingAndPadding)
{
    struct Case {
        const char* note;
        const char* input;
        std::uint8_t size;
        codewords expected;
    };
    const Case cases[] = {
        // 0: one byte 0: B/S, length 1, the byte
        {"one byte 0", "11111 00001 00000000", 6, {62, 2, 1, 15}},
        // 1
        {"a multiple of b without stuffing has no padding", "010101 101010", 6, {21, 42}},
        // 2
        {"five ones get a stuffed 0; the sixth bit starts the next word", "111111 010101", 6, {62, 42, 62}},
        // 3
        {"five zeros get a stuffed 1", "000000 101010", 6, {1, 21, 31}},
        // 4
        {"a padded last word of all ones ends in 0", "010101 11", 6, {21, 62}},
        // 5
        {"five zero bits padded with one 1 make a stuffed word", "010101 00000", 6, {21, 1}},
        // 6
        {"short last word padded with ones", "010101 0", 6, {21, 31}},
        // 7
        {"12-bit words: stuffed, shifted by one bit, padded", "000000000000 101010101010", 12, {1, 1365, 2047}},
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        SCOPED_TRACE(testing::Message() << "row " << row << ": " << cases[row].note);
        EXPECT_EQ(codewords_of(bits_of(cases[row].input), cases[row].size), cases[row].expected);
    }
}

TEST(CodewordStream, OneByteZeroThroughTheBitStream)
{
    EXPECT_EQ(codewords_of(bit_stream_of({0}), 6), (codewords{62, 2, 1, 15}));
}

TEST(CodewordStream, RepeatedFFIsStuffedWhereverOnesStartAWord)
{
    const bits b = bit_stream_of(std::vector<std::uint8_t>(200, 0xFF));
    for (std::uint8_t size : {6, 8, 10, 12}) {
        SCOPED_TRACE(testing::Message() << int(size) << "-bit words");
        const codewords words = codewords_of(b, size);
        const unsigned upper = (1u << size) - 2;
        std::size_t stuffed = 0;
        for (std::uint16_t w : words) {
            EXPECT_NE(w, upper + 1) << "all ones never appears";
            EXPECT_NE(w, 0) << "all zeros never appears";
            stuffed += w == upper;
        }
        // Reading the words back without the stuffed bits gives the stream.
        bits back;
        for (std::uint16_t w : words) {
            const bool stuffed_word = (w & upper) == 0 || (w & upper) == upper;
            append_bits(back, static_cast<unsigned>(stuffed_word ? w >> 1 : w), stuffed_word ? size - 1u : size);
        }
        ASSERT_GE(back.size(), b.size());
        EXPECT_TRUE(std::equal(b.begin(), b.end(), back.begin()));
        EXPECT_GT(stuffed, 100u);
    }
}

// A bit stream that cuts into exactly n words of any size without stuffing.
bits unstuffed_stream(std::size_t n, std::uint8_t size)
{
    bits out;
    for (std::size_t i = 0; i < n * size; ++i)
        out.push_back(static_cast<std::uint8_t>(i % 2));
    return out;
}

struct Choice {
    std::uint8_t layers;
    bool compact;
};

Choice choose(const bits& stream, std::uint8_t redundancy, std::uint8_t symbol_choice, std::uint8_t flag)
{
    symbol_info info{};
    choose_aztec_symbol(&info, stream, redundancy, symbol_choice, flag);
    return {info.data_message.layers, info.compact != 0};
}

int choose_error(const bits& stream, std::uint8_t redundancy, std::uint8_t symbol_choice, std::uint8_t flag)
{
    try {
        choose(stream, redundancy, symbol_choice, flag);
    } catch (const generator_exception& e) {
        return e.error_code();
    }
    return 0;
}

TEST(ChooseAztecSymbol, SmallestAllowedSizeWins)
{
    struct Case {
        const char* note;
        std::size_t n;  // data codewords of the word size below
        std::uint8_t word_size;
        std::uint8_t redundancy;
        std::uint8_t symbol_choice;
        std::uint8_t flag;
        Choice expected;
    };
    const Case cases[] = {
        // 0
        {"n = 10 needs 17 and fits compact 1 layer", 10, 6, 23, 0, 0, {1, true}},
        // 1
        {"n = 11 needs 19: full-range 1 layer comes before compact 2", 11, 6, 23, 0, 0, {1, false}},
        // 2
        {"compact only takes compact 2 layers", 11, 6, 23, 1, 0, {2, true}},
        // 3
        {"full-range only skips compact 1 layer", 10, 6, 23, 2, 0, {1, false}},
        // 4
        {"r = 0 with 65 codewords skips compact 4 (length field)", 65, 8, 0, 0, 0, {4, false}},
        // 5
        {"r = 0 with 64 codewords still fits compact 4", 64, 8, 0, 0, 0, {4, true}},
        // 6
        {"r = 0 with 73 codewords would fill compact 4, but its length field stops it", 73, 8, 0, 0, 0, {4, false}},
        // 7
        {"the flag always passes in compact 1 layer", 10, 6, 23, 0, 1, {1, true}},
        // 8
        {"n = 16 needs 25: compact 2 layers", 16, 6, 23, 0, 0, {2, true}},
        // 9
        {"the flag skips compact 2 layers and takes full-range 2", 16, 6, 23, 0, 1, {2, false}},
        // 10
        {"the flag with compact only and too much for 1 layer fails", 12, 6, 23, 1, 1, {0, false}},
        // 11
        {"the flag in full-range 22 layers", 950, 10, 0, 0, 1, {22, false}},
        // 12
        {"without the flag 23 layers are fine", 900, 12, 0, 0, 0, {23, false}},
        // 13
        {"without the flag 1000 words take 25 layers", 1000, 12, 0, 0, 0, {25, false}},
        // 14
        {"with the flag 23 to 32 layers are skipped", 1000, 12, 0, 0, 1, {0, false}},
        // 15
        {"the largest symbol takes 1278 words at r = 23", 1278, 12, 23, 0, 0, {32, false}},
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const Case& c = cases[row];
        SCOPED_TRACE(testing::Message() << "row " << row << ": " << c.note);
        const bits stream = unstuffed_stream(c.n, c.word_size);
        if (c.expected.layers == 0) {
            EXPECT_EQ(choose_error(stream, c.redundancy, c.symbol_choice, c.flag),
                      generator_exception::too_much_input_data);
            continue;
        }
        const Choice got = choose(stream, c.redundancy, c.symbol_choice, c.flag);
        EXPECT_EQ(got.layers, c.expected.layers);
        EXPECT_EQ(got.compact, c.expected.compact);
    }
}

TEST(ChooseAztecSymbol, StuffedCodewordsDecideTheSize)
{
    // Runs of 0x00 and 0xFF are stuffed in almost every codeword, so they
    // need more codewords than their bit count alone: a size that the bare
    // bits would fit can still be too small.
    struct Case {
        std::uint8_t byte;
        std::size_t count;
        Choice expected;
    };
    const Case cases[] = {
        {0xFF, 5, {1, true}},     // 0: 10 six-bit words need 17
        {0xFF, 6, {1, false}},    // 1: 58 bits are 10 words unstuffed, but 12 stuffed need 20
        {0x00, 19, {2, false}},   // 2: 27 words would fit compact 2 layers; 33 need 47
        {0xFF, 20, {3, true}},    // 3: 24 eight-bit words need 35
        {0xFF, 156, {8, false}},  // 4: 181 eight-bit words need 239 of 240
        {0xFF, 157, {9, false}},  // 5: 10-bit words from here on: 142 of them
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const Case& c = cases[row];
        SCOPED_TRACE(testing::Message() << "row " << row << ": " << c.count << " bytes " << int(c.byte));
        const Choice got = choose(bit_stream_of(std::vector<std::uint8_t>(c.count, c.byte)), 23, 0, 0);
        EXPECT_EQ(got.layers, c.expected.layers);
        EXPECT_EQ(got.compact, c.expected.compact);
    }
}

TEST(SymbolTable, EveryEntryFollowsFromItsLayers)
{
    // Side, codeword size and codeword count all follow from the kind and the
    // number of layers; the sizes run by side, full-range first on a tie.
    for (std::size_t index = 0; index < symbol_table_size; ++index) {
        const symbol_table_entry& entry = symbol_table[index];
        SCOPED_TRACE(testing::Message() << "entry " << index);
        EXPECT_EQ(entry.compact, index < 8 && index % 2 == 0 ? 1 : 0);
        const unsigned layers = entry.layers;
        const unsigned base = 15 + 4 * layers;
        const unsigned side = entry.compact ? 11 + 4 * layers : base + 2 * ((base / 2 - 1) / 15);
        EXPECT_EQ(entry.size, side);
        const unsigned word = layers <= 2 ? 6 : layers <= 8 ? 8 : layers <= 22 ? 10 : 12;
        EXPECT_EQ(entry.codeword_size, word);
        symbol_info info{};
        generate_symbol_info(&info, entry, 0);
        EXPECT_EQ(entry.codeword_count, data_message_size(info) / word) << "every whole codeword of the layers";
        if (index == 0) {
            EXPECT_EQ(layers, 1u);
            continue;
        }
        const symbol_table_entry& before = symbol_table[index - 1];
        EXPECT_TRUE(before.size < entry.size || (before.size == entry.size && !before.compact && entry.compact));
        if (index < 8)
            EXPECT_EQ(layers, index / 2 + 1u) << "compact and full-range alternate up to 4 layers";
        else
            EXPECT_EQ(layers, index - 3u);
    }
}

TEST(ChooseAztecSymbol, Failures)
{
    EXPECT_EQ(choose_error({}, 23, 0, 0), generator_exception::no_input_data);
    // Fixed compact 1 layer cannot take 18 codewords, though larger sizes exist.
    EXPECT_EQ(choose_error(unstuffed_stream(15, 6), 23, 3, 0), generator_exception::too_much_input_data);
    // Compact only, more than compact 4 layers holds.
    EXPECT_EQ(choose_error(unstuffed_stream(70, 8), 23, 1, 0), generator_exception::too_much_input_data);
    // The largest symbol takes no more than 1278 words at r = 23.
    EXPECT_EQ(choose_error(unstuffed_stream(1279, 12), 23, 0, 0), generator_exception::too_much_input_data);
}

TEST(GeneratorException, Messages)
{
    EXPECT_STREQ(generator_exception(generator_exception::no_input_data).what(), "no input data");
    EXPECT_STREQ(generator_exception(generator_exception::too_much_input_data).what(), "too much input data");
}

TEST(ChooseAztecSymbol, OneByteAtRedundancy99TakesFullRange15Layers)
{
    EXPECT_EQ(choose(bit_stream_of({0x41}), 99, 0, 0).layers, 15);
}

TEST(ChooseAztecSymbol, TheFlagIsKeptOutOfSizesNoReaderAccepts)
{
    // A flagged length field of these sizes would claim more data words than
    // the symbol holds. One small payload, forced into each size in turn.
    const bits stream = bit_stream_of({1, 2, 3});
    for (std::uint8_t choice = 3; choice <= 38; ++choice) {
        const symbol_table_entry& entry = symbol_table[choice - 3];
        SCOPED_TRACE(testing::Message() << (entry.compact ? "compact " : "full-range ") << int(entry.layers));
        const bool allowed = entry.compact ? entry.layers == 1 : entry.layers <= 22;
        EXPECT_EQ(choose_error(stream, 23, choice, 1), allowed ? 0 : int(generator_exception::too_much_input_data));
        EXPECT_EQ(choose_error(stream, 23, choice, 0), 0);
    }
}

TEST(DataMessage, SizeAndPadding)
{
    struct Case {
        std::size_t entry;
        std::size_t size;   // modules of the data layers
        std::size_t zeros;  // zero padding at the end
    };
    const Case cases[] = {
        {0, 104, 2},       // 0: compact 1 layer, 17 x 6 = 102
        {1, 128, 2},       // 1: full-range 1 layer, 21 x 6 = 126
        {2, 240, 0},       // 2: compact 2 layers, 40 x 6
        {3, 288, 0},       // 3: full-range 2 layers, 48 x 6
        {35, 19968, 0},    // 4: full-range 32 layers, 1664 x 12
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const Case& c = cases[row];
        SCOPED_TRACE(testing::Message() << "row " << row);
        symbol_info info{};
        generate_symbol_info(&info, symbol_table[c.entry], 0);
        ASSERT_EQ(data_message_size(info), c.size);

        codewords words{3, 5};
        bits message;
        generate_data_message(&message, info, words);
        ASSERT_EQ(message.size(), c.size);
        const std::size_t used = c.size - c.zeros;
        for (std::size_t i = used; i < c.size; ++i)
            EXPECT_EQ(message[i], 0) << i;
        // Reversed: read from the padding backwards the data words come first.
        bits forward(message.rend() - static_cast<std::ptrdiff_t>(used), message.rend());
        const std::size_t b = info.data_message.codeword_size;
        EXPECT_EQ(value_at(forward, 0, b), 3u);
        EXPECT_EQ(value_at(forward, b, b), 5u);
        // Every codeword position holds a word: the two data words, then the
        // check words of all the others.
        std::vector<unsigned> all;
        for (std::size_t i = 0; i < used; i += b)
            all.push_back(value_at(forward, i, b));
        ASSERT_EQ(all.size(), info.data_message.codeword_count);
        const unsigned pp = b == 6 ? 67 : 4201;
        EXPECT_TRUE(test::is_rs_codeword(all, all.size() - words.size(), 1u << b, pp));
    }
}

} // namespace
} // namespace tavrik::aztecgen
